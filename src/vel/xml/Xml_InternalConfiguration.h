#pragma once

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlDocument.h"
#include "vel/xml/XmlCredentialsGroup.h"

// The internal file (internalConfigurationData): the stored credentials of the networks, per group,
// each credential in lower-case hexadecimal.
class Xml_InternalConfiguration {
public:
    static constexpr const char* GLOBAL_CREDENTIALS_ENTRY = "globalCredentials";
    static constexpr const char* GLOBAL_NETWORKS_ENTRY = "global";

    // The root element and below: kind 1 entries, kind 2 entries (when flagged), then groups.
    static void Write(XmlDocument& document, const XmlCredentialsEntries& entries);
    // The first globalCredentials, the first globalNetworks and every group, in that order; entries
    // without networks and networks without credentials are left out.
    static XmlCredentialsEntries Read(const SharedXmlNode& root);
};
