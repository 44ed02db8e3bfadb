#include "vel/phyinfo/WiredPhyInfo.h"

#include "runtime/lum/Log.h"

void WiredPhyInfoImpl::startConnection(const PortManagerProxy&, const QX_PORT_ATTR& attributes) {
    if ((attributes.flags & QX_ATTR_8023) != 0)
        logInfo(2701, "Starting wired connection, skipping association");
}
