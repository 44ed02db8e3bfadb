#pragma once
// The network a client names by group and network: the group's own network of that name, or the
// global network of that name reached through any group.
#include "vel/configuration/Configuration.h"
#include "vel/network/Network.h"
#include "vel/string/Ascii.h"

class AnsweredNetwork {
public:
    // InvalidGroupException for an unknown group (or a global network asked for without a global
    // group), InvalidNetworkException for a network neither holds. The holder is the group that
    // holds the network.
    static Network find(const Configuration& configuration, const Ascii& groupName, const Ascii& networkName,
                        NetworkGroup* holder = nullptr);
};
