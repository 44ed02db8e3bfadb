#pragma once
// Between the group and network records of the files and the configuration model, both ways.
#include "vel/configuration/NetworkGroup.h"
#include "vel/network/Network.h"
#include "vel/xml/XmlNetworkGroup.h"

class XmlNetworkConversion {
public:
    // A new group with new networks. Raises XmlException as the authentication records do.
    static NetworkGroup toGroup(const XmlNetworkGroup& record);
    static Network toNetwork(const XmlNetwork& record, bool global);

    // The records the writers write: keys and passwords as stored credential texts.
    static XmlNetworkGroup fromGroup(const NetworkGroup& group);
    static XmlNetwork fromNetwork(const Network& network);
};
