#include "vel/ipcmsghandlers/AnsweredNetwork.h"

#include "vel/exception/InvalidGroupException.h"
#include "vel/exception/InvalidNetworkException.h"

Network AnsweredNetwork::find(const Configuration& configuration, const Ascii& groupName,
                              const Ascii& networkName, NetworkGroup* holder) {
    NetworkGroupProxy named = configuration.findGroup(groupName);
    if (!named.exists()) InvalidGroupException::raise();
    NetworkGroup group = named.networkGroup();
    Network network = group.findNetwork(networkName);
    if (network.isNull()) {
        NetworkGroupProxy global = configuration.globalGroup();
        if (!global.exists()) InvalidGroupException::raise();
        group = global.networkGroup();
        network = group.findNetwork(networkName);
        if (network.isNull()) InvalidNetworkException::raise();
    }
    if (holder != nullptr) *holder = group;
    return network;
}
