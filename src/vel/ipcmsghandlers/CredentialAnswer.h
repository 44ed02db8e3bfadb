#pragma once
// Where a user's answer to a credential request goes: the network it names. Only an answer that
// reached its network ends the pending request; one naming a group or network that is not there
// leaves it pending, so that the request is asked again.
#include "vel/configuration/Configuration.h"
#include "vel/network/Network.h"
#include "vel/string/Ascii.h"

class CredentialAnswer {
public:
    // The active configuration and the named network, and the pending request cleared; false,
    // logged, when there is no configuration or no such network.
    static bool reach(const Ascii& groupName, const Ascii& networkName, Configuration& configuration,
                      Network& network);
};
