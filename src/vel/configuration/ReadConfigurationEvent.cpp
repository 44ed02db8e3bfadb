#include "vel/configuration/ReadConfigurationEvent.h"

#include "vel/configuration/ActiveConfiguration.h"

void ReadConfigurationEventImpl::run() {
    ActiveConfiguration active;
    if (!active.isNull()) active.readAll();
}

void UserFileMergeEventImpl::run() {
    if (ActiveConfigurationImpl::Singleton.load() == nullptr) return;
    ActiveConfiguration active;
    if (!active.isNull()) active.impl()->continueUserMerge();
}
