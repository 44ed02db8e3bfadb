// The tray program's side of the shared corpus: its request writer writes the tray's files byte
// for byte, and its readers read what the service writes.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QString>
#include <functional>
#include <vector>

#include "gui/client/AdminPolicy.h"
#include "gui/client/CEButtons.h"
#include "gui/client/Certificate.h"
#include "gui/client/Credentials.h"
#include "gui/client/GroupItemList.h"
#include "gui/client/Mode.h"
#include "gui/client/NetworkItemList.h"
#include "gui/client/ScanResultList.h"
#include "gui/client/SoapRequest.h"
#include "platform/qtsoap/QtSoapMessage.h"

namespace {

QByteArray corpusFile(const QString& sender, const QString& file) {
    QFile in(QStringLiteral(TAMSEL_CONNAPI_CORPUS "/") + sender + "/" + file);
    EXPECT_TRUE(in.open(QIODevice::ReadOnly)) << file.toStdString();
    return in.readAll();
}

QSet<QString> filesOf(const QString& sender) {
    const QStringList names = QDir(QStringLiteral(TAMSEL_CONNAPI_CORPUS "/") + sender).entryList(QDir::Files);
    return QSet<QString>(names.begin(), names.end());
}

// One child of a request as the tray program's windows add it: a value, or the opening or closing
// of a structure.
struct Part {
    enum Kind { PARAM, OPEN, CLOSE } kind;
    const char* name;
    const char* value = "";
};

Part param(const char* name, const char* value) {
    return {Part::PARAM, name, value};
}
Part open(const char* name) {
    return {Part::OPEN, name};
}
Part close(const char* name) {
    return {Part::CLOSE, name};
}

struct TrayFile {
    const char* file;
    const char* sequenceNumber;
    std::vector<Part> parts;
};

QByteArray written(const TrayFile& file) {
    const QString name =
        QString(file.file).mid(4).section(QLatin1Char('.'), 0, 0).section(QLatin1Char('-'), 0, 0);
    SoapRequest request(name, QString::fromLatin1(file.sequenceNumber));
    for (const Part& part : file.parts) {
        switch (part.kind) {
            case Part::PARAM:
                request.addRequestParam(part.name, QString::fromUtf8(part.value));
                break;
            case Part::OPEN:
                request.openElement(part.name);
                break;
            case Part::CLOSE:
                request.closeElement(part.name);
                break;
        }
    }
    request.endRequest();
    return request.text();
}

const char* const HEX64 = "00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff";

TEST(ConnApiCorpusTest, RequestWriterWritesTheTrayFilesByteForByte) {
    const std::vector<TrayFile> files = {
        {"003-getLocationCapabilitiesRequest.xml", "17", {}},
        {"005-getLocationRequest.xml",
         "70000",
         {param("locationFormat", "GEO"), param("requestSecureResponseOnly", "false"),
          param("locationEncoding", "text"), param("requestDigitalSignature", "true"),
          param("requestLocationId", "true"), param("locationResolution", "apResolution")}},
        {"007-getGroupsRequest.xml", "17", {}},
        {"009-getActiveGroupRequest.xml", "17", {}},
        {"011-setActiveGroupRequest.xml", "17", {param("groupName", "Lab")}},
        {"013-getNetworksInGroupRequest.xml", "17", {param("groupName", "Office")}},
        {"019-enableAutoconnectRequest.xml", "17", {}},
        {"021-getConnectionModeRequest.xml", "17", {}},
        {"023-connectToNetworkRequest.xml",
         "17",
         {param("networkName", "Corp-WiFi"), param("connectionMode", "auto")}},
        {"025-disconnectRequest.xml", "17", {}},
        {"027-turnOffRadioRequest.xml", "17", {}},
        {"029-turnOnRadioRequest.xml", "17", {}},
        {"031-disableTamselRequest.xml", "17", {}},
        {"033-enableTamselRequest.xml", "17", {}},
        {"035-addNetworkRequest-wpa2Personal.xml",
         "17",
         {param("groupName", "Office"), param("networkName", "Home"), param("networkMedia", "wifi"),
          param("ssid", "home"), param("associationAndEncryptionMode", "wpa2PersonalAes"),
          param("wpaAsciiKey", "correct horse & <battery>"), param("runScriptSpec", "")}},
        {"035-addNetworkRequest-wepEnterprise.xml",
         "17",
         {param("groupName", "Office"), param("networkName", "Lab-WEP"), param("networkMedia", "wifi"),
          param("ssid", "labwep"), param("associationAndEncryptionMode", "open1xDynamicWep"),
          param("wepHex40Key", "0a1b2c3d4e"), open("vpnParameters"), param("connectionEntry", "HQ"),
          param("autoConnectVpn", "true"), close("vpnParameters"), param("eapMethod", "eapPeap"),
          param("credentialType", "password")}},
        {"035-addNetworkRequest-wired.xml",
         "17",
         {param("groupName", "Office"), param("networkName", "Desk"), param("networkMedia", "wired"),
          param("runScriptSpec", "C:\\Scripts\\map.cmd")}},
        {"037-changeNetworkRequest.xml",
         "17",
         {param("groupName", "Office"), param("networkName", "Home"), param("newGroupName", "Lab"),
          param("newNetworkName", "Home2"), param("priority", "top"), param("ssid", "home5"),
          param("associationAndEncryptionMode", "wpa2PersonalAes"), param("wpaHexKey", HEX64),
          open("vpnParameters"), param("connectionEntry", "Branch"), param("autoConnectVpn", "false"),
          close("vpnParameters"), param("runScriptSpec", "C:\\x.cmd")}},
        {"039-removeNetworkRequest.xml", "17", {param("groupName", "Office"), param("networkName", "Home")}},
        {"041-addGroupRequest.xml", "17", {param("groupName", "Lab")}},
        {"043-removeGroupRequest.xml", "17", {param("groupName", "Lab")}},
        {"045-getScanListRequest.xml", "17", {}},
        {"051-ssoUserSessionActionsRequest.xml",
         "17",
         {param("userTokenHandle", "0"), param("userLogonProcessId", "0")}},
        {"062-getUsernameAndPasswordResponse.xml",
         "42",
         {param("groupName", "Office"), param("networkName", "Corp-WiFi"),
          param("passwordType", "passwordRetry"), param("username", "alice"),
          param("password", "s3cr&t<'x'>")}},
        {"064-getCertificateResponse.xml",
         "42",
         {param("groupName", "Office"), param("networkName", "Corp-WiFi"), param("certificateHash", "C0FFEE"),
          param("pin", "1234")}},
        {"072-getSmartCardPinResponse.xml",
         "18",
         {param("groupName", "Office"), param("networkName", "Corp-WiFi"), param("pin", "1234")}},
        {"074-resendLastNetworkStateEventRequest.xml", "17", {}},
        {"079-getServiceStateRequest.xml", "17", {}},
        {"081-enablePacketCaptureRequest.xml", "17", {}},
        {"083-disablePacketCaptureRequest.xml", "17", {}},
        {"085-getAdministratorPolicyRequest.xml", "17", {}},
        {"087-getVpnCapabilitiesRequest.xml", "17", {}},
        {"089-connectVpnRequest.xml", "17", {}},
        {"091-disconnectVpnRequest.xml", "17", {}},
        {"094-resendLastVpnStateEventRequest.xml", "17", {}},
        {"097-getVpnCredentialsResponse.xml",
         "42",
         {param("username", "alice"), param("password", "123456")}},
        {"099-getBannerResponse.xml", "18", {param("bannerAccepted", "true")}},
    };
    QSet<QString> covered;
    for (const TrayFile& file : files) {
        covered.insert(file.file);
        EXPECT_EQ(written(file), corpusFile("tray", file.file)) << file.file;
    }
    EXPECT_EQ(covered, filesOf("tray"));
}

// Each of the tray program's readers on the service's files of its messages.
TEST(ConnApiCorpusTest, TrayReadersReadWhatTheServiceWrites) {
    const std::vector<std::pair<const char*, std::function<void(const QByteArray&)>>> files = {
        {"004-getLocationCapabilitiesResponse-available.xml",
         [](const QByteArray& m) {
             LocationCapabilities c;
             ASSERT_TRUE(CEButtons::parse(m, c));
             EXPECT_EQ(c.serviceType, "requestLoc");
             EXPECT_EQ(c.formats, QStringList{"GEO"});
             EXPECT_EQ(c.encodings, QStringList{"text"});
             EXPECT_TRUE(c.resolutions.isEmpty());
         }},
        {"004-getLocationCapabilitiesResponse-unavailable.xml",
         [](const QByteArray& m) {
             LocationCapabilities c;
             EXPECT_FALSE(CEButtons::parse(m, c));
         }},
        {"008-getGroupsResponse.xml",
         [](const QByteArray& m) {
             GroupItemList groups;
             ASSERT_TRUE(groups.parse(m));
             ASSERT_EQ(groups.count(), 2);
             EXPECT_EQ(groups.at(1).name(), "Home & <Lab>");
             EXPECT_EQ(groups.sequenceNumber(), "42");
         }},
        {"010-getActiveGroupResponse.xml",
         [](const QByteArray& m) {
             GroupItemList groups;
             QString name;
             ASSERT_TRUE(groups.readGroupName(m, name));
             EXPECT_EQ(name, "Office");
         }},
        {"014-getNetworksInGroupResponse.xml",
         [](const QByteArray& m) {
             NetworkItemList list;
             ASSERT_TRUE(list.parse(m));
             EXPECT_EQ(list.groupName(), "Office");
             ASSERT_EQ(list.count(), 2);
             const NetworkItem& corp = list.at(0);
             EXPECT_EQ(corp.networkCreator, "administrator");
             EXPECT_EQ(corp.ssid, "CorpNet");
             EXPECT_EQ(corp.associationAndEncryptionMode, "wpa2EnterpriseAes");
             EXPECT_TRUE(corp.autoConnectVpn);
             EXPECT_EQ(corp.connectionEntry, "HQ");
             EXPECT_EQ(corp.eapMethod, "eapPeap");
             EXPECT_EQ(corp.credentialType, "password");
             EXPECT_TRUE(list.at(1).isGlobal);
             EXPECT_EQ(list.at(1).runScriptSpec, "C:\\Scripts\\map.cmd");
         }},
        {"022-getConnectionModeResponse-auto.xml",
         [](const QByteArray& m) {
             Mode mode;
             ASSERT_TRUE(mode.parse(m));
             EXPECT_FALSE(mode.isManual());
             EXPECT_TRUE(mode.networkName().isEmpty());
         }},
        {"022-getConnectionModeResponse-manual.xml",
         [](const QByteArray& m) {
             Mode mode;
             ASSERT_TRUE(mode.parse(m));
             EXPECT_TRUE(mode.isManual());
             EXPECT_EQ(mode.groupName(), "Office");
             EXPECT_EQ(mode.networkName(), "Corp-WiFi");
         }},
        {"036-addNetworkResponse.xml",
         [](const QByteArray& m) {
             GroupItemList groups;
             QString group, network;
             ASSERT_TRUE(groups.readGroupAndNetwork(m, group, network));
             EXPECT_EQ(group, "Office");
             EXPECT_EQ(network, "Home");
         }},
        {"046-getScanListResponse.xml",
         [](const QByteArray& m) {
             ScanResultList scan;
             ASSERT_EQ(scan.readScanList(m), 2);
             QStringList ssids;
             for (int i = 0; i < scan.count(); ++i) ssids << scan.at(i).ssid();
             EXPECT_TRUE(ssids.contains("CorpNet") && ssids.contains("legacy"))
                 << ssids.join(',').toStdString();
         }},
        {"061-getUsernameAndPasswordRequest.xml",
         [](const QByteArray& m) {
             Credentials c;
             ASSERT_TRUE(c.parse(m));
             EXPECT_EQ(c.sequenceNumber(), "42");
             EXPECT_EQ(c.passwordType(), "passwordRetry");
             EXPECT_EQ(c.passwordPrompt(), "Wrong password, try again");
             EXPECT_TRUE(c.usernamePrompt().isEmpty());
         }},
        {"063-getCertificateRequest.xml",
         [](const QByteArray& m) {
             Certificate c;
             ASSERT_TRUE(c.parse(m));
             ASSERT_EQ(c.entries().size(), 2);
             EXPECT_EQ(c.entries()[0].certificateHash, "0a0bfe");
             EXPECT_TRUE(c.entries()[0].smartCardName.isEmpty());
             EXPECT_EQ(c.entries()[1].smartCardName, "Card 1");
         }},
        {"086-getAdministratorPolicyResponse.xml",
         [](const QByteArray& m) {
             AdminPolicy policy;
             ASSERT_TRUE(policy.parse(m));
             EXPECT_FALSE(policy.noWireless());
             EXPECT_EQ(policy.allowedEapMethods(), (QStringList{"eapPeap", "eapTls"}));
         }},
        {"096-getVpnCredentialsRequest.xml",
         [](const QByteArray& m) {
             Credentials c;
             ASSERT_TRUE(c.parse(m));
             EXPECT_EQ(c.usernamePrompt(), "User name");
             EXPECT_EQ(c.passwordPrompt(), "Passcode");
             EXPECT_TRUE(c.passwordType().isEmpty());
         }},
        {"101-fault.xml",
         [](const QByteArray& m) {
             QtSoapMessage soap;
             ASSERT_TRUE(soap.setContent(m));
             ASSERT_TRUE(soap.isFault());
             EXPECT_EQ(soap.method()["faultstring"].text(), "getGroupsResponse");
             EXPECT_EQ(soap.faultDetail()["sequenceNumber"].toInt(), 42);
             EXPECT_EQ(soap.faultDetail()["errorCode"].toInt(), 1);
         }},
    };
    for (const auto& [file, read] : files) {
        SCOPED_TRACE(file);
        read(corpusFile("service", file));
    }
    // Every service file at least parses as an envelope whose method is the file's message.
    for (const QString& file : filesOf("service")) {
        QtSoapMessage soap;
        ASSERT_TRUE(soap.setContent(corpusFile("service", file))) << file.toStdString();
        const QString expected = file.mid(4).section(QLatin1Char('.'), 0, 0).section(QLatin1Char('-'), 0, 0);
        EXPECT_EQ(soap.method().name(), expected == "fault" ? QStringLiteral("Fault") : expected)
            << file.toStdString();
    }
}

}  // namespace
