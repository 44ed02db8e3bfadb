#pragma once

#include "vel/configuration/Configuration.h"
#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlDocument.h"
#include "vel/xml/XmlConfigurationRecord.h"

// The user's file "userConfiguration.xml": the networks the user added, in their groups, and the
// meta connections. The service writes it with the root "UserConfiguration"; a file whose root has
// another name is read as a networks element.
class Xml_DistributionPackage {
public:
    static constexpr const char* USER_CONFIGURATION = "UserConfiguration";
    static constexpr const char* WRITTEN_MAJOR_VERSION = "5";
    static constexpr const char* WRITTEN_MINOR_VERSION = "1";
    static constexpr const char* WRITTEN_DEVELOPMENT_VERSION = "1";

    // The root element rootName below the document: networks when there is a group, metaConnections
    // when there is one, and the versions the service writes.
    static void Write(XmlDocument& document, const XmlUserFileRecord& record, const char* rootName);
    // A root "UserConfiguration": networks and metaConnections may be missing, the versions may not.
    static XmlUserFileRecord Read(const SharedXmlNode& root);
    // The configuration the file gives ("xml config" with versions and meta connections, or
    // "UserConfiguration" with groups only); its networks are the user's (origin 1).
    static Configuration readUserFile(const SharedXmlNode& root);
    // What the writer writes of a configuration: its groups and its VPN entries.
    static XmlUserFileRecord recordOf(const Configuration& configuration);
};
