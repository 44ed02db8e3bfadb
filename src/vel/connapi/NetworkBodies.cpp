#include "vel/connapi/NetworkBodies.h"

#include "vel/connapi/ConnApiMessage.h"
#include "vel/connapi/ConnApiReader.h"
#include "vel/connapi/ConnApiWriter.h"
#include "vel/enumtostring/BaseCredentialTypeConversions.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/xml/XmlSchema.h"
#include "vel/xmlconnectionapi/ConnApiElements.h"
#include "vel/xmlconnectionapi/ConnApiLimitConstants.h"

namespace {

using L = ConnApiLimitConstants;

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
    {ConnApiElements::WEP_ASCII_40_KEY, StaticKeyRecord::KIND_ASCII, 5, true, 5},
    {ConnApiElements::WEP_ASCII_128_KEY, StaticKeyRecord::KIND_ASCII, 13, true, 13},
    {ConnApiElements::WEP_HEX_40_KEY, StaticKeyRecord::KIND_BINARY, 10, false, 5},
    {ConnApiElements::WEP_HEX_128_KEY, StaticKeyRecord::KIND_BINARY, 26, false, 13},
    {ConnApiElements::WPA_ASCII_KEY, StaticKeyRecord::KIND_ASCII, 0, false, 0},
    {ConnApiElements::WPA_HEX_KEY, StaticKeyRecord::KIND_BINARY, 64, false, 0},
};

StaticKeyRecord readKey(const ConnApiReader& reader) {
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
        key.length = rule.keyLength;
    }
    return key;
}

// The children of an add or change request from ssid on.
NetworkSettingsRecord readSettings(const ConnApiReader& reader) {
    NetworkSettingsRecord settings;
    settings.hasSsid = reader.has(ConnApiElements::SSID);
    if (settings.hasSsid) {
        const Ascii ssid = reader.optionalText(ConnApiElements::SSID);
        if (ssid.length() > L::MAX_SSID_LENGTH) vel::xmlError("Invalid ssid length.");
        settings.ssid = ssid.toByteArray();
    }
    settings.hasAssociation = reader.has(ConnApiElements::ASSOCIATION_AND_ENCRYPTION_MODE);
    if (settings.hasAssociation) {
        const std::int64_t pair = TextToAssociationMode(
            reader.optionalText(ConnApiElements::ASSOCIATION_AND_ENCRYPTION_MODE).text());
        settings.association = static_cast<std::int32_t>(pair & 0xffffffff);
        settings.encryption = static_cast<std::int32_t>(pair >> 32);
    }
    settings.key = readKey(reader);
    settings.hasVpn = reader.has(ConnApiElements::VPN_PARAMETERS);
    if (settings.hasVpn) {
        ConnApiReader vpn(reader.child(ConnApiElements::VPN_PARAMETERS));
        settings.connectionEntry = vpn.requiredText(ConnApiElements::CONNECTION_ENTRY, L::MAX_CONNECTION_ENTRY_LENGTH);
        settings.autoConnectVpn = TextToBool(vpn.requiredText(ConnApiElements::AUTO_CONNECT_VPN).text()) != 0;
    }
    if (reader.has(ConnApiElements::EAP_METHOD))
        settings.eapMethod = TextToEapType(reader.optionalText(ConnApiElements::EAP_METHOD).text());
    if (reader.has(ConnApiElements::CREDENTIAL_TYPE)) {
        settings.credentialType = basecredential::TextToCredentialType(
            reader.optionalText(ConnApiElements::CREDENTIAL_TYPE).text());
    }
    settings.hasScript = reader.has(ConnApiElements::RUN_SCRIPT_SPEC);
    settings.script = reader.optionalText(ConnApiElements::RUN_SCRIPT_SPEC, L::MAX_SCRIPT_LENGTH);
    return settings;
}

void writeNetworkEntry(XmlParentNode& list, const NetworkListEntry& entry) {
    XmlParentNode network = ConnApiWriter::element(list, ConnApiElements::NETWORK);
    ConnApiWriter::text(network, ConnApiElements::NETWORK_NAME, entry.networkName);
    ConnApiWriter::text(network, ConnApiElements::NETWORK_CREATOR, NetworkCreatorToText(entry.creator));
    ConnApiWriter::text(network, ConnApiElements::NETWORK_MEDIA, NetworkTypeToText(entry.media));
    ConnApiWriter::boolean(network, ConnApiElements::IS_GLOBAL, entry.isGlobal);
    if (entry.ssid.length() > 0) {
        ConnApiWriter::text(network, ConnApiElements::SSID, Ascii(entry.ssid.text(), entry.ssid.length()));
        ConnApiWriter::text(network, ConnApiElements::ASSOCIATION_AND_ENCRYPTION_MODE,
                            AssociationModeToText(entry.association, entry.encryption));
    }
    if (entry.hasVpn) {
        XmlParentNode vpn = ConnApiWriter::element(network, ConnApiElements::VPN_PARAMETERS);
        ConnApiWriter::text(vpn, ConnApiElements::CONNECTION_ENTRY, entry.connectionEntry);
        ConnApiWriter::boolean(vpn, ConnApiElements::AUTO_CONNECT_VPN, entry.autoConnectVpn);
    }
    if (entry.eapMethod) {
        ConnApiWriter::text(network, ConnApiElements::EAP_METHOD, EapTypeToText(*entry.eapMethod));
        if (entry.credentialType) {
            ConnApiWriter::text(network, ConnApiElements::CREDENTIAL_TYPE,
                                basecredential::CredentialTypeToText(*entry.credentialType));
        }
    }
    ConnApiWriter::text(network, ConnApiElements::RUN_SCRIPT_SPEC, entry.script);
}

}  // namespace

void NetworkBodies::writeGroupList(const SoapBodyContext& context, const AsciiVector& groupNames) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    XmlParentNode list = ConnApiWriter::array(message, ConnApiElements::GROUP_LIST);
    for (std::int32_t i = 0; i < groupNames.length(); ++i)
        ConnApiWriter::text(list, ConnApiElements::GROUP_NAME, groupNames.get(i));
}

void NetworkBodies::writeGroupName(const SoapBodyContext& context, const Ascii& groupName) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::text(message, ConnApiElements::GROUP_NAME, groupName);
}

Ascii NetworkBodies::readGroupName(const SharedXmlNode& element) {
    return ConnApiReader(element).requiredText(ConnApiElements::GROUP_NAME, L::MAX_GROUP_NAME_LENGTH);
}

void NetworkBodies::writeNetworksInGroup(const SoapBodyContext& context, const Ascii& groupName,
                                         const std::vector<NetworkListEntry>& networks) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::text(message, ConnApiElements::GROUP_NAME, groupName);
    XmlParentNode list = ConnApiWriter::array(message, ConnApiElements::NETWORK_LIST);
    for (const NetworkListEntry& entry : networks) writeNetworkEntry(list, entry);
}

AddNetworkRequestRecord NetworkBodies::readAddNetworkRequest(const SharedXmlNode& element) {
    ConnApiReader reader(element);
    AddNetworkRequestRecord record;
    const GroupAndNetworkRecord names = readGroupAndNetwork(element);
    record.groupName = names.groupName;
    record.networkName = names.networkName;
    record.media = TextToNetworkType(reader.requiredText(ConnApiElements::NETWORK_MEDIA).text());
    record.settings = readSettings(reader);
    return record;
}

ChangeNetworkRequestRecord NetworkBodies::readChangeNetworkRequest(const SharedXmlNode& element) {
    ConnApiReader reader(element);
    ChangeNetworkRequestRecord record;
    const GroupAndNetworkRecord names = readGroupAndNetwork(element);
    record.groupName = names.groupName;
    record.networkName = names.networkName;
    record.newGroupName = reader.optionalText(ConnApiElements::NEW_GROUP_NAME, L::MAX_GROUP_NAME_LENGTH);
    record.newNetworkName = reader.optionalText(ConnApiElements::NEW_NETWORK_NAME, L::MAX_NETWORK_NAME_LENGTH);
    if (reader.has(ConnApiElements::PRIORITY))
        record.priority = TextToXmlApiNetworkPriority(reader.optionalText(ConnApiElements::PRIORITY).text());
    if (reader.has(ConnApiElements::NETWORK_MEDIA))
        record.media = TextToNetworkType(reader.optionalText(ConnApiElements::NETWORK_MEDIA).text());
    record.settings = readSettings(reader);
    return record;
}

GroupAndNetworkRecord NetworkBodies::readGroupAndNetwork(const SharedXmlNode& element) {
    ConnApiReader reader(element);
    GroupAndNetworkRecord record;
    record.groupName = reader.requiredText(ConnApiElements::GROUP_NAME, L::MAX_GROUP_NAME_LENGTH);
    record.networkName = reader.requiredText(ConnApiElements::NETWORK_NAME, L::MAX_NETWORK_NAME_LENGTH);
    return record;
}

void NetworkBodies::writeGroupAndNetwork(const SoapBodyContext& context, const Ascii& groupName,
                                         const Ascii& networkName) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::text(message, ConnApiElements::GROUP_NAME, groupName);
    ConnApiWriter::text(message, ConnApiElements::NETWORK_NAME, networkName);
}

void NetworkBodies::writeChangeNetworkResponse(const SoapBodyContext& context, const Ascii& groupName,
                                               const Ascii& newGroupName, const Ascii& networkName) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::text(message, ConnApiElements::GROUP_NAME, groupName);
    ConnApiWriter::textUnlessEmpty(message, ConnApiElements::NEW_GROUP_NAME, newGroupName);
    ConnApiWriter::text(message, ConnApiElements::NETWORK_NAME, networkName);
}
