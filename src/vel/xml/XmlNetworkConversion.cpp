#include "vel/xml/XmlNetworkConversion.h"

#include "vel/reference/HandleOf.h"
#include "vel/xml/XmlAuthenticationConversion.h"

using N = XmlNetworkImpl;

namespace {

// Open and 802.1X networks name their connection types; anything but machine alone or both
// counts as the user's.
std::int32_t connectionTypeOrUser(std::int32_t types) {
    return types == N::CONNECTION_MACHINE || types == N::CONNECTION_MACHINE_AND_USER ? types
                                                                                     : N::CONNECTION_USER;
}

void applyKey(const XmlNetwork& record, const Network& network) {
    const XmlNetworkImpl* part = record.impl();
    network.setConnectionTypes(part->m_connectionKind);
    AuthenticationParameters parameters = network.getAuthenticationParameters(part->m_connectionKind);
    parameters.setStaticKeyText(part->m_key.key, part->m_key.format, part->m_key.persistent,
                                record.wifi().ssid);
    if (part->m_encryption == N::ENCRYPTION_WEP) parameters.setStaticKeyValue(part->m_key.keySize);
}

XmlKeyRecord keyOf(const Network& network, std::int32_t connectionKind) {
    AuthenticationParameters parameters = network.getAuthenticationParameters(connectionKind);
    XmlKeyRecord key;
    key.format = parameters.getStaticKeyType();
    key.keySize = parameters.getStaticKeyValue();
    key.persistent = true;
    CredentialProxy credential = parameters.getPasswordOrKeyCredential();
    if (credential.exists()) key.key = credential.credential().storedText();
    key.last =
        network.getEncryption() == N::ENCRYPTION_WEP ? network.getAssociationMode() : network.getEncryption();
    return key;
}

}  // namespace

NetworkGroup XmlNetworkConversion::toGroup(const XmlNetworkGroup& record) {
    const XmlNetworkGroupImpl* part = record.impl();
    NetworkGroup group = NetworkGroup::create(part->m_name.length() > 0 ? part->m_name : Ascii(""));
    group.setGlobal(part->m_global);
    group.setOption(part->m_allowUserToSeeScanlist);
    // Each network is new: nothing to look for in the group before it goes in.
    for (const XmlNetwork& network : part->m_networks) group.appendNetwork(toNetwork(network, part->m_global));
    return group;
}

Network XmlNetworkConversion::toNetwork(const XmlNetwork& record, bool global) {
    const XmlNetworkImpl* part = record.impl();
    const XmlNetworkCommon common = record.common();
    Network network = Network::create(common.displayName);
    network.setNetworkMedia(part->m_media);
    network.setGlobal(global);
    network.setConnectionTimeout(common.connectionTimeout);
    network.setScript(common.runScriptAfterConnection);
    network.setFurtherFlag1(common.furtherFlag1);
    network.setFurtherNumber1(common.furtherNumber1);
    network.setFurtherFlag2(common.furtherFlag2);
    network.setFurtherNumber2(common.furtherNumber2);
    if (record.isWireless()) {
        const XmlWifiPart wifi = record.wifi();
        network.setSsid(wifi.ssid);
        network.setAssociationTimeout(wifi.associationTimeout);
    }
    network.setFlagB(part->m_kind == N::KIND_8021X);
    network.setAssociationMode(part->m_association);
    network.setEncryption(part->m_encryption);
    if (part->m_kind == N::KIND_8021X) {
        network.setSettings8021x(part->m_settings8021x);
        network.setConnectionTypes(part->m_machine && part->m_user ? N::CONNECTION_MACHINE_AND_USER
                                   : part->m_machine               ? N::CONNECTION_MACHINE
                                                                   : N::CONNECTION_USER);
        if (part->m_machine) XmlAuthenticationConversion::apply(*part->m_machine, network);
        if (part->m_user) XmlAuthenticationConversion::apply(*part->m_user, network);
    } else if (record.isOpen()) {
        network.setConnectionTypes(part->m_connectionType);
    } else {
        applyKey(record, network);
    }
    return network;
}

XmlNetworkGroup XmlNetworkConversion::fromGroup(const NetworkGroup& group) {
    XmlNetworkGroup record = XmlNetworkGroup::create();
    XmlNetworkGroupImpl* part = record.impl();
    part->m_name = group.name();
    part->m_global = group.isGlobal();
    part->m_allowUserToSeeScanlist = group.allowUserToSeeScanlist();
    for (const Reference& held : group.networkVector().snapshot()) {
        part->m_networks.push_back(fromNetwork(handleOf<Network>(held.m)));
    }
    return record;
}

XmlNetwork XmlNetworkConversion::fromNetwork(const Network& network) {
    XmlNetwork record = XmlNetwork::create();
    XmlNetworkImpl* part = record.impl();
    part->m_media = network.getNetworkMedia();
    XmlNetworkCommon common;
    common.displayName = network.name();
    common.connectionTimeout = network.getConnectionTimeout();
    common.runScriptAfterConnection = network.getScript();
    common.furtherFlag1 = network.getFurtherFlag1();
    common.furtherNumber1 = network.getFurtherNumber1();
    common.furtherFlag2 = network.getFurtherFlag2();
    common.furtherNumber2 = network.getFurtherNumber2();
    record.setCommon(common);
    if (record.isWireless()) record.setWifi(XmlWifiPart{network.getSsid(), network.getAssociationTimeout()});
    part->m_kind = network.getFlagB() ? N::KIND_8021X : N::KIND_OPEN_OR_SHARED_KEY;
    part->m_association = network.getAssociationMode();
    part->m_encryption = network.getEncryption();
    const std::int32_t types = connectionTypeOrUser(network.getConnectionTypes());
    if (part->m_kind == N::KIND_8021X) {
        part->m_settings8021x = network.getSettings8021x();
        if (types != N::CONNECTION_USER) {
            part->m_machine = XmlAuthenticationConversion::fromNetwork(network, N::CONNECTION_MACHINE);
        }
        if (types != N::CONNECTION_MACHINE) {
            part->m_user = XmlAuthenticationConversion::fromNetwork(network, N::CONNECTION_USER);
        }
    } else if (record.isOpen()) {
        part->m_connectionType = types;
    } else {
        part->m_connectionKind = types == N::CONNECTION_MACHINE ? N::CONNECTION_MACHINE : N::CONNECTION_USER;
        part->m_key = keyOf(network, part->m_connectionKind);
    }
    return record;
}
