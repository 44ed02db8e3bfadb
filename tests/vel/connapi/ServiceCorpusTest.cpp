// The service's writers give the service's corpus files byte for byte, and its readers read every
// file a client sends.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "../basevaluessupport/BaseValuesTestSupport.h"
#include "tests/vel/connapi/ConnApiCorpus.h"
#include "vel/connapi/ConnApiMessage.h"
#include "vel/connapi/ConnectionBodies.h"
#include "vel/connapi/CredentialBodies.h"
#include "vel/connapi/NetworkBodies.h"
#include "vel/connapi/NetworkStateBody.h"
#include "vel/connapi/SoapFault.h"
#include "vel/connapi/SsoBodies.h"
#include "vel/connapi/VpnBodies.h"
#include "vel/connapi/XmlLocation.h"
#include "vel/libxml2/XmlDocument.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

using tamsel::test::ConnApiCorpus;

namespace {

using Writer = std::function<void(const SoapBodyContext&)>;

struct WrittenFile {
    const char* file;
    std::int32_t sequenceNumber;
    Writer write;
};

ByteArray bytes(std::initializer_list<std::uint8_t> list) {
    std::vector<std::uint8_t> v(list);
    return ByteArray(v.data(), static_cast<std::int32_t>(v.size()));
}

AsciiVector texts(std::initializer_list<const char*> list) {
    AsciiVector v;
    for (const char* t : list) v.add(t);
    return v;
}

XmlCertificate certificate(ByteArray hash, const char* name, const char* to, const char* by,
                           const char* expiry, const char* serial, const char* card) {
    XmlCertificate c = XmlCertificate::create();
    c.setCertificateHash(hash);
    c.setCertificateName(name);
    c.setIssuedTo(to);
    c.setIssuedBy(by);
    c.setExpiryDate(expiry);
    c.setSerialNumber(serial);
    c.setSmartCardName(card);
    return c;
}

Writer empty() {
    return [](const SoapBodyContext& c) { xmlWriteEmptyResponse(c); };
}

NetworkStateRecord connectedState() {
    NetworkStateRecord r;
    r.groupName = "Office";
    r.networkName = "Corp-WiFi";
    r.networkState = NetworkStateRecord::CONNECTED;
    r.nadMacAddress = bytes({0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e});
    r.channel = 6;
    r.signalStrengthInDbm = -52;
    r.adapterName = "wlan0";
    r.adapterMacAddress = bytes({0x02, 0x00, 0x00, 0xaa, 0xbb, 0xcc});
    r.serverVerifiedName = "radius.corp.example";
    r.ipAddress = "10.1.2.3";
    r.speedInMbps = 54;
    r.outerEapMethod = 25;
    r.innerEapMethod = 4099;
    return r;
}

const std::vector<WrittenFile>& serviceFiles() {
    static const std::vector<WrittenFile> files = {
        {"004-getLocationCapabilitiesResponse-available.xml", 42,
         [](const SoapBodyContext& c) {
             LocationCapabilitiesRecord r;
             r.available = true;
             r.services = {1, 0};
             r.formats = {0, 2, 0};
             r.encodings = {1, 0, 0, 0};
             Xml_Location::WriteCapabilities(c, r);
         }},
        {"004-getLocationCapabilitiesResponse-unavailable.xml", 42,
         [](const SoapBodyContext& c) { Xml_Location::WriteCapabilities(c, LocationCapabilitiesRecord()); }},
        {"006-getLocationResponse.xml", 42, empty()},
        {"008-getGroupsResponse.xml", 42,
         [](const SoapBodyContext& c) {
             NetworkBodies::writeGroupList(c, texts({"Office", "Home & <Lab>"}));
         }},
        {"010-getActiveGroupResponse.xml", 42,
         [](const SoapBodyContext& c) { NetworkBodies::writeGroupName(c, "Office"); }},
        {"012-setActiveGroupResponse.xml", 42,
         [](const SoapBodyContext& c) { NetworkBodies::writeGroupName(c, "Office"); }},
        {"014-getNetworksInGroupResponse.xml", 42,
         [](const SoapBodyContext& c) {
             NetworkListEntry corp;
             corp.networkName = "Corp-WiFi";
             corp.creator = 2;
             corp.media = 2;
             corp.ssid = ByteArray("CorpNet");
             corp.association = 8;
             corp.encryption = 4;
             corp.hasVpn = true;
             corp.connectionEntry = "HQ";
             corp.autoConnectVpn = true;
             corp.eapMethod = 25;
             corp.credentialType = 1;
             NetworkListEntry wired;
             wired.networkName = "Wired-LAN";
             wired.creator = 1;
             wired.media = 1;
             wired.isGlobal = true;
             wired.script = "C:\\Scripts\\map.cmd";
             NetworkBodies::writeNetworksInGroup(c, "Office", {corp, wired});
         }},
        {"020-enableAutoconnectResponse.xml", 42, empty()},
        {"022-getConnectionModeResponse-auto.xml", 42,
         [](const SoapBodyContext& c) { ConnectionBodies::writeConnectionMode(c, 1, "", ""); }},
        {"022-getConnectionModeResponse-manual.xml", 42,
         [](const SoapBodyContext& c) {
             ConnectionBodies::writeConnectionMode(c, 2, "Office", "Corp-WiFi");
         }},
        {"024-connectToNetworkResponse.xml", 42,
         [](const SoapBodyContext& c) { ConnectionBodies::writeNetworkName(c, "Corp-WiFi"); }},
        {"026-disconnectResponse.xml", 42, empty()},
        {"028-turnOffRadioResponse.xml", 42, empty()},
        {"030-turnOnRadioResponse.xml", 42, empty()},
        {"032-disableTamselResponse.xml", 42, empty()},
        {"034-enableTamselResponse.xml", 42, empty()},
        {"036-addNetworkResponse.xml", 42,
         [](const SoapBodyContext& c) { NetworkBodies::writeGroupAndNetwork(c, "Office", "Home"); }},
        {"038-changeNetworkResponse.xml", 42,
         [](const SoapBodyContext& c) {
             NetworkBodies::writeChangeNetworkResponse(c, "Office", "Lab", "Home2");
         }},
        {"040-removeNetworkResponse.xml", 42,
         [](const SoapBodyContext& c) { NetworkBodies::writeGroupAndNetwork(c, "Office", "Home"); }},
        {"042-addGroupResponse.xml", 42,
         [](const SoapBodyContext& c) { NetworkBodies::writeGroupName(c, "Lab"); }},
        {"044-removeGroupResponse.xml", 42,
         [](const SoapBodyContext& c) { NetworkBodies::writeGroupName(c, "Lab"); }},
        {"046-getScanListResponse.xml", 42,
         [](const SoapBodyContext& c) {
             ScanEntryRecord corp;
             corp.ssid = "CorpNet";
             corp.bssid = bytes({0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e});
             corp.modes = {{8, 4}, {6, 3}};
             corp.channel = 6;
             corp.signalStrengthInDbm = -52;
             corp.snr = 30;
             ScanEntryRecord legacy;
             legacy.ssid = "legacy";
             legacy.bssid = bytes({0x00, 0xaa, 0xbb, 0xcc, 0xdd, 0xee});
             legacy.modes = {{0, 2}};
             legacy.channel = 11;
             legacy.signalStrengthInDbm = -80;
             legacy.snr = 8;
             ConnectionBodies::writeScanList(c, {corp, legacy});
         }},
        {"048-ssoLogonPolicyResponse.xml", 42,
         [](const SoapBodyContext& c) { SsoBodies::writeLogonPolicy(c, 30, 0, 60); }},
        {"050-ssoPrelogonActionsResponse.xml", 42, empty()},
        {"052-ssoUserSessionActionsResponse.xml", 42, empty()},
        {"054-ssoNoUserSessionResponse.xml", 42, empty()},
        {"056-ssoChangePasswordResponse.xml", 42, empty()},
        {"058-ssoLogonCredentialsChangedResponse.xml", 42, empty()},
        {"059-logonEvent.xml", 42,
         [](const SoapBodyContext& c) { SsoBodies::writeLogonEvent(c, 7, "passwordExpired"); }},
        {"060-logonChangePasswordEvent.xml", 42,
         [](const SoapBodyContext& c) {
             SsoBodies::writeLogonChangePasswordEvent(c, 7, "passwordChangeSucceeded");
         }},
        {"061-getUsernameAndPasswordRequest.xml", 42,
         [](const SoapBodyContext& c) {
             CredentialBodies::writeUsernamePasswordRequest(c, "Office", "Corp-WiFi", 3, "",
                                                            "Wrong password, try again");
         }},
        {"063-getCertificateRequest.xml", 42,
         [](const SoapBodyContext& c) {
             CredentialBodies::writeCertificateRequest(
                 c, "Office", "Corp-WiFi",
                 {certificate(bytes({0x0a, 0x0b, 0xfe}), "alice", "alice@corp.example", "Corp CA",
                              "2027-01-31", "01f3", ""),
                  certificate(bytes({0xc0, 0xff, 0xee}), "alice (card)", "alice", "Corp CA", "2026-06-30",
                              "7a", "Card 1")});
         }},
        {"067-getLogonUsernameAndPasswordRequest.xml", 42, empty()},
        {"069-getLogonSmartCardPinRequest.xml", 42, empty()},
        {"071-getSmartCardPinRequest.xml", 42,
         [](const SoapBodyContext& c) {
             CredentialBodies::writeSmartCardPinRequest(c, "Office", "Corp-WiFi", "Card 1");
         }},
        {"073-networkStateEvent-connected.xml", 42,
         [](const SoapBodyContext& c) { NetworkStateBody::write(c, connectedState()); }},
        {"073-networkStateEvent-associating.xml", 42,
         [](const SoapBodyContext& c) {
             NetworkStateRecord r = connectedState();
             r.networkState = NetworkStateRecord::ASSOCIATING;
             r.serverVerifiedName = "";
             NetworkStateBody::write(c, r);
         }},
        {"075-resendLastNetworkStateEventResponse.xml", 42, empty()},
        {"076-configurationChangeEvent.xml", 42, empty()},
        {"077-locationResponseEvent.xml", 70000,
         [](const SoapBodyContext& c) {
             LocationRecord r;
             r.format = 2;
             r.data = ByteArray("48.8566,2.3522");
             r.accuracy = 10;
             r.signatureType = 2;
             r.signature = bytes({0x01, 0x02, 0x03, 0xfd, 0xfe});
             r.locationId = "AP-12";
             Xml_Location::CreateXmlResponseEvent(c, r);
         }},
        {"078-locationErrorEvent.xml", 70000,
         [](const SoapBodyContext& c) { Xml_Location::CreateXmlErrorEvent(c, 7); }},
        {"080-getServiceStateResponse.xml", 42,
         [](const SoapBodyContext& c) { ConnectionBodies::writeServiceState(c, true, false); }},
        {"082-enablePacketCaptureResponse.xml", 42, empty()},
        {"084-disablePacketCaptureResponse.xml", 42, empty()},
        {"086-getAdministratorPolicyResponse.xml", 42,
         [](const SoapBodyContext& c) {
             AdministratorPolicyRecord p;
             p.allowedEapMethods = {25, 13};
             p.allowWired = true;
             p.allowWireless = true;
             p.allowVpn = true;
             ConnectionBodies::writeAdministratorPolicy(c, p);
         }},
        {"088-getVpnCapabilitiesResponse-automated.xml", 42,
         [](const SoapBodyContext& c) {
             VpnCapabilitiesRecord r;
             r.automatedVpnCapable = true;
             r.connectionEntries = texts({"HQ", "Branch"});
             r.defaultConnectionEntry = "HQ";
             VpnBodies::writeVpnCapabilities(c, r);
         }},
        {"088-getVpnCapabilitiesResponse-none.xml", 42,
         [](const SoapBodyContext& c) { VpnBodies::writeVpnCapabilities(c, VpnCapabilitiesRecord()); }},
        {"090-connectVpnResponse.xml", 42, empty()},
        {"092-disconnectVpnResponse.xml", 42, empty()},
        {"093-vpnStateEvent.xml", 42,
         [](const SoapBodyContext& c) {
             VpnBodies::writeVpnStateEvent(c, "disconnected", "Unable to contact the security gateway.");
         }},
        {"095-resendLastVpnStateEventResponse.xml", 42, empty()},
        {"096-getVpnCredentialsRequest.xml", 42,
         [](const SoapBodyContext& c) { VpnBodies::writeVpnCredentialsRequest(c, "User name", "Passcode"); }},
        {"098-getBannerRequest.xml", 42,
         [](const SoapBodyContext& c) { VpnBodies::writeBannerRequest(c, "Authorized use only."); }},
        {"101-fault.xml", 0,
         [](const SoapBodyContext& c) {
             xmlWriteFault(c.body(), SoapFaultRecord{ConnApiMessages::GET_GROUPS_RESPONSE, 42, 1, Ascii("")});
         }},
    };
    return files;
}

std::string written(const WrittenFile& file) {
    XmlDocument document;
    SharedXmlNode body = ConnApiMessage::writeEnvelope(document);
    file.write(SoapBodyContext(ConnApiCorpus::number(file.file), file.sequenceNumber, body));
    const ByteArray text = document.dump();
    return std::string(text.text(), static_cast<size_t>(text.length()));
}

TEST(ServiceCorpusTest, WritersGiveTheServiceFilesByteForByte) {
    std::set<std::string> covered;
    for (const WrittenFile& file : serviceFiles()) {
        SCOPED_TRACE(file.file);
        covered.insert(file.file);
        const std::string actual = written(file);
        EXPECT_EQ(actual, ConnApiCorpus::read("service", file.file));
        // TAMSEL_CORPUS_OUT names a folder that receives what the writers gave, for a look at what
        // changed.
        if (const char* out = std::getenv("TAMSEL_CORPUS_OUT"))
            std::ofstream(std::string(out) + "/" + file.file, std::ios::binary) << actual;
    }
    EXPECT_EQ(tamsel::test::unmatched(ConnApiCorpus::files("service"), covered), std::vector<std::string>{});
    EXPECT_EQ(BaseValuesTest::takeAssertions(), std::vector<std::string>{});
}

}  // namespace
