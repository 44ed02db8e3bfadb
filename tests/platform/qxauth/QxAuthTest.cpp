#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>
#include <fstream>
#include <future>
#include <iterator>
#include <optional>
#include <thread>

#include "platform/base/FailureInjection.h"
#include "platform/lab/Lab.h"
#include "platform/netcfg/NetworkState.h"
#include "platform/qxauth/QxLibrary.h"
#include "platform/qxauth/qxAuth.h"
#include "platform/registry/Registry.h"
#include "tests/support/LabBuilder.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestText.h"

namespace tamsel::test {
namespace {

using namespace std::chrono_literals;

struct Event {
    int kind;
    std::vector<std::string> names;
    bool onLabThread;
};

// What the library's callbacks delivered.
struct Received {
    std::vector<Event> events;
    std::vector<std::pair<int, std::string>> lines;
    std::function<void()> inside;  // run inside the global callback
};

std::vector<std::string> namesOf(const void* data, int length) {
    std::vector<std::string> names;
    const char* text = static_cast<const char*>(data);
    for (int at = 0; at < length;) {
        std::string name(text + at);
        names.push_back(name);
        at += static_cast<int>(name.size()) + 1;
    }
    return names;
}

void onEvent(void* context, int kind, const void* data, int length) {
    auto* received = static_cast<Received*>(context);
    received->events.push_back({kind, namesOf(data, length), lab::Lab::instance().onLabThread()});
    if (received->inside) received->inside();
}

void onLogLine(void* context, const QX_LOG_LINE* line, const char* message) {
    static_cast<Received*>(context)->lines.emplace_back(line->level, message);
}

class QxAuthTest : public testing::Test {
protected:
    void SetUp() override {
        lab::clearCalls();
        base::clearFailures();
        lab().setManual(true);
    }
    void TearDown() override {
        if (qxauth::initialized()) qxExit();
        while (lab().running()) lab().release();
        lab().setManual(false);
        base::clearFailures();
    }
    int start(const LabBuilder& builder) {
        builder.writeTo(m_home.file("lab.xml"));
        QX_INIT init = {&m_received, onEvent};
        return qxInit(&init);
    }
    static lab::Lab& lab() { return lab::Lab::instance(); }

    TempHome m_home{"qxauth"};
    Received m_received;
};

TEST(QxAuthTexts, EveryCodeHasItsNameAndOthersAreUnknown) {
    struct Case {
        const char* (*text)(int);
        int code;
        const char* name;
    };
    const Case cases[] = {
        {qxErrorString, QX_OK, "QX_OK"},
        {qxErrorString, -2, "QX_ERR_NOT_INITIALIZED"},
        {qxErrorString, -4, "QX_ERR_INV_PARAM"},
        {qxErrorString, -21, "QX_ERR_NOT_FOUND"},
        {qxErrorString, -30, "QX_ERR_INV_SYNC"},
        {qxErrorString, -32, "QX_ERR_NOT_APPLICABLE"},
        {qxErrorString, -35, "QX_ERR_CANCELED"},
        {qxErrorString, -36, "QX_ERR_CARD_BLOCKED"},
        {qxErrorString, -5, "QX_ERR_UNKNOWN"},
        {qxEventString, 1, "QX_EVENT_ADAPTER_LIST"},
        {qxEventString, 2, "QX_EVENT_SMART_CARD_LIST"},
        {qxEventString, 3, "QX_EVENT_IP_CONFIG_CHANGED"},
        {qxEventString, 4, "QX_EVENT_UNKNOWN"},
        {qxLogLevelString, 1, "QX_LOG_ERROR"},
        {qxLogLevelString, 14, "QX_LOG_PLUGIN"},
        {qxLogLevelString, 15, "QX_LOG_FRAMES"},
        {qxLogLevelString, 0, "QX_LOG_UNKNOWN"},
        {qxPortStateString, 1, "QX_PORT_STATE_DISCONNECTED"},
        {qxPortStateString, 5, "QX_PORT_STATE_HELD"},
        {qxPortStateString, 6, "QX_PORT_STATE_UNKNOWN"},
        {qxPortStatusString, 100, "QX_PORT_STATUS_LINK_DOWN"},
        {qxPortStatusString, 203, "QX_PORT_STATUS_NO_AUTHENTICATOR"},
        {qxPortStatusString, 710, "QX_PORT_STATUS_SUPERSEDED"},
        {qxPortStatusString, 0, "QX_PORT_STATUS_UNKNOWN"},
        {qxEapStatusString, 318, "QX_EAP_STATUS_INVALID_PAC"},
        {qxEapStatusString, 402, "QX_EAP_STATUS_CLEARTEXT_FAILURE"},
        {qxEapStatusString, 403, "QX_EAP_STATUS_UNKNOWN"},
    };
    for (const Case& c : cases) EXPECT_STREQ(c.text(c.code), c.name) << c.code;
}

TEST_F(QxAuthTest, AdapterNamesGoOutAfterInitAndWhenTheSetChanges) {
    LabBuilder builder;
    builder.wiredAdapter(1, "eth0").wirelessAdapter(2, "wlan0");
    ASSERT_EQ(start(builder), QX_OK);
    EXPECT_TRUE(m_received.events.empty());  // only on the lab thread

    lab().pump();
    ASSERT_EQ(m_received.events.size(), 1u);
    EXPECT_EQ(m_received.events[0].kind, QX_EVENT_ADAPTER_LIST);
    EXPECT_EQ(m_received.events[0].names,
              (std::vector<std::string>{LabBuilder::guid(1), LabBuilder::guid(2)}));
    EXPECT_TRUE(m_received.events[0].onLabThread);

    // A change that keeps the set sends nothing.
    EXPECT_EQ(lab().command("set adapter friendly=eth0 link=down"), "ok");
    lab().pump();
    EXPECT_EQ(m_received.events.size(), 1u);

    EXPECT_EQ(lab().command("remove adapter friendly=eth0"), "ok");
    lab().pump();
    ASSERT_EQ(m_received.events.size(), 2u);
    EXPECT_EQ(m_received.events[1].names, std::vector<std::string>{LabBuilder::guid(2)});
}

TEST_F(QxAuthTest, CallbacksComeOnTheLabThreadAndMayCallTheLibrary) {
    lab().setManual(false);
    LabBuilder builder;
    builder.wiredAdapter(1, "eth0", {{"description", "Lab NIC"}});
    std::promise<std::pair<int, std::string>> answered;
    m_received.inside = [&] {
        QX_PORT_ATTR attributes = {};
        int result = qxGetPortAttr(LabBuilder::guid(1).c_str(), &attributes);
        answered.set_value({result, attributes.description});
    };
    ASSERT_EQ(start(builder), QX_OK);
    auto future = answered.get_future();
    ASSERT_EQ(future.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(future.get(), std::make_pair(int(QX_OK), std::string("Lab NIC")));
    ASSERT_EQ(m_received.events.size(), 1u);
    EXPECT_TRUE(m_received.events[0].onLabThread);
    EXPECT_EQ(qxExit(), QX_OK);
}

TEST_F(QxAuthTest, NothingIsDeliveredAfterExit) {
    LabBuilder builder;
    builder.wiredAdapter(1, "eth0");
    ASSERT_EQ(start(builder), QX_OK);
    ASSERT_EQ(qxLogSet(&m_received, onLogLine), QX_OK);
    ASSERT_EQ(qxLogEnable(QX_LOG_INFO, 1), QX_OK);
    qxauth::sendGlobalEvent(QX_EVENT_IP_CONFIG_CHANGED, {});
    ASSERT_EQ(qxExit(), QX_OK);
    lab().pump();
    EXPECT_TRUE(m_received.events.empty());
    EXPECT_TRUE(m_received.lines.empty());
    EXPECT_EQ(qxExit(), QX_ERR_NOT_INITIALIZED);
}

TEST_F(QxAuthTest, ABadLabFailsTheStartAndIsNamedOnStandardError) {
    std::ofstream(m_home.file("lab.xml"))
        << "<lab>\n<adapter name=\"{6F1A0C2E-0000-4000-8000-000000000001}\" media=\"radio\"/>\n</lab>\n";
    QX_INIT init = {&m_received, onEvent};
    testing::internal::CaptureStderr();
    EXPECT_EQ(qxInit(&init), QX_ERR_FAILURE);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(m_home.file("lab.xml") + ":2: bad value \"radio\" of media"), std::string::npos)
        << said;
    EXPECT_FALSE(qxauth::initialized());
    EXPECT_FALSE(lab().running());
}

TEST_F(QxAuthTest, VersionIsTheLabsLibrary) {
    LabBuilder builder;
    builder.library("4.1.0.7", "2009-12-31 23:59:59");
    ASSERT_EQ(start(builder), QX_OK);
    QX_VERSION version = {};
    ASSERT_EQ(qxVersion(&version), QX_OK);
    EXPECT_EQ(version.major, 4);
    EXPECT_EQ(version.minor, 1);
    EXPECT_EQ(version.patch, 0);
    EXPECT_EQ(version.build, 7);
    EXPECT_EQ(version.built, 1262303999);
    EXPECT_EQ(qxVersion(nullptr), QX_ERR_INV_PARAM);
}

TEST_F(QxAuthTest, LogLinesComeForEnabledLevelsOnly) {
    LabBuilder builder;
    builder.wiredAdapter(1, "eth0");
    ASSERT_EQ(start(builder), QX_OK);
    ASSERT_EQ(qxLogSet(&m_received, onLogLine), QX_OK);
    EXPECT_EQ(qxLogEnable(QX_LOG_FRAMES + 1, 1), QX_ERR_INV_PARAM);
    lab().pump();
    EXPECT_TRUE(m_received.lines.empty());

    ASSERT_EQ(qxLogEnable(QX_LOG_INFO, 1), QX_OK);
    EXPECT_EQ(lab().command("add adapter name=" + LabBuilder::guid(2)), "ok");
    lab().pump();
    ASSERT_EQ(m_received.lines.size(), 1u);
    EXPECT_EQ(m_received.lines[0], std::make_pair(int(QX_LOG_INFO), std::string("adapter list: 78 byte(s)")));
}

TEST_F(QxAuthTest, StartCallsNeedTheLibraryAndCanBeToldToFail) {
    using Start = int (*)(void*);
    const std::pair<const char*, Start> starts[] = {
        {"qxSmartCardInit", qxSmartCardInit}, {"qxEapLEAPInit", qxEapLEAPInit},
        {"qxEapFASTInit", qxEapFASTInit},     {"qxEapMSCHAPv2Init", qxEapMSCHAPv2Init},
        {"qxEapGTCInit", qxEapGTCInit},       {"qxEapPEAPInit", qxEapPEAPInit},
        {"qxEapTLSInit", qxEapTLSInit},       {"qxEapMD5Init", qxEapMD5Init},
        {"qxEapTTLSInit", qxEapTTLSInit},
    };
    for (const auto& [name, call] : starts) EXPECT_EQ(call(nullptr), QX_ERR_NOT_INITIALIZED) << name;
    QX_TLV tlv;
    EXPECT_EQ(qxTlvInit(&tlv), QX_ERR_NOT_INITIALIZED);

    ASSERT_EQ(start(LabBuilder()), QX_OK);
    EXPECT_EQ(lab().command("fail qxEapTLSInit -1"), "ok");
    for (const auto& [name, call] : starts) {
        int expected = std::string(name) == "qxEapTLSInit" ? QX_ERR_FAILURE : QX_OK;
        EXPECT_EQ(call(nullptr), expected) << name;
    }
    EXPECT_TRUE(qxauth::eapMethodReady(26));
    EXPECT_FALSE(qxauth::eapMethodReady(13));
    ASSERT_EQ(qxTlvInit(&tlv), QX_OK);
    EXPECT_EQ(tlv.tag, QX_TLV_TAG);
    EXPECT_EQ(tlv.check, qxTlvCheck(&tlv));
}

TEST_F(QxAuthTest, AttributesOfTheLabsAdapters) {
    LabBuilder builder;
    builder.wiredAdapter(1, "eth0", {{"mtu", "9000"}})
        .wirelessAdapter(2, "wlan0",
                         {{"bands", "an"}, {"locationCapable", "true"}, {"description", "Lab radio"}});
    EXPECT_EQ(qxGetPortAttr(LabBuilder::guid(1).c_str(), nullptr), QX_ERR_INV_PARAM);
    QX_PORT_ATTR attributes = {};
    EXPECT_EQ(qxGetPortAttr(LabBuilder::guid(1).c_str(), &attributes), QX_ERR_NOT_INITIALIZED);
    ASSERT_EQ(start(builder), QX_OK);

    ASSERT_EQ(qxGetPortAttr(LabBuilder::guid(1).c_str(), &attributes), QX_OK);
    EXPECT_STREQ(attributes.description, "Lab wired adapter eth0");
    EXPECT_EQ(std::vector<uint8_t>(attributes.macAddress, attributes.macAddress + 6),
              (std::vector<uint8_t>{2, 0, 0, 0, 0, 1}));
    EXPECT_EQ(attributes.mtu, 9000u);
    EXPECT_EQ(attributes.flags, uint32_t(QX_ATTR_8023));

    ASSERT_EQ(qxGetPortAttr(LabBuilder::guid(2).c_str(), &attributes), QX_OK);
    EXPECT_STREQ(attributes.description, "Lab radio");
    EXPECT_EQ(attributes.flags & (QX_ATTR_8023 | QX_ATTR_WIRELESS),
              uint32_t(QX_ATTR_80211A | QX_ATTR_80211N));
    EXPECT_NE(attributes.flags & QX_ATTR_LOCATION, 0u);
    EXPECT_NE(attributes.flags & QX_ATTR_AUTH_11I_PSK, 0u);

    // By symbolic name only, and gone once the lab removes the adapter.
    EXPECT_EQ(qxGetPortAttr("eth0", &attributes), QX_ERR_NOT_FOUND);
    EXPECT_EQ(lab().command("remove adapter friendly=wlan0"), "ok");
    EXPECT_EQ(qxGetPortAttr(LabBuilder::guid(2).c_str(), &attributes), QX_ERR_NOT_FOUND);
}

TEST_F(QxAuthTest, TheLabsAdaptersAreStartedCardsOfTheNetworkConfigurationUnderTheirNames) {
    const std::string eth0 = LabBuilder::guid(1), wlan0 = LabBuilder::guid(2), eth2 = LabBuilder::guid(3);
    // An earlier run's configuration: eth0's card and the protocol without name or status, as they
    // were first written, and the radio as an administrator named it, its binding switched off.
    std::ofstream(m_home.file("netcfg"))
        << "[component]\nbind-name = Ndisuio\nid = ms_ndisuio\nclass = nettrans\n\n"
        << "[component]\nbind-name = " << eth0 << "\nid = lab\\" << eth0
        << "\nclass = net\ncharacteristics = 0x4\n\n"
        << "[component]\nbind-name = " << wlan0
        << "\nid = pci\\ven_1814&dev_3090\ndisplay-name = Office radio\n"
        << "class = net\ncharacteristics = 0x84\ndevice-status = 0x1a\n\n"
        << "[binding]\npath = Ndisuio " << wlan0 << "\nenabled = no\n";
    LabBuilder builder;
    builder.wiredAdapter(1, "eth0", {{"description", "Lab Ethernet adapter"}})
        .wirelessAdapter(2, "wlan0", {{"description", "Lab wireless adapter"}})
        .wiredAdapter(3, "eth2");
    ASSERT_EQ(start(builder), QX_OK);

    netcfg::NetworkState state;
    ASSERT_EQ(netcfg::NetworkStateFile::read(state), 0);
    struct Case {
        std::string bindName;
        std::string id;
        std::string displayName;
        std::optional<com::ULONG> deviceStatus;
    };
    const Case cases[] = {
        {"Ndisuio", "ms_ndisuio", "NDIS Usermode I/O Protocol", std::nullopt},
        {eth0, "lab\\" + eth0, "Lab Ethernet adapter", 0x0180200a},
        {wlan0, "pci\\ven_1814&dev_3090", "Office radio", 0x1a},
        {eth2, "lab\\" + eth2, "Lab wired adapter eth2", 0x0180200a},
    };
    ASSERT_EQ(state.components.size(), std::size(cases));
    for (const Case& c : cases) {
        int index = state.findByBindName(c.bindName);
        ASSERT_GE(index, 0) << c.bindName;
        const netcfg::ComponentRecord& component = state.components[size_t(index)];
        EXPECT_EQ(component.id, c.id) << c.bindName;
        EXPECT_EQ(component.displayName, c.displayName) << c.bindName;
        EXPECT_EQ(component.deviceStatus, c.deviceStatus) << c.bindName;
        // A lab card is no Linux interface, which restarting it would take down.
        EXPECT_EQ(component.interfaceName, "") << c.bindName;
    }
    std::vector<std::string> bindings;
    for (const netcfg::BindingRecord& binding : state.bindings)
        bindings.push_back(binding.token() + (binding.enabled ? "" : " (disabled)"));
    EXPECT_EQ(bindings, (std::vector<std::string>{"-Ndisuio-" + wlan0 + " (disabled)", "-Ndisuio-" + eth0,
                                                  "-Ndisuio-" + eth2}));

    // A later start finds everything in place and leaves the file as it is.
    const std::string written = readText(m_home.file("netcfg"));
    ASSERT_EQ(qxExit(), QX_OK);
    ASSERT_EQ(start(builder), QX_OK);
    EXPECT_EQ(readText(m_home.file("netcfg")), written);
}

TEST(QxAuthHandles, AreTaggedWithTheirKindAndSecretsAreRecordedByLengthOnly) {
    lab::clearCalls();
    const uint8_t alice[] = {'a', 'l', 'i', 'c', 'e'};
    const uint8_t secret[] = {'s', '3', 'c', 'r', '3', 't'};
    QX_HANDLE identity = 0;
    QX_HANDLE password = 0;
    QX_HANDLE pin = 0;
    ASSERT_EQ(qxIdentityCreate(&identity, alice, 5), QX_OK);
    ASSERT_EQ(qxPasswordCreate(&password, secret, 6), QX_OK);
    ASSERT_EQ(qxPinCreate(&pin, "1234", 4), QX_OK);
    EXPECT_EQ(qxHandleKind(identity), QX_HANDLE_IDENTITY);
    EXPECT_EQ(qxHandleKind(password), QX_HANDLE_PASSWORD);
    EXPECT_EQ(qxHandleKind(pin), QX_HANDLE_PIN);
    qxauth::HandleValue value;
    ASSERT_TRUE(qxauth::handleValue(password, QX_HANDLE_PASSWORD, &value));
    EXPECT_EQ(value.bytes, std::vector<uint8_t>(secret, secret + 6));

    // Another kind, a destroyed handle, bad arguments.
    QX_HANDLE copy = password;
    EXPECT_EQ(qxIdentityDestroy(&copy), QX_ERR_INV_PARAM);
    EXPECT_EQ(qxPasswordDestroy(&password), QX_OK);
    EXPECT_EQ(password, 0u);
    EXPECT_EQ(qxPasswordDestroy(&copy), QX_ERR_INV_PARAM);
    EXPECT_EQ(qxPinCreate(&pin, "", 0), QX_ERR_INV_PARAM);
    EXPECT_EQ(qxIdentityCreate(nullptr, alice, 5), QX_ERR_INV_PARAM);

    std::string calls;
    for (const std::string& line : lab::recordedCalls()) calls += line + "\n";
    EXPECT_NE(calls.find("qxIdentityCreate(&" + qxauth::handleText(identity) + ", \"alice\", 5) = 0"),
              std::string::npos)
        << calls;
    EXPECT_NE(calls.find("qxPasswordCreate(&" + qxauth::handleText(copy) + ", <secret:6>, 6) = 0"),
              std::string::npos)
        << calls;
    EXPECT_NE(calls.find("qxPinCreate(&" + qxauth::handleText(pin) + ", <secret:4>, 4) = 0"),
              std::string::npos);
    EXPECT_EQ(calls.find("s3cr3t"), std::string::npos);
    EXPECT_EQ(calls.find("1234"), std::string::npos);
    qxIdentityDestroy(&identity);
    qxPinDestroy(&pin);
}

TEST(QxAuthHandles, PassPhrasesBecomeTheMasterKeyOfTheirNetwork) {
    // The pass phrase "password" over the SSID "IEEE" (IEEE 802.11i, H.4).
    const uint8_t ieee[] = {'I', 'E', 'E', 'E'};
    const std::vector<uint8_t> expected = {0xf4, 0x2c, 0x6f, 0xc5, 0x2d, 0xf0, 0xeb, 0xef, 0x9e, 0xbb, 0x4b,
                                           0x90, 0xb3, 0x8a, 0x5f, 0x90, 0x2e, 0x83, 0xfe, 0x1b, 0x13, 0x5a,
                                           0x70, 0xe2, 0x3a, 0xed, 0x76, 0x2e, 0x97, 0x10, 0xa1, 0x2e};
    QX_HANDLE psk = 0;
    ASSERT_EQ(qxRsnPskCreate(&psk, "password", ieee, 4), QX_OK);
    qxauth::HandleValue value;
    ASSERT_TRUE(qxauth::handleValue(psk, QX_HANDLE_PSK, &value));
    EXPECT_EQ(value.bytes, expected);
    EXPECT_EQ(qxRsnPskDestroy(&psk), QX_OK);

    QX_HANDLE other = 0;
    EXPECT_EQ(qxRsnPskCreate(&other, "short", ieee, 4), QX_ERR_INV_PARAM);
    EXPECT_EQ(qxRsnPskCreate(&other, "password", ieee, 0), QX_ERR_INV_PARAM);
    EXPECT_EQ(qxRsnBinPskCreate(&other, expected.data(), 31), QX_ERR_INV_PARAM);
    ASSERT_EQ(qxRsnBinPskCreate(&other, expected.data(), 13), QX_OK);
    EXPECT_EQ(qxRsnPskDestroy(&other), QX_OK);

    const std::vector<uint8_t> opaque = {0, 2, 0, 4, 1, 2, 3, 4};
    QX_HANDLE pac = 0;
    EXPECT_EQ(qxEapFASTPacCreate(&pac, expected.data(), 16, opaque.data(), 8), QX_ERR_INV_PARAM);
    ASSERT_EQ(qxEapFASTPacCreate(&pac, expected.data(), 32, opaque.data(), 8), QX_OK);
    ASSERT_TRUE(qxauth::handleValue(pac, QX_HANDLE_PAC, &value));
    EXPECT_EQ(value.opaque, opaque);
    EXPECT_EQ(qxEapFASTPacDestroy(&pac), QX_OK);
}

}  // namespace
}  // namespace tamsel::test

namespace tamsel::test {
namespace {

// A value of an adapter's TCP/IP parameters: its type (REG_NONE when it is not there) and bytes.
struct TcpipValue {
    uint32_t type = registry::REG_NONE;
    std::string bytes;

    uint32_t number() const {
        uint32_t value = 0;
        std::memcpy(&value, bytes.data(), std::min(bytes.size(), sizeof value));
        return value;
    }
};

TcpipValue tcpipValue(const std::string& adapter, const char* name) {
    TcpipValue value;
    const std::string path = "SYSTEM\\CurrentControlSet\\Services\\" + adapter + "\\Parameters\\Tcpip";
    registry::HKEY key = nullptr;
    if (registry::RegOpenKeyEx(registry::HKEY_LOCAL_MACHINE, path.c_str(), 0, registry::KEY_READ, &key) != 0)
        return value;
    uint32_t size = 0;
    if (registry::RegQueryValueEx(key, name, &value.type, nullptr, &size) == 0) {
        value.bytes.resize(size);
        registry::RegQueryValueEx(key, name, &value.type, reinterpret_cast<uint8_t*>(value.bytes.data()),
                                  &size);
    }
    registry::RegCloseKey(key);
    return value;
}

std::string addressOf(const QX_IP_CONFIG& config) {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", config.address[0], config.address[1], config.address[2],
                  config.address[3]);
    return text;
}

TEST_F(QxAuthTest, DhcpGivesTheLabsAddressAfterItsFailuresAndAnnouncesEachChange) {
    LabBuilder builder;
    builder.wiredAdapter(1, "eth0").wiredAdapter(2, "eth1").wiredAdapter(3, "eth2");
    builder.add("dhcp",
                {{"on", "eth0"}, {"address", "192.0.2.10"}, {"gateway", "192.0.2.1"}, {"failures", "2"}});
    builder.add("dhcp", {{"on", "eth1"}, {"address", "192.0.2.11"}, {"enabled", "false"}});
    ASSERT_EQ(start(builder), QX_OK);
    lab().pump();
    m_received.events.clear();
    const std::string eth0 = LabBuilder::guid(1), eth1 = LabBuilder::guid(2), eth2 = LabBuilder::guid(3);

    int enabled = -1, connected = -1;
    QX_IP_CONFIG config = {};
    EXPECT_EQ(qxIpDhcpIsEnabled(eth0.c_str(), &enabled), QX_OK);
    EXPECT_EQ(enabled, 1);
    EXPECT_EQ(qxIpGetConfig(eth0.c_str(), &config), QX_OK);
    EXPECT_EQ(addressOf(config), "0.0.0.0");  // no lease yet
    EXPECT_EQ(qxIpReconnect(eth0.c_str()), QX_ERR_FAILURE);
    EXPECT_EQ(qxIpReconnect(eth0.c_str()), QX_ERR_FAILURE);
    EXPECT_EQ(qxIpDhcpRenew(eth0.c_str()), QX_ERR_FAILURE);  // nothing to renew
    EXPECT_EQ(qxIpReconnect(eth0.c_str()), QX_OK);
    EXPECT_EQ(qxIpIsConnected(eth0.c_str(), &connected), QX_OK);
    EXPECT_EQ(connected, 1);
    EXPECT_EQ(qxIpGetConfig(eth0.c_str(), &config), QX_OK);
    EXPECT_EQ(addressOf(config), "192.0.2.10");
    EXPECT_EQ(config.gateway[3], 1);
    EXPECT_EQ(config.leaseSec, 86400);
    EXPECT_EQ(qxIpDhcpRenew(eth0.c_str()), QX_OK);
    EXPECT_EQ(qxIpDhcpRelease(eth0.c_str()), QX_OK);
    EXPECT_EQ(qxIpIsConnected(eth0.c_str(), &connected), QX_OK);
    EXPECT_EQ(connected, 0);
    lab().pump();
    // The address came and went: two changes.
    ASSERT_EQ(m_received.events.size(), 2u);
    EXPECT_EQ(m_received.events[0].kind, QX_EVENT_IP_CONFIG_CHANGED);
    EXPECT_TRUE(m_received.events[1].onLabThread);

    // A static address is there without asking; nobody answers where the lab has no DHCP.
    EXPECT_EQ(qxIpDhcpIsEnabled(eth1.c_str(), &enabled), QX_OK);
    EXPECT_EQ(enabled, 0);
    EXPECT_EQ(qxIpGetConfig(eth1.c_str(), &config), QX_OK);
    EXPECT_EQ(addressOf(config), "192.0.2.11");
    EXPECT_EQ(qxIpReconnect(eth2.c_str()), QX_ERR_FAILURE);
    EXPECT_EQ(qxIpReconnect("{unknown}"), QX_ERR_NOT_FOUND);
    EXPECT_EQ(qxIpIsConnected(eth0.c_str(), nullptr), QX_ERR_INV_PARAM);
}

TEST_F(QxAuthTest, ALeaseStandsInTheAdaptersTcpipParametersUntilItsRelease) {
    LabBuilder builder;
    builder.wiredAdapter(1, "eth0").wiredAdapter(2, "eth1").wiredAdapter(3, "eth2");
    builder.add("dhcp", {{"on", "eth0"},
                         {"address", "192.0.2.10"},
                         {"gateway", "192.0.2.1"},
                         {"server", "192.0.2.2"},
                         {"leaseSec", "3600"}});
    builder.add("dhcp", {{"on", "eth1"}, {"address", "198.51.100.7"}, {"mask", "255.255.0.0"}});
    builder.add("dhcp", {{"on", "eth2"}, {"address", "192.0.2.12"}, {"enabled", "false"}});
    ASSERT_EQ(start(builder), QX_OK);

    // What each adapter's parameters hold once it has its address; "" for a value that is not there.
    struct Case {
        int adapter;
        uint32_t enableDhcp;
        std::string address, mask, server, gateways;
        uint32_t leaseSec;
    };
    const Case cases[] = {
        {1, 1, "192.0.2.10", "255.255.255.0", "192.0.2.2", std::string("192.0.2.1\0\0", 11), 3600},
        {2, 1, "198.51.100.7", "255.255.0.0", "", "", 86400},
        // A static address has no lease to keep.
        {3, 0, "", "", "", "", 0},
    };
    const auto text = [](const TcpipValue& value) {
        return value.type == registry::REG_SZ ? std::string(value.bytes.c_str()) : std::string();
    };
    for (const Case& c : cases) {
        const std::string adapter = LabBuilder::guid(c.adapter);
        SCOPED_TRACE(adapter);
        EXPECT_EQ(tcpipValue(adapter, "EnableDHCP").type, registry::REG_NONE);
        const uint32_t before = uint32_t(std::time(nullptr));
        ASSERT_EQ(qxIpReconnect(adapter.c_str()), QX_OK);
        const uint32_t after = uint32_t(std::time(nullptr));
        EXPECT_EQ(tcpipValue(adapter, "EnableDHCP").number(), c.enableDhcp);
        EXPECT_EQ(text(tcpipValue(adapter, "DhcpIPAddress")), c.address);
        EXPECT_EQ(text(tcpipValue(adapter, "DhcpSubnetMask")), c.mask);
        EXPECT_EQ(text(tcpipValue(adapter, "DhcpServer")), c.server);
        TcpipValue gateways = tcpipValue(adapter, "DhcpDefaultGateway");
        EXPECT_EQ(gateways.bytes, c.gateways);
        if (!c.gateways.empty()) {
            EXPECT_EQ(gateways.type, registry::REG_MULTI_SZ);
        }
        if (!c.enableDhcp) continue;
        TcpipValue obtained = tcpipValue(adapter, "LeaseObtainedTime");
        ASSERT_EQ(obtained.type, registry::REG_DWORD);
        EXPECT_GE(obtained.number(), before);
        EXPECT_LE(obtained.number(), after);
        EXPECT_EQ(tcpipValue(adapter, "LeaseTerminatesTime").number() - obtained.number(), c.leaseSec);
    }

    // A release takes eth0's lease away and leaves it asking DHCP; eth1 keeps its own.
    const std::string eth0 = LabBuilder::guid(1), eth1 = LabBuilder::guid(2);
    ASSERT_EQ(qxIpDhcpRelease(eth0.c_str()), QX_OK);
    for (const char* name : {"DhcpIPAddress", "DhcpSubnetMask", "DhcpServer", "DhcpDefaultGateway",
                             "LeaseObtainedTime", "LeaseTerminatesTime"})
        EXPECT_EQ(tcpipValue(eth0, name).type, registry::REG_NONE) << name;
    EXPECT_EQ(tcpipValue(eth0, "EnableDHCP").number(), 1u);
    EXPECT_EQ(text(tcpipValue(eth1, "DhcpIPAddress")), "198.51.100.7");
}

TEST_F(QxAuthTest, ARegistryThatCannotBeWrittenLeavesTheDhcpAnswersAsTheyWere) {
    LabBuilder builder;
    builder.wiredAdapter(1, "eth0");
    builder.add("dhcp", {{"on", "eth0"}, {"address", "192.0.2.10"}});
    ASSERT_EQ(start(builder), QX_OK);
    const std::string eth0 = LabBuilder::guid(1);
    // The registry's file below a plain file: no key can be made there.
    std::ofstream(m_home.file("blocked")) << "not a folder\n";
    registry::RegSetStoreFile(m_home.file("blocked/registry"));
    struct DefaultStoreOnTheWayOut {
        ~DefaultStoreOnTheWayOut() { registry::RegSetStoreFile(""); }
    } defaultStoreOnTheWayOut;
    registry::HKEY key = nullptr;
    ASSERT_NE(registry::RegCreateKeyEx(registry::HKEY_LOCAL_MACHINE, "SYSTEM", 0, registry::KEY_ALL_ACCESS,
                                       &key, nullptr),
              0);

    int connected = -1;
    QX_IP_CONFIG config = {};
    EXPECT_EQ(qxIpReconnect(eth0.c_str()), QX_OK);
    EXPECT_EQ(qxIpIsConnected(eth0.c_str(), &connected), QX_OK);
    EXPECT_EQ(connected, 1);
    EXPECT_EQ(qxIpGetConfig(eth0.c_str(), &config), QX_OK);
    EXPECT_EQ(addressOf(config), "192.0.2.10");
    EXPECT_EQ(qxIpDhcpRenew(eth0.c_str()), QX_OK);
    EXPECT_EQ(qxIpDhcpRelease(eth0.c_str()), QX_OK);
    EXPECT_EQ(qxIpIsConnected(eth0.c_str(), &connected), QX_OK);
    EXPECT_EQ(connected, 0);
}

TEST_F(QxAuthTest, AReconnectWaitsForTheServersDelayOnTheLabClockOrTheLibrarysExit) {
    LabBuilder builder;
    builder.wiredAdapter(1, "eth0");
    builder.add("dhcp", {{"on", "eth0"}, {"address", "192.0.2.10"}, {"delayMs", "500"}});
    const std::string eth0 = LabBuilder::guid(1);
    for (bool exitMeanwhile : {false, true}) {
        SCOPED_TRACE(exitMeanwhile ? "exit meanwhile" : "server answers");
        ASSERT_EQ(start(builder), QX_OK);
        lab().pump();
        const size_t before = lab().pendingActions();
        auto answer = std::async(std::launch::async, [&] { return qxIpReconnect(eth0.c_str()); });
        // Ends the library after each case; declared after the answer, so that it goes first and a
        // failed check never leaves the reconnect waiting for a clock nobody moves.
        struct ExitOnTheWayOut {
            ~ExitOnTheWayOut() {
                if (qxauth::initialized()) qxExit();
            }
        } exitOnTheWayOut;
        // The reconnect is on its way once its wake-up stands on the lab's clock.
        ASSERT_TRUE(waitFor([&] { return lab().pendingActions() > before; }));
        lab().advance(499);
        EXPECT_EQ(answer.wait_for(20ms), std::future_status::timeout);
        if (exitMeanwhile) {
            ASSERT_EQ(qxExit(), QX_OK);
        } else {
            lab().advance(1);
        }
        ASSERT_EQ(answer.wait_for(10s), std::future_status::ready);
        EXPECT_EQ(answer.get(), exitMeanwhile ? QX_ERR_NOT_INITIALIZED : QX_OK);
    }
}

}  // namespace
}  // namespace tamsel::test
