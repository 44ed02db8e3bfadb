#pragma once
// The service's status as the logon state machine reports it: the machine connection made, or
// the user acting, reports the service running to the service control manager (once, in service
// mode only).
#include "vel/logon/ServiceStatus.h"
#include "vel/reference/ReferenceImpl.h"

class LogonServiceStatusImpl : public ReferenceImpl, public ServiceStatusInterface {
public:
    REFERENCE_IMPL_FORWARDS

    void reportServiceRunning() override;
};
