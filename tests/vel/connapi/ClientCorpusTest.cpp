// The service reads every message its clients send, in each client's own form, into the values
// the message carries, and refuses the ones it must not read.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "../basevaluessupport/BaseValuesTestSupport.h"
#include "tests/vel/connapi/ConnApiCorpus.h"
#include "vel/connapi/ConnectionBodies.h"
#include "vel/connapi/CredentialBodies.h"
#include "vel/connapi/NetworkBodies.h"
#include "vel/connapi/SoapBodyContext.h"
#include "vel/connapi/SsoBodies.h"
#include "vel/connapi/VpnBodies.h"
#include "vel/connapi/XmlLocation.h"
#include "vel/exception/ConversionException.h"
#include "vel/exception/XmlException.h"
#include "vel/libxml2/XmlDocument.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"

using tamsel::test::ConnApiCorpus;

namespace {

using Check = std::function<void(const SharedXmlNode&)>;

struct ReadFile {
    const char* sender;
    const char* file;
    std::int32_t sequenceNumber;
    // Null for a message that carries nothing but its number.
    Check check;
};

std::string str(const Ascii& text) {
    return std::string(text.text(), static_cast<size_t>(text.length()));
}

std::string str(const ByteArray& bytes) {
    return std::string(bytes.text(), static_cast<size_t>(bytes.length()));
}

std::string hex(const ByteArray& bytes) {
    return str(bytes.toHex());
}

const std::vector<ReadFile>& clientFiles() {
    static const std::vector<ReadFile> files = {
        {"tray", "003-getLocationCapabilitiesRequest.xml", 17, nullptr},
        {"tray", "005-getLocationRequest.xml", 70000,
         [](const SharedXmlNode& e) {
             LocationRequestRecord r = Xml_Location::ReadRequest(e);
             EXPECT_EQ(r.format, 2);
             EXPECT_FALSE(r.secureResponseOnly);
             EXPECT_EQ(r.encoding, 1);
             EXPECT_TRUE(r.digitalSignature);
             EXPECT_TRUE(r.locationId);
             EXPECT_EQ(r.resolution, 3);
         }},
        {"tray", "007-getGroupsRequest.xml", 17, nullptr},
        {"tray", "009-getActiveGroupRequest.xml", 17, nullptr},
        {"tray", "011-setActiveGroupRequest.xml", 17,
         [](const SharedXmlNode& e) { EXPECT_EQ(str(NetworkBodies::readGroupName(e)), "Lab"); }},
        {"tray", "013-getNetworksInGroupRequest.xml", 17,
         [](const SharedXmlNode& e) { EXPECT_EQ(str(NetworkBodies::readGroupName(e)), "Office"); }},
        {"tray", "019-enableAutoconnectRequest.xml", 17, nullptr},
        {"tray", "021-getConnectionModeRequest.xml", 17, nullptr},
        {"tray", "023-connectToNetworkRequest.xml", 17,
         [](const SharedXmlNode& e) {
             ConnectToNetworkRecord r = ConnectionBodies::readConnectToNetwork(e);
             EXPECT_EQ(str(r.networkName), "Corp-WiFi");
             EXPECT_EQ(r.connectionMode, 1);
         }},
        {"tray", "025-disconnectRequest.xml", 17, nullptr},
        {"tray", "027-turnOffRadioRequest.xml", 17, nullptr},
        {"tray", "029-turnOnRadioRequest.xml", 17, nullptr},
        {"tray", "031-disableTamselRequest.xml", 17, nullptr},
        {"tray", "033-enableTamselRequest.xml", 17, nullptr},
        {"tray", "035-addNetworkRequest-wpa2Personal.xml", 17,
         [](const SharedXmlNode& e) {
             AddNetworkRequestRecord r = NetworkBodies::readAddNetworkRequest(e);
             EXPECT_EQ(str(r.groupName), "Office");
             EXPECT_EQ(str(r.networkName), "Home");
             EXPECT_EQ(r.media, 2);
             EXPECT_EQ(str(r.settings.ssid), "home");
             EXPECT_EQ(r.settings.association, 7);
             EXPECT_EQ(r.settings.encryption, 4);
             EXPECT_EQ(str(r.settings.key.bytes), "correct horse & <battery>");
             EXPECT_EQ(r.settings.key.kind, StaticKeyRecord::KIND_ASCII);
             EXPECT_EQ(r.settings.key.length, 0);
             EXPECT_FALSE(r.settings.hasVpn);
             EXPECT_EQ(r.settings.eapMethod, 0);
             EXPECT_TRUE(r.settings.hasScript);
             EXPECT_EQ(str(r.settings.script), "");
         }},
        {"tray", "035-addNetworkRequest-wepEnterprise.xml", 17,
         [](const SharedXmlNode& e) {
             AddNetworkRequestRecord r = NetworkBodies::readAddNetworkRequest(e);
             EXPECT_EQ(r.settings.association, 1) << "open1xDynamicWep reads as (1, 2)";
             EXPECT_EQ(r.settings.encryption, 2);
             EXPECT_EQ(hex(r.settings.key.bytes), "0a1b2c3d4e");
             EXPECT_EQ(r.settings.key.kind, StaticKeyRecord::KIND_BINARY);
             EXPECT_EQ(r.settings.key.length, 5);
             EXPECT_TRUE(r.settings.hasVpn);
             EXPECT_EQ(str(r.settings.connectionEntry), "HQ");
             EXPECT_TRUE(r.settings.autoConnectVpn);
             EXPECT_EQ(r.settings.eapMethod, 25);
             EXPECT_EQ(r.settings.credentialType, 1);
             EXPECT_FALSE(r.settings.hasScript);
         }},
        {"tray", "035-addNetworkRequest-wired.xml", 17,
         [](const SharedXmlNode& e) {
             AddNetworkRequestRecord r = NetworkBodies::readAddNetworkRequest(e);
             EXPECT_EQ(r.media, 1);
             EXPECT_FALSE(r.settings.hasSsid);
             EXPECT_FALSE(r.settings.hasAssociation);
             EXPECT_EQ(r.settings.encryption, 1);
             EXPECT_EQ(r.settings.key.kind, StaticKeyRecord::KIND_NONE);
             EXPECT_EQ(str(r.settings.script), "C:\\Scripts\\map.cmd");
         }},
        {"tray", "037-changeNetworkRequest.xml", 17,
         [](const SharedXmlNode& e) {
             ChangeNetworkRequestRecord r = NetworkBodies::readChangeNetworkRequest(e);
             EXPECT_EQ(str(r.groupName), "Office");
             EXPECT_EQ(str(r.networkName), "Home");
             EXPECT_EQ(str(r.newGroupName), "Lab");
             EXPECT_EQ(str(r.newNetworkName), "Home2");
             EXPECT_EQ(r.priority, 2);
             EXPECT_EQ(r.media, 0);
             EXPECT_EQ(str(r.settings.ssid), "home5");
             EXPECT_EQ(hex(r.settings.key.bytes),
                       "00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff");
             EXPECT_EQ(r.settings.key.kind, StaticKeyRecord::KIND_BINARY);
             EXPECT_EQ(r.settings.key.length, 0) << "a WPA key has no WEP length";
             EXPECT_EQ(str(r.settings.connectionEntry), "Branch");
             EXPECT_FALSE(r.settings.autoConnectVpn);
             EXPECT_EQ(str(r.settings.script), "C:\\x.cmd");
         }},
        {"tray", "039-removeNetworkRequest.xml", 17,
         [](const SharedXmlNode& e) {
             GroupAndNetworkRecord r = NetworkBodies::readGroupAndNetwork(e);
             EXPECT_EQ(str(r.groupName), "Office");
             EXPECT_EQ(str(r.networkName), "Home");
         }},
        {"tray", "041-addGroupRequest.xml", 17,
         [](const SharedXmlNode& e) { EXPECT_EQ(str(NetworkBodies::readGroupName(e)), "Lab"); }},
        {"tray", "043-removeGroupRequest.xml", 17,
         [](const SharedXmlNode& e) { EXPECT_EQ(str(NetworkBodies::readGroupName(e)), "Lab"); }},
        {"tray", "045-getScanListRequest.xml", 17, nullptr},
        {"tray", "051-ssoUserSessionActionsRequest.xml", 17,
         [](const SharedXmlNode& e) {
             UserSessionActionsRecord r = SsoBodies::readUserSessionActions(e);
             EXPECT_EQ(r.userTokenHandle, 0);
             EXPECT_EQ(r.userLogonProcessId, 0);
         }},
        {"tray", "062-getUsernameAndPasswordResponse.xml", 42,
         [](const SharedXmlNode& e) {
             PasswordAnswerRecord r = CredentialBodies::readUsernamePasswordResponse(e);
             EXPECT_EQ(str(r.groupName), "Office");
             EXPECT_EQ(str(r.networkName), "Corp-WiFi");
             EXPECT_EQ(r.requestType, 3);
             EXPECT_EQ(str(r.username), "alice");
             EXPECT_EQ(str(r.password), "s3cr&t<'x'>");
             EXPECT_EQ(str(r.oldPassword), "");
         }},
        {"tray", "064-getCertificateResponse.xml", 42,
         [](const SharedXmlNode& e) {
             CertificateAnswerRecord r = CredentialBodies::readCertificateResponse(e);
             EXPECT_EQ(hex(r.certificateHash), "c0ffee") << "either case of hex reads";
             EXPECT_EQ(str(r.pin), "1234");
         }},
        {"tray", "072-getSmartCardPinResponse.xml", 18,
         [](const SharedXmlNode& e) {
             SmartCardPinAnswerRecord r = CredentialBodies::readSmartCardPinResponse(e);
             EXPECT_EQ(str(r.groupName), "Office");
             EXPECT_EQ(str(r.networkName), "Corp-WiFi");
             EXPECT_EQ(str(r.pin), "1234");
         }},
        {"tray", "074-resendLastNetworkStateEventRequest.xml", 17, nullptr},
        {"tray", "079-getServiceStateRequest.xml", 17, nullptr},
        {"tray", "081-enablePacketCaptureRequest.xml", 17, nullptr},
        {"tray", "083-disablePacketCaptureRequest.xml", 17, nullptr},
        {"tray", "085-getAdministratorPolicyRequest.xml", 17, nullptr},
        {"tray", "087-getVpnCapabilitiesRequest.xml", 17, nullptr},
        {"tray", "089-connectVpnRequest.xml", 17, nullptr},
        {"tray", "091-disconnectVpnRequest.xml", 17, nullptr},
        {"tray", "094-resendLastVpnStateEventRequest.xml", 17, nullptr},
        {"tray", "097-getVpnCredentialsResponse.xml", 42,
         [](const SharedXmlNode& e) {
             VpnCredentialsAnswerRecord r = VpnBodies::readVpnCredentialsResponse(e);
             EXPECT_EQ(str(r.username), "alice");
             EXPECT_EQ(str(r.password), "123456");
         }},
        {"tray", "099-getBannerResponse.xml", 18,
         [](const SharedXmlNode& e) { EXPECT_TRUE(VpnBodies::readBannerAccepted(e)); }},
        {"logon", "047-ssoLogonPolicyRequest.xml", 3, nullptr},
        {"logon", "049-ssoPrelogonActionsRequest.xml", 4,
         [](const SharedXmlNode& e) { EXPECT_EQ(SsoBodies::readLogonAttemptId(e), 42); }},
        {"logon", "051-ssoUserSessionActionsRequest.xml", 5,
         [](const SharedXmlNode& e) {
             UserSessionActionsRecord r = SsoBodies::readUserSessionActions(e);
             EXPECT_EQ(r.userTokenHandle, 1234);
             EXPECT_EQ(r.userLogonProcessId, 5678);
         }},
        {"logon", "053-ssoNoUserSessionRequest.xml", 6, nullptr},
        {"logon", "055-ssoChangePasswordRequest.xml", 7,
         [](const SharedXmlNode& e) {
             ChangePasswordRecord r = SsoBodies::readChangePassword(e);
             EXPECT_EQ(r.attemptId, 5);
             EXPECT_EQ(str(r.username), "alice");
             EXPECT_EQ(str(r.domain), "CORP");
             EXPECT_EQ(str(r.password), "new-Pa55");
             EXPECT_EQ(str(r.oldPassword), "old-Pa55");
         }},
        {"logon", "057-ssoLogonCredentialsChangedRequest.xml", 8, nullptr},
        {"logon", "068-getLogonUsernameAndPasswordResponse.xml", 42,
         [](const SharedXmlNode& e) {
             LogonPasswordAnswerRecord r = CredentialBodies::readLogonUsernamePasswordResponse(e);
             EXPECT_EQ(str(r.username), "alice");
             EXPECT_EQ(str(r.domain), "CORP");
             EXPECT_EQ(str(r.password), "Pa55");
         }},
        {"logon", "070-getLogonSmartCardPinResponse.xml", 43,
         [](const SharedXmlNode& e) { EXPECT_EQ(str(CredentialBodies::readLogonSmartCardPin(e)), "2468"); }},
    };
    return files;
}

// The message element of a corpus file, read as the service reads a pipe message.
class Message {
public:
    Message(const std::string& sender, const std::string& file) : m_text(ConnApiCorpus::read(sender, file)) {
        m_document.parseMessage(m_text.data(), static_cast<int>(m_text.size()));
        SharedXmlNode body = m_document.rootElement().findChild(ConnApiConstants::BODY_ELEMENT);
        for (SharedXmlNode child = body.firstChild(); child.isNonNull(); child = child.nextSibling()) {
            if (child.isElement()) {
                m_element = child;
                break;
            }
        }
    }
    const SharedXmlNode& element() const { return m_element; }

private:
    std::string m_text;
    XmlDocument m_document;
    SharedXmlNode m_element;
};

TEST(ClientCorpusTest, ServiceReadsEveryClientMessage) {
    std::set<std::string> tray, logon;
    for (const ReadFile& file : clientFiles()) {
        SCOPED_TRACE(std::string(file.sender) + "/" + file.file);
        (std::string(file.sender) == "tray" ? tray : logon).insert(file.file);
        Message message(file.sender, file.file);
        ASSERT_TRUE(message.element().isNonNull());
        SoapBodyContext context = SoapBodyContext::fromElement(message.element());
        EXPECT_EQ(context.command(), ConnApiCorpus::number(file.file));
        EXPECT_EQ(context.sequenceNumber(), file.sequenceNumber);
        if (file.check) file.check(message.element());
    }
    EXPECT_EQ(tamsel::test::unmatched(ConnApiCorpus::files("tray"), tray), std::vector<std::string>{});
    EXPECT_EQ(tamsel::test::unmatched(ConnApiCorpus::files("logon"), logon), std::vector<std::string>{});
    EXPECT_EQ(BaseValuesTest::takeAssertions(), std::vector<std::string>{});
}

struct RefusedFile {
    const char* file;
    // The text of the XmlException or ConversionException the reader raises.
    const char* refusal;
    std::function<void(const SharedXmlNode&)> read;
};

TEST(ClientCorpusTest, ReadersRefuseWhatTheyMustNotRead) {
    const std::vector<RefusedFile> files = {
        {"005-getLocationRequest-noLocationId.xml", "\"requestLocationId\" tag is required",
         [](const SharedXmlNode& e) { Xml_Location::ReadRequest(e); }},
        {"035-addNetworkRequest-ssid33.xml", "Invalid ssid length.",
         [](const SharedXmlNode& e) { NetworkBodies::readAddNetworkRequest(e); }},
        {"035-addNetworkRequest-ethernet.xml", "TextToNetworkType: Unknown network type.",
         [](const SharedXmlNode& e) { NetworkBodies::readAddNetworkRequest(e); }},
        {"035-addNetworkRequest-wepAscii40Key4.xml", "Invalid \"wepAscii40Key\" length.",
         [](const SharedXmlNode& e) { NetworkBodies::readAddNetworkRequest(e); }},
        {"035-addNetworkRequest-badHexKey.xml", "Invalid HEX representation.",
         [](const SharedXmlNode& e) { NetworkBodies::readAddNetworkRequest(e); }},
        {"035-addNetworkRequest-noNetworkName.xml", "\"networkName\" tag is required",
         [](const SharedXmlNode& e) { NetworkBodies::readAddNetworkRequest(e); }},
        {"035-addNetworkRequest-emptyGroupName.xml", "Empty \"groupName\" tag.",
         [](const SharedXmlNode& e) { NetworkBodies::readAddNetworkRequest(e); }},
        {"037-changeNetworkRequest-noAutoConnectVpn.xml", "\"autoConnectVpn\" tag is required",
         [](const SharedXmlNode& e) { NetworkBodies::readChangeNetworkRequest(e); }},
        {"037-changeNetworkRequest-priority.xml", "TextToXmlApiNetworkPriority: Unknown network priority.",
         [](const SharedXmlNode& e) { NetworkBodies::readChangeNetworkRequest(e); }},
        {"062-getUsernameAndPasswordResponse-type.xml", "TextToRequestType: Unknown credential type.",
         [](const SharedXmlNode& e) { CredentialBodies::readUsernamePasswordResponse(e); }},
        {"064-getCertificateResponse-oddHash.xml", "Invalid HEX representation.",
         [](const SharedXmlNode& e) { CredentialBodies::readCertificateResponse(e); }},
        {"099-getBannerResponse-empty.xml", "Tag \"bannerAccepted\" is empty",
         [](const SharedXmlNode& e) { VpnBodies::readBannerAccepted(e); }},
    };
    std::set<std::string> covered;
    for (const RefusedFile& file : files) {
        SCOPED_TRACE(file.file);
        covered.insert(file.file);
        Message message("refused", file.file);
        std::string raised = "<nothing>";
        try {
            file.read(message.element());
        } catch (const XmlException& e) {
            raised = str(e.function());
        } catch (const ConversionException& e) {
            raised = str(e.function());
        }
        EXPECT_EQ(raised, file.refusal);
    }
    EXPECT_EQ(tamsel::test::unmatched(ConnApiCorpus::files("refused"), covered), std::vector<std::string>{});
}

}  // namespace
