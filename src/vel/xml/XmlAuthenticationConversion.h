#pragma once
// Between an authentication record and a network's authentication parameters of the record's
// connection type (machine 1, user 2): the method objects, identity patterns, credential source
// and server validation, and for a user record the collection values the network keeps.
#include <cstdint>

#include "vel/network/Network.h"
#include "vel/xml/XmlAuthenticationRecord.h"

class XmlAuthenticationConversion {
public:
    // Replaces the methods of the parameters. Raises XmlException for a collection kind that is not
    // the method's credential kind, an unsupported method, or a trusted PAC its key does not open.
    static void apply(const XmlAuthenticationRecord& record, const Network& network);
    // The record the writers write: secrets as stored credential texts with the persistent flag.
    static XmlAuthenticationRecord fromNetwork(const Network& network, std::int32_t connectionType);
};
