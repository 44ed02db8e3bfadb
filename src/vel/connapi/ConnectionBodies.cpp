#include "vel/connapi/ConnectionBodies.h"

#include "runtime/lum/Log.h"
#include "vel/connapi/ConnApiMessage.h"
#include "vel/connapi/ConnApiReader.h"
#include "vel/connapi/ConnApiWriter.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/exception/ConversionException.h"
#include "vel/network/Association.h"
#include "vel/xmlconnectionapi/ConnApiElements.h"
#include "vel/xmlconnectionapi/ConnApiLimitConstants.h"

namespace {

constexpr std::int32_t ASSOCIATION_UNKNOWN = 0;
constexpr std::int32_t ENCRYPTION_WEP = 2;
constexpr std::int32_t NETWORK_MEDIA_WIRED = 1;
constexpr std::int32_t NETWORK_MEDIA_WIFI = 2;

void writeScanEntry(XmlParentNode& list, const ScanEntryRecord& entry) {
    XmlParentNode nad = ConnApiWriter::element(list, ConnApiElements::NAD);
    ConnApiWriter::text(nad, ConnApiElements::SSID, entry.ssid);
    ConnApiWriter::hex(nad, ConnApiElements::BSSID, entry.bssid);
    XmlParentNode modes = ConnApiWriter::array(nad, ConnApiElements::ASSOCIATION_AND_ENCRYPTION_MODE_LIST);
    for (const auto& [association, encryption] : entry.modes) {
        if (association == ASSOCIATION_UNKNOWN && encryption == ENCRYPTION_WEP) {
            ConnApiWriter::text(modes, ConnApiElements::ASSOCIATION_AND_ENCRYPTION_MODE,
                                ConnectionBodies::SCANNED_WEP);
            continue;
        }
        // A pair the catalogue has no text for costs that mode, not the whole list.
        try {
            ConnApiWriter::text(modes, ConnApiElements::ASSOCIATION_AND_ENCRYPTION_MODE,
                                AssociationModeToText(association, encryption));
        } catch (const ConversionException&) {
            logDebug("Scan list entry mode (%d, %d) has no text", association, encryption);
        }
    }
    ConnApiWriter::integer(nad, ConnApiElements::CHANNEL, entry.channel);
    ConnApiWriter::integer(nad, ConnApiElements::SIGNAL_STRENGTH_IN_DBM, entry.signalStrengthInDbm);
    ConnApiWriter::integer(nad, ConnApiElements::SNR, entry.snr);
}

}  // namespace

ScanEntryRecord ScanEntryRecord::from(const Ssid& ssid) {
    ScanEntryRecord record;
    record.ssid = ssid.getSsid();
    record.bssid = ssid.getBssid();
    ElementVector modes = ssid.getAssociationAndEncryptionModes();
    for (const Reference& mode : modes.snapshot()) {
        Association association = Association::fromElement(mode.m);
        record.modes.emplace_back(association.getAssociationMode(), association.getEncryption());
    }
    record.channel = ssid.getChannel();
    record.signalStrengthInDbm = ssid.getSignalStrengthInDbm();
    record.snr = ssid.getSnr();
    return record;
}

void ConnectionBodies::writeConnectionMode(const SoapBodyContext& context, std::int32_t connectionMode,
                                           const Ascii& groupName, const Ascii& networkName) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::text(message, ConnApiElements::CONNECTION_MODE,
                        XmlApiConnectionModeToText(connectionMode));
    ConnApiWriter::textUnlessEmpty(message, ConnApiElements::GROUP_NAME, groupName);
    ConnApiWriter::textUnlessEmpty(message, ConnApiElements::NETWORK_NAME, networkName);
}

ConnectToNetworkRecord ConnectionBodies::readConnectToNetwork(const SharedXmlNode& element) {
    ConnApiReader reader(element);
    ConnectToNetworkRecord record;
    record.networkName =
        reader.requiredText(ConnApiElements::NETWORK_NAME, ConnApiLimitConstants::MAX_NETWORK_NAME_LENGTH);
    if (reader.has(ConnApiElements::CONNECTION_MODE)) {
        record.connectionMode =
            TextToXmlApiConnectionMode(reader.optionalText(ConnApiElements::CONNECTION_MODE).text());
    }
    return record;
}

void ConnectionBodies::writeNetworkName(const SoapBodyContext& context, const Ascii& networkName) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::text(message, ConnApiElements::NETWORK_NAME, networkName);
}

void ConnectionBodies::writeScanList(const SoapBodyContext& context,
                                     const std::vector<ScanEntryRecord>& entries) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    XmlParentNode list = ConnApiWriter::array(message, ConnApiElements::NAD_LIST);
    for (const ScanEntryRecord& entry : entries) writeScanEntry(list, entry);
}

void ConnectionBodies::writeServiceState(const SoapBodyContext& context, bool clientEnabled,
                                         bool radioEnabled) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    ConnApiWriter::boolean(message, ConnApiElements::TAMSEL_ENABLED, clientEnabled);
    ConnApiWriter::boolean(message, ConnApiElements::RADIO_ENABLED, radioEnabled);
}

void ConnectionBodies::writeAdministratorPolicy(const SoapBodyContext& context,
                                                const AdministratorPolicyRecord& policy) {
    XmlParentNode message = ConnApiMessage::writeHeaderOnBody(context);
    XmlParentNode administrator = ConnApiWriter::element(message, ConnApiElements::ADMINISTRATOR_POLICY);
    XmlParentNode network = ConnApiWriter::element(administrator, ConnApiElements::NETWORK_POLICY);
    XmlParentNode methods = ConnApiWriter::array(network, ConnApiElements::ALLOWED_EAP_METHODS);
    for (std::int32_t method : policy.allowedEapMethods)
        ConnApiWriter::text(methods, ConnApiElements::EAP_METHOD, EapTypeToText(method));
    XmlParentNode user = ConnApiWriter::element(administrator, ConnApiElements::USER_CONTROL_POLICY);
    XmlParentNode media = ConnApiWriter::array(user, ConnApiElements::ALLOWED_MEDIA);
    if (policy.allowWired)
        ConnApiWriter::text(media, ConnApiElements::MEDIA_TYPE, NetworkTypeToText(NETWORK_MEDIA_WIRED));
    if (policy.allowWireless)
        ConnApiWriter::text(media, ConnApiElements::MEDIA_TYPE, NetworkTypeToText(NETWORK_MEDIA_WIFI));
    ConnApiWriter::boolean(user, ConnApiElements::VPN_ENABLED, policy.allowVpn);
    ConnApiWriter::boolean(user, ConnApiElements::ALLOW_USER_TO_RUN_SCRIPT, policy.allowRunScript);
}
