#pragma once
// What the active configuration tells its followers (the matchmaker, the logon state machine and
// the client communication): that another administrator configuration is now in force, or that a
// dropped user file has been merged into the one in force.
#include "vel/reference/ElementInterface.h"

class ActiveConfigurationSubscriberInterface : public ElementInterface {
public:
    virtual void activeConfigurationChanged() = 0;
    virtual void userConfigurationChanged() = 0;
};
