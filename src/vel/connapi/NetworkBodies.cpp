#include "vel/connapi/NetworkBodies.h"

#include "vel/connapi/ConnApiMessage.h"
#include "vel/connapi/ConnApiReader.h"
#include "vel/connapi/ConnApiWriter.h"
#include "vel/enumtostring/BaseCredentialTypeConversions.h"
#include "vel/enumtostring/Conversions.h"
#include "vel/xml/XmlSchema.h"
#include "vel/xmlconnectionapi/ConnApiElement.h"

namespace {

struct KeyRule {
    const char* element;
    std::int32_t kind;
    // Characters the text must have; 0: any non-empty text.
    std::int32_t textLength;
    // A text of another length is refused (true) or ignored (false).
    bool refuseOtherLength;
    std::int32_t keyLength;
};

// In reading order: each accepted key replaces the one before, so the last accepted one wins.
constexpr KeyRule KEY_RULES[] = {
    {ConnApiElement::WEP_ASCII_40_KEY, StaticKeyRecord::KIND_ASCII, 5, true, 5},
    {ConnApiElement::WEP_ASCII_128_KEY, StaticKeyRecord::KIND_ASCII, 13, true, 13},
    {ConnApiElement::WEP_HEX_40_KEY, StaticKeyRecord::KIND_BINARY, 10, false, 5},
    {ConnApiElement::WEP_HEX_128_KEY, StaticKeyRecord::KIND_BINARY, 26, false, 13},
    {ConnApiElement::WPA_ASCII_KEY, StaticKeyRecord::KIND_ASCII, 0, false, 0},
    {ConnApiElement::WPA_HEX_KEY, StaticKeyRecord::KIND_BINARY, 64, false, 0},
};

StaticKeyRecord readKey(const ConnApiReader& reader, bool withLength) {
    StaticKeyRecord key;
    for (const KeyRule& rule : KEY_RULES) {
        const Ascii text = reader.optionalText(rule.element);
        if (text.length() == 0) continue;
        if (rule.textLength != 0 && text.length() != rule.textLength) {
            if (rule.refuseOtherLength) vel::xmlError("Invalid \"%s\" length.", rule.element);
            continue;
        }
        key.kind = rule.kind;
        key.bytes = rule.kind == StaticKeyRecord::KIND_ASCII ? text.toByteArray() : vel::xmlHexDecode(text);
        key.length = withLength ? rule.keyLength : 0;
    }
    return key;
}

// The children of an add or change request from ssid on.
NetworkSettingsRecord readSettings(const ConnApiReader& reader, bool withKeyLength) {
    NetworkSettingsRecord settings;
    settings.hasSsid = reader.has(ConnApiElement::SSID);
    if (settings.hasSsid) {
        const Ascii ssid = reader.optionalText(ConnApiElement::SSID);
        if (ssid.length() > NetworkBodies::MAX_SSID_LENGTH) vel::xmlError("Invalid ssid length.");
        settings.ssid = ssid.toByteArray();
    }
    settings.hasAssociation = reader.has(ConnApiElement::ASSOCIATION_AND_ENCRYPTION_MODE);
    if (settings.hasAssociation) {
        const std::int64_t pair = TextToAssociationMode(
            reader.optionalText(ConnApiElement::ASSOCIATION_AND_ENCRYPTION_MODE).text());
        settings.association = static_cast<std::int32_t>(pair & 0xffffffff);
        settings.encryption = static_cast<std::int32_t>(pair >> 32);
    }
    settings.key = readKey(reader, withKeyLength);
    settings.hasVpn = reader.has(ConnApiElement::VPN_PARAMETERS);
    if (settings.hasVpn) {
        ConnApiReader vpn(reader.child(ConnApiElement::VPN_PARAMETERS));
        settings.connectionEntry = vpn.requiredText(ConnApiElement::CONNECTION_ENTRY);
        settings.autoConnectVpn = TextToBool(vpn.requiredText(ConnApiElement::AUTO_CONNECT_VPN).text()) != 0;
    }
    if (reader.has(ConnApiElement::EAP_METHOD))
        settings.eapMethod = TextToEapType(reader.optionalText(ConnApiElement::EAP_METHOD).text());
    if (reader.has(ConnApiElement::CREDENTIAL_TYPE)) {
        settings.credentialType =
            basecredential::TextToCredentialType(reader.optionalText(ConnApiElement::CREDENTIAL_TYPE).text());
    }
    settings.hasScript = reader.has(ConnApiElement::RUN_SCRIPT_SPEC);
    settings.script = reader.optionalText(ConnApiElement::RUN_SCRIPT_SPEC);
    return settings;
}

void writeNetworkEntry(XmlParentNode& list, const NetworkListEntry& entry) {
    XmlParentNode network = ConnApiWriter::element(list, ConnApiElement::NETWORK);
    ConnApiWriter::text(network, ConnApiElement::NETWORK_NAME, entry.networkName);
    ConnApiWriter::text(network, ConnApiElement::NETWORK_CREATOR, NetworkCreatorToText(entry.creator));
    ConnApiWriter::text(network, ConnApiElement::NETWORK_MEDIA, NetworkTypeToText(entry.media));
    ConnApiWriter::boolean(network, ConnApiElement::IS_GLOBAL, entry.isGlobal);
    if (entry.ssid.length() > 0) {
        ConnApiWriter::text(network, ConnApiElement::SSID, Ascii(entry.ssid.text(), entry.ssid.length()));
        ConnApiWriter::text(network, ConnApiElement::ASSOCIATION_AND_ENCRYPTION_MODE,
                            AssociationModeToText(entry.association, entry.encryption));
    }
    if (entry.hasVpn) {
        XmlParentNode vpn = ConnApiWriter::element(network, ConnApiElement::VPN_PARAMETERS);
        ConnApiWriter::text(vpn, ConnApiElement::CONNECTION_ENTRY, entry.connectionEntry);
        ConnApiWriter::boolean(vpn, ConnApiElement::AUTO_CONNECT_VPN, entry.autoConnectVpn);
    }
    if (entry.eapMethod) {
        ConnApiWriter::text(network, ConnApiElement::EAP_METHOD, EapTypeToText(*entry.eapMethod));
        if (entry.credentialType) {
            ConnApiWriter::text(network, ConnApiElement::CREDENTIAL_TYPE,
                                basecredential::CredentialTypeToText(*entry.credentialType));
        }
    }
    ConnApiWriter::text(network, ConnApiElement::RUN_SCRIPT_SPEC, entry.script);
}

}  // namespace

void NetworkBodies::writeGroupList(const SoapBodyContext& context, const AsciiVector& groupNames) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    XmlParentNode list = ConnApiWriter::array(message, ConnApiElement::GROUP_LIST);
    for (std::int32_t i = 0; i < groupNames.length(); ++i)
        ConnApiWriter::text(list, ConnApiElement::GROUP_NAME, groupNames.get(i));
}

void NetworkBodies::writeGroupName(const SoapBodyContext& context, const Ascii& groupName) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::text(message, ConnApiElement::GROUP_NAME, groupName);
}

Ascii NetworkBodies::readGroupName(const SharedXmlNode& element) {
    return ConnApiReader(element).requiredText(ConnApiElement::GROUP_NAME);
}

void NetworkBodies::writeNetworksInGroup(const SoapBodyContext& context, const Ascii& groupName,
                                         const std::vector<NetworkListEntry>& networks) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::text(message, ConnApiElement::GROUP_NAME, groupName);
    XmlParentNode list = ConnApiWriter::array(message, ConnApiElement::NETWORK_LIST);
    for (const NetworkListEntry& entry : networks) writeNetworkEntry(list, entry);
}

AddNetworkRequestRecord NetworkBodies::readAddNetworkRequest(const SharedXmlNode& element) {
    ConnApiReader reader(element);
    AddNetworkRequestRecord record;
    const GroupAndNetworkRecord names = readGroupAndNetwork(element);
    record.groupName = names.groupName;
    record.networkName = names.networkName;
    record.media = TextToNetworkType(reader.requiredText(ConnApiElement::NETWORK_MEDIA).text());
    record.settings = readSettings(reader, true);
    return record;
}

ChangeNetworkRequestRecord NetworkBodies::readChangeNetworkRequest(const SharedXmlNode& element) {
    ConnApiReader reader(element);
    ChangeNetworkRequestRecord record;
    const GroupAndNetworkRecord names = readGroupAndNetwork(element);
    record.groupName = names.groupName;
    record.networkName = names.networkName;
    record.newGroupName = reader.optionalText(ConnApiElement::NEW_GROUP_NAME);
    record.newNetworkName = reader.optionalText(ConnApiElement::NEW_NETWORK_NAME);
    if (reader.has(ConnApiElement::PRIORITY))
        record.priority = TextToXmlApiNetworkPriority(reader.optionalText(ConnApiElement::PRIORITY).text());
    if (reader.has(ConnApiElement::NETWORK_MEDIA))
        record.media = TextToNetworkType(reader.optionalText(ConnApiElement::NETWORK_MEDIA).text());
    record.settings = readSettings(reader, false);
    return record;
}

GroupAndNetworkRecord NetworkBodies::readGroupAndNetwork(const SharedXmlNode& element) {
    ConnApiReader reader(element);
    GroupAndNetworkRecord record;
    record.groupName = reader.requiredText(ConnApiElement::GROUP_NAME);
    record.networkName = reader.requiredText(ConnApiElement::NETWORK_NAME);
    return record;
}

void NetworkBodies::writeGroupAndNetwork(const SoapBodyContext& context, const Ascii& groupName,
                                         const Ascii& networkName) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::text(message, ConnApiElement::GROUP_NAME, groupName);
    ConnApiWriter::text(message, ConnApiElement::NETWORK_NAME, networkName);
}

void NetworkBodies::writeChangeNetworkResponse(const SoapBodyContext& context, const Ascii& groupName,
                                               const Ascii& newGroupName, const Ascii& networkName) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::text(message, ConnApiElement::GROUP_NAME, groupName);
    ConnApiWriter::textUnlessEmpty(message, ConnApiElement::NEW_GROUP_NAME, newGroupName);
    ConnApiWriter::text(message, ConnApiElement::NETWORK_NAME, networkName);
}
