#include "vel/network/LogonStatus.h"

std::int32_t LogonStatus::getLogonContext() {
    Reference installed = InstalledLogonStatus::get();
    if (!installed.m) return LogonStatusInterface::NO_USER_SESSION;
    return InstalledLogonStatus::of(installed)->getLogonContext();
}

LogonUserTokenInterface* LogonStatus::userTokenSource() {
    Reference installed = InstalledLogonStatus::get();
    if (!installed.m) return nullptr;
    return InstalledLogonStatus::of(installed)->userTokenSource();
}

std::int32_t LogonStatus::userSessionReference() {
    Reference installed = InstalledLogonStatus::get();
    if (!installed.m) return 0;
    return InstalledLogonStatus::of(installed)->userSessionReference();
}

void LogonStatus::restoreUserSessionReference(std::int32_t reference) {
    Reference installed = InstalledLogonStatus::get();
    if (installed.m) InstalledLogonStatus::of(installed)->restoreUserSessionReference(reference);
}
