#include "vel/configuration/ReadConfigurationEvent.h"

#include "vel/configuration/ActiveConfiguration.h"

void ReadConfigurationEventImpl::run() {
    ActiveConfiguration active;
    if (!active.isNull()) active.readAll();
}
