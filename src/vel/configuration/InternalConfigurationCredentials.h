#pragma once
// Between the networks of a configuration and the entries of the internal file: the saved
// credentials gathered per group for writing, and the entries read put back into the networks.
#include <vector>

#include "vel/configuration/Configuration.h"
#include "vel/reference/ElementVector.h"
#include "vel/xml/XmlCredentialsGroup.h"

class InternalConfigurationCredentials {
public:
    // The global networks' credentials as the entry "globalGroup" (kind 2), then one entry (kind 3)
    // per group whose own networks have any, in group order.
    static XmlCredentialsEntries collect(const Configuration& configuration);
    // One entry per network (global ones skipped when asked) that has saved credentials.
    static std::vector<XmlCredentialsNetwork> collectCredentials(ElementVector networks, bool skipGlobal);
    // Every entry's credentials into the networks of that name; kind 1 entries, missing groups and
    // missing networks are passed over.
    static void restore(const Configuration& configuration, const XmlCredentialsEntries& entries);
    // The stored credentials into the network's user parameters; its PACs become its saved PACs.
    static void restoreNetwork(const Network& network, const std::vector<ByteArray>& storedTexts);
};
