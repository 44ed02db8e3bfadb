#include "vel/adapter/VelAdapterConnection.h"

void VelAdapterConnectionImpl::install() {
    auto* connection = new VelAdapterConnectionImpl;
    InstalledAdapterConnection::install(connection);
    connection->release();
}
