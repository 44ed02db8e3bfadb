#include "vel/xml/Xml_DistributionPackage.h"

#include "vel/libxml2/XmlParentNode.h"
#include "vel/reference/HandleOf.h"
#include "vel/xml/XmlConfigurationGuard.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlNetworkConversion.h"
#include "vel/xml/XmlSchema.h"
#include "vel/xml/Xml_Configuration.h"
#include "vel/xml/Xml_MetaConnections.h"
#include "vel/xml/Xml_Networks.h"
#include "vel/xmlconnectionapi/ConnApiLimitConstants.h"

using E = XmlElements;
using M = XmlMessages;
using L = ConnApiLimitConstants;

namespace {

void within(const Ascii& text, const char* element, int maxLength) {
    if (text.length() > maxLength) vel::xmlError("Invalid \"%s\" length.", element);
}

// The user's names and texts are held to what a client may send: a file written before the pipe
// bounded them is refused rather than keep a name in force that no client could name again. (The
// SSID's own rule holds for every file.)
void checkLengths(const std::vector<XmlNetworkGroup>& groups, const std::vector<MetaConnection>& metaConnections) {
    for (const XmlNetworkGroup& group : groups) {
        within(group.impl()->m_name, E::GROUP_NAME, L::MAX_GROUP_NAME_LENGTH);
        for (const XmlNetwork& network : group.impl()->m_networks) {
            const XmlNetworkCommon common = network.common();
            within(common.displayName, E::DISPLAY_NAME, L::MAX_NETWORK_NAME_LENGTH);
            within(common.runScriptAfterConnection, E::RUN_SCRIPT_AFTER_CONNECTION, L::MAX_SCRIPT_LENGTH);
        }
    }
    for (const MetaConnection& metaConnection : metaConnections) {
        within(metaConnection.groupName(), E::GROUP_NAME, L::MAX_GROUP_NAME_LENGTH);
        within(metaConnection.networkName(), E::DISPLAY_NAME, L::MAX_NETWORK_NAME_LENGTH);
        within(metaConnection.connectionEntry(), E::VPN_CONNECTION_ENTRY, L::MAX_CONNECTION_ENTRY_LENGTH);
    }
}

void markUserNetworks(const Configuration& configuration) {
    for (const Reference& network : configuration.allNetworks().snapshot()) {
        handleOf<Network>(network.m).setOrigin(NetworkImpl::ORIGIN_USER);
    }
}

}  // namespace

void Xml_DistributionPackage::Write(XmlDocument& document, const XmlUserFileRecord& record,
                                    const char* rootName) {
    XmlParentNode root(document.addChild(rootName));
    if (!record.groups.empty()) Xml_Networks::Write(root, record.groups);
    if (!record.metaConnections.empty()) Xml_MetaConnections::Write(root, record.metaConnections);
    root.node().setAttribute(E::MAJOR_VERSION, WRITTEN_MAJOR_VERSION);
    root.node().setAttribute(E::MINOR_VERSION, WRITTEN_MINOR_VERSION);
    root.node().setAttribute(E::DEVELOPMENT_VERSION, WRITTEN_DEVELOPMENT_VERSION);
}

XmlUserFileRecord Xml_DistributionPackage::Read(const SharedXmlNode& root) {
    XmlUserFileRecord record;
    if (SharedXmlNode networks = root.findChild(E::NETWORKS); networks.isNonNull()) {
        record.groups = Xml_Networks::Read(networks);
    }
    if (SharedXmlNode metaConnections = root.findChild(E::META_CONNECTIONS); metaConnections.isNonNull()) {
        record.metaConnections = Xml_MetaConnections::Read(metaConnections);
    }
    record.majorVersion = vel::xmlRequiredAttributeInt(root, E::MAJOR_VERSION, M::ATTRIBUTE_REQUIRED);
    record.minorVersion = vel::xmlRequiredAttributeInt(root, E::MINOR_VERSION, M::ATTRIBUTE_REQUIRED);
    record.developmentVersion = vel::xmlRequiredAttributeInt(root, E::DEVELOPMENT_VERSION, M::TAG_REQUIRED);
    return record;
}

Configuration Xml_DistributionPackage::readUserFile(const SharedXmlNode& root) {
    if (!root.hasName(USER_CONFIGURATION)) {
        const std::vector<XmlNetworkGroup> records = Xml_Networks::Read(root);
        checkLengths(records, {});
        Configuration configuration = Configuration::create(USER_CONFIGURATION);
        XmlConfigurationGuard guard(configuration);
        ElementVector groups = ElementVector::create();
        for (const XmlNetworkGroup& record : records) groups.add(XmlNetworkConversion::toGroup(record).m);
        configuration.setGroups(groups);
        markUserNetworks(configuration);
        guard.keep();
        return configuration;
    }
    const XmlUserFileRecord record = Read(root);
    checkLengths(record.groups, record.metaConnections);
    Configuration configuration = Configuration::create(Xml_Configuration::CONFIGURATION_NAME);
    XmlConfigurationGuard guard(configuration);
    configuration.setMajorVersion(record.majorVersion);
    configuration.setMinorVersion(record.minorVersion);
    configuration.setDevelopmentVersion(record.developmentVersion);
    configuration.vpnManager().setMetaConnections(Xml_MetaConnections::toVector(record.metaConnections));
    for (const XmlNetworkGroup& group : record.groups)
        configuration.addGroup(XmlNetworkConversion::toGroup(group));
    markUserNetworks(configuration);
    guard.keep();
    return configuration;
}

XmlUserFileRecord Xml_DistributionPackage::recordOf(const Configuration& configuration) {
    XmlUserFileRecord record;
    for (const Reference& group : configuration.groups().snapshot()) {
        record.groups.push_back(XmlNetworkConversion::fromGroup(handleOf<NetworkGroup>(group.m)));
    }
    for (const Reference& metaConnection : configuration.vpnManager().metaConnections().snapshot()) {
        record.metaConnections.push_back(handleOf<MetaConnection>(metaConnection.m));
    }
    return record;
}
