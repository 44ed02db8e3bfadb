#include "vel/xml/Xml_Configuration.h"

#include "runtime/lum/Log.h"
#include "vel/reference/HandleOf.h"
#include "vel/xml/XmlConfigurationGuard.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlNetworkConversion.h"
#include "vel/xml/XmlSchema.h"
#include "vel/xml/Xml_AutoVpnSettings.h"
#include "vel/xml/Xml_ConnectionSettings.h"
#include "vel/xml/Xml_MetaConnections.h"
#include "vel/xml/Xml_NetworkPolicy.h"
#include "vel/xml/Xml_Networks.h"
#include "vel/xml/Xml_UserControlPolicy.h"

using E = XmlElements;
using M = XmlMessages;

namespace {

void checkVersion(const XmlConfigurationRecord& record) {
    if (record.majorVersion != Xml_Configuration::MAJOR_VERSION) vel::xmlErrorText(M::INVALID_VERSION);
    if (record.minorVersion == Xml_Configuration::MINOR_VERSION_1) {
        if (record.developmentVersion != Xml_Configuration::DEVELOPMENT_VERSION_1) {
            logInfo(0, "%s", M::INVALID_DEVELOPMENT_VERSION);
        }
        return;
    }
    if (record.minorVersion != Xml_Configuration::MINOR_VERSION_0) vel::xmlErrorText(M::INVALID_VERSION);
}

}  // namespace

XmlConfigurationRecord Xml_Configuration::ReadRoot(const SharedXmlNode& root) {
    XmlConfigurationRecord record;
    record.networkPolicy = Xml_NetworkPolicy::Read(vel::xmlRequiredChild(root, E::NETWORK_POLICY));
    if (SharedXmlNode vpn = root.findChild(E::AUTO_VPN_SETTINGS); vpn.isNonNull()) {
        record.vpnSettingsType = Xml_AutoVpnSettings::Read(vpn);
    }
    record.groups = Xml_Networks::Read(vel::xmlRequiredChild(root, E::NETWORKS));
    record.connectionSettings =
        Xml_ConnectionSettings::Read(vel::xmlRequiredChild(root, E::CONNECTION_SETTINGS));
    record.userControlPolicy =
        Xml_UserControlPolicy::Read(vel::xmlRequiredChild(root, E::USER_CONTROL_POLICY));
    record.majorVersion = vel::xmlRequiredAttributeInt(root, E::MAJOR_VERSION, M::ATTRIBUTE_REQUIRED);
    record.minorVersion = vel::xmlRequiredAttributeInt(root, E::MINOR_VERSION, M::ATTRIBUTE_REQUIRED);
    record.developmentVersion = vel::xmlRequiredAttributeInt(root, E::DEVELOPMENT_VERSION, M::TAG_REQUIRED);
    checkVersion(record);
    return record;
}

Configuration Xml_Configuration::build(const XmlConfigurationRecord& record) {
    Configuration built = Configuration::create(CONFIGURATION_NAME);
    XmlConfigurationGuard guard(built);
    built.setMajorVersion(record.majorVersion);
    built.setMinorVersion(record.minorVersion);
    built.setDevelopmentVersion(record.developmentVersion);
    built.setNetworkPolicy(record.networkPolicy);
    built.setVpnSettingsType(record.vpnSettingsType);
    built.policy().setUserControlPolicy(record.userControlPolicy);
    const XmlConnectionSettingsRecord& settings = record.connectionSettings;
    built.setConnectionSettings(ConnectionSettings::create(
        settings.behaviorAtLogon, settings.secondsToWaitForConnection, settings.validateWpaHandshake));
    built.vpnManager().setMetaConnections(Xml_MetaConnections::toVector(record.metaConnections));
    for (const XmlNetworkGroup& group : record.groups) built.addGroup(XmlNetworkConversion::toGroup(group));
    guard.keep();
    return built;
}

Configuration Xml_Configuration::readAdministratorFile(const SharedXmlNode& root) {
    const XmlConfigurationRecord record = ReadRoot(root);
    Configuration built = build(record);
    XmlConfigurationGuard guard(built);
    if (!built.validate()) vel::xmlErrorText(M::INVALID_CONFIGURATION_FILE);
    for (const Reference& group : built.groups().snapshot()) {
        for (const Reference& network : handleOf<NetworkGroup>(group.m).networkVector().snapshot()) {
            handleOf<Network>(network.m).setOrigin(NetworkImpl::ORIGIN_ADMINISTRATOR);
        }
    }
    // The defaults belong to this file: one that gives none brings back the built-in ones, not
    // those of the file before it.
    const XmlConnectionSettingsRecord& settings = record.connectionSettings;
    Network::setDefaultConnectionTimeout(settings.defaultConnectionTimeout != 0
                                             ? settings.defaultConnectionTimeout
                                             : NetworkImpl::INITIAL_DEFAULT_CONNECTION_TIMEOUT);
    Network::setDefaultAssociationTimeout(settings.defaultAssociationTimeout != 0
                                              ? settings.defaultAssociationTimeout
                                              : NetworkImpl::INITIAL_DEFAULT_ASSOCIATION_TIMEOUT);
    built.setUserControlPolicy(record.userControlPolicy);
    guard.keep();
    return built;
}
