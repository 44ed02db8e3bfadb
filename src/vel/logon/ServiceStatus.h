#pragma once
// The service host's status as the logon state machine reports it: once the machine connection is
// made, or the user acts, the service counts as running. The host installs the real one; tests
// record the reports.
#include "vel/reference/ElementInterface.h"

class ServiceStatusInterface : public ElementInterface {
public:
    virtual void reportServiceRunning() = 0;

protected:
    ~ServiceStatusInterface() = default;
};
