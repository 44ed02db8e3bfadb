#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/base/FailureInjection.h"
#include "platform/lab/Lab.h"
#include "platform/qxauth/QxLibrary.h"
#include "platform/qxauth/qxAuth.h"
#include "tests/support/LabBuilder.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestText.h"

using ::testing::ElementsAre;

namespace tamsel::test {
namespace {

struct Notice {
    int type;
    int first;
    int second;
};

// What a port's callback received: the two words of the fixed records, the whole location record.
struct PortNotices {
    std::vector<Notice> notices;
    std::vector<std::uint8_t> location;
};

void onPort(void* context, int type, const void* data, int length) {
    auto* received = static_cast<PortNotices*>(context);
    int words[2] = {};
    if (length >= 8) std::memcpy(words, data, sizeof words);
    received->notices.push_back({type, words[0], words[1]});
    if (type == QX_PORT_EVENT_LOCATION)
        received->location.assign(static_cast<const std::uint8_t*>(data),
                                  static_cast<const std::uint8_t*>(data) + length);
}

void onEap(void*, int, void*) {}
void onGlobal(void*, int, const void*, int) {}

std::vector<std::pair<int, int>> statesOf(const PortNotices& received) {
    std::vector<std::pair<int, int>> states;
    for (const Notice& notice : received.notices)
        if (notice.type == QX_PORT_EVENT_STATE_STATUS) states.emplace_back(notice.first, notice.second);
    return states;
}

QX_ASSOCIATE associateRecord(const char* ssid, uint32_t mode, uint32_t encryption) {
    QX_ASSOCIATE record = {};
    std::memcpy(record.ssid, ssid, std::strlen(ssid));
    record.ssidLength = static_cast<uint32_t>(std::strlen(ssid));
    record.mode = mode;
    record.encryption = encryption;
    return record;
}

class QxPortsTest : public testing::Test {
protected:
    void SetUp() override {
        lab::clearCalls();
        base::clearFailures();
        lab::Lab::instance().setManual(true);
    }
    void TearDown() override {
        if (port != nullptr) qxPortDetach(&port);
        if (eap != nullptr) qxEapDestroy(&eap);
        if (qxauth::initialized()) qxExit();
        lab::Lab::instance().setManual(false);
        base::clearFailures();
    }
    void start(LabBuilder builder, int adapter) {
        builder.writeTo(home.file("lab.xml"));
        QX_INIT init = {nullptr, onGlobal};
        ASSERT_EQ(qxInit(&init), QX_OK);
        ASSERT_EQ(qxEapCreate(&eap, nullptr, onEap), QX_OK);
        ASSERT_EQ(qxPortAttach(&port, LabBuilder::guid(adapter).c_str(), eap, &received, onPort), QX_OK);
        lab::Lab::instance().pump();
    }

    // Associates with the personal network "home" with the key of the passphrase; the caller
    // destroys the key.
    void associateWithHome(const char* passphrase, QX_HANDLE* psk) {
        ASSERT_EQ(qxRsnPskCreate(psk, passphrase, reinterpret_cast<const uint8_t*>("home"), 4), QX_OK);
        ASSERT_EQ(qxCredRsnPsk(port, *psk), QX_OK);
        ASSERT_EQ(qxPortAuth(port, QX_PORT_AUTH_8021X), QX_OK);
        QX_ASSOCIATE record = associateRecord("home", QX_ASSOC_WPA2_PERSONAL, QX_ENCRYPTION_AES);
        ASSERT_EQ(qxPortAssociate(port, &record), QX_OK);
    }
    // The lab's personal network "home" and the adapter wlan0 that sees it.
    static LabBuilder homeLab() {
        LabBuilder builder;
        builder.wirelessAdapter(2, "wlan0");
        builder.add("accessPoint", {{"ssid", "home"},
                                    {"bssid", "02:aa:00:00:00:02"},
                                    {"security", "wpa2PersonalAes"},
                                    {"passphrase", "correct horse battery"}});
        return builder;
    }

    TempHome home{"qxports"};
    PortNotices received;
    QX_EAP eap = nullptr;
    QX_PORT port = nullptr;
};

TEST(QxPsk, MasterKeyIsTheStandardsTestVector) {
    QX_HANDLE psk = 0;
    const uint8_t ssid[] = {'I', 'E', 'E', 'E'};
    ASSERT_EQ(qxRsnPskCreate(&psk, "password", ssid, 4), QX_OK);
    qxauth::HandleValue value;
    ASSERT_TRUE(qxauth::handleValue(psk, QX_HANDLE_PSK, &value));
    const uint8_t expected[32] = {0xf4, 0x2c, 0x6f, 0xc5, 0x2d, 0xf0, 0xeb, 0xef, 0x9e, 0xbb, 0x4b,
                                  0x90, 0xb3, 0x8a, 0x5f, 0x90, 0x2e, 0x83, 0xfe, 0x1b, 0x13, 0x5a,
                                  0x70, 0xe2, 0x3a, 0xed, 0x76, 0x2e, 0x97, 0x10, 0xa1, 0x2e};
    EXPECT_EQ(value.bytes, std::vector<uint8_t>(expected, expected + 32));
    qxRsnPskDestroy(&psk);
}

TEST_F(QxPortsTest, PersonalNetworkAuthenticatesOnlyWithTheAccessPointsKey) {
    struct Row {
        const char* passphrase;
        std::pair<int, int> outcome;
    } rows[] = {
        {"correct horse battery", {QX_PORT_STATE_AUTHENTICATED, QX_PORT_STATUS_SUCCESS}},
        {"wrong horse battery", {QX_PORT_STATE_HELD, QX_PORT_STATUS_KEY_MISMATCH}},
    };
    start(homeLab(), 2);
    for (const Row& row : rows) {
        ASSERT_EQ(qxPortDisassociate(port), QX_OK);
        lab::Lab::instance().pump();
        received.notices.clear();
        QX_HANDLE psk = 0;
        ASSERT_NO_FATAL_FAILURE(associateWithHome(row.passphrase, &psk));
        lab::Lab::instance().pump();
        ASSERT_FALSE(received.notices.empty());
        EXPECT_EQ(received.notices.front().type, QX_PORT_EVENT_LINK_MODE);
        EXPECT_EQ(received.notices.front().first, QX_LINK_UP);
        EXPECT_THAT(statesOf(received), ElementsAre(row.outcome)) << row.passphrase;
        qxRsnPskDestroy(&psk);
    }
}

TEST_F(QxPortsTest, RoamingMovesTheLinkToAnotherPointOfItsNetworkAndAuthenticatesAgain) {
    LabBuilder builder = homeLab();
    builder.wirelessAdapter(3, "wlan1");
    builder.add("accessPoint", {{"ssid", "home"},
                                {"bssid", "02:aa:00:00:00:03"},
                                {"security", "wpa2PersonalAes"},
                                {"passphrase", "correct horse battery"}});
    builder.add("accessPoint", {{"ssid", "cafe"}, {"bssid", "02:aa:00:00:00:04"}});
    builder.add("accessPoint", {{"ssid", "home"}, {"bssid", "02:aa:00:00:00:05"}, {"adapter", "wlan1"}});
    start(builder, 2);
    lab::Lab& lab = lab::Lab::instance();
    EXPECT_EQ(lab.command("roam wlan0 02:aa:00:00:00:03"), "error: not associated with home");
    QX_HANDLE psk = 0;
    ASSERT_NO_FATAL_FAILURE(associateWithHome("correct horse battery", &psk));
    lab.pump();
    QX_ASSOCIATION_INFO info = {};
    ASSERT_EQ(qxPortGetAssociationInfo(port, &info), QX_OK);
    EXPECT_EQ(info.bssid[5], 0x02);
    struct Row {
        const char* command;
        const char* answer;
    } refused[] = {
        {"roam wlan0", "error: roam <adapter> <bssid>"},
        {"roam wlan9 02:aa:00:00:00:03", "error: no adapter wlan9"},
        {"roam wlan0 02:aa:00:00:00:09", "error: no access point 02:aa:00:00:00:09 in range"},
        {"roam wlan0 02:aa:00:00:00:05", "error: no access point 02:aa:00:00:00:05 in range"},
        {"roam wlan0 02:aa:00:00:00:04", "error: not associated with cafe"},
    };
    received.notices.clear();
    for (const Row& row : refused) EXPECT_EQ(lab.command(row.command), row.answer);
    lab.pump();
    EXPECT_TRUE(received.notices.empty());
    // The link comes up at the other point without going down, and the port authenticates again.
    ASSERT_EQ(lab.command("roam wlan0 02:aa:00:00:00:03"), "ok");
    lab.pump();
    ASSERT_FALSE(received.notices.empty());
    EXPECT_EQ(received.notices.front().type, QX_PORT_EVENT_LINK_MODE);
    EXPECT_EQ(received.notices.front().first, QX_LINK_UP);
    for (const Notice& notice : received.notices)
        if (notice.type == QX_PORT_EVENT_LINK_MODE) {
            EXPECT_EQ(notice.first, QX_LINK_UP);
        }
    ASSERT_FALSE(statesOf(received).empty());
    EXPECT_EQ(statesOf(received).back(),
              std::make_pair(int(QX_PORT_STATE_AUTHENTICATED), int(QX_PORT_STATUS_SUCCESS)));
    ASSERT_EQ(qxPortGetAssociationInfo(port, &info), QX_OK);
    EXPECT_EQ(info.bssid[5], 0x03);
    qxRsnPskDestroy(&psk);
}

TEST_F(QxPortsTest, AssociationNeedsTheNetworkInRangeWithItsMode) {
    LabBuilder builder;
    builder.wirelessAdapter(2, "wlan0");
    builder.add("accessPoint", {{"ssid", "cafe"}, {"bssid", "02:aa:00:00:00:01"}});
    start(builder, 2);
    struct Row {
        const char* ssid;
        uint32_t mode;
        int linkMode;
    } rows[] = {
        {"elsewhere", QX_ASSOC_OPEN, QX_LINK_DOWN},
        {"cafe", QX_ASSOC_WPA2_PERSONAL, QX_LINK_DOWN},
        {"cafe", QX_ASSOC_OPEN, QX_LINK_UP},
    };
    for (const Row& row : rows) {
        received.notices.clear();
        QX_ASSOCIATE record = associateRecord(
            row.ssid, row.mode, row.mode == QX_ASSOC_OPEN ? QX_ENCRYPTION_NONE : QX_ENCRYPTION_AES);
        ASSERT_EQ(qxPortAssociate(port, &record), QX_OK);
        lab::Lab::instance().pump();
        ASSERT_EQ(received.notices.size(), 1u) << row.ssid;
        EXPECT_EQ(received.notices[0].first, row.linkMode) << row.ssid << " " << row.mode;
    }
    QX_ASSOCIATION_INFO info = {};
    ASSERT_EQ(qxPortGetAssociationInfo(port, &info), QX_OK);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(info.ssid), info.ssidLength), "cafe");
    // A lost link drops the association.
    received.notices.clear();
    EXPECT_EQ(lab::Lab::instance().command("link wlan0 down"), "ok");
    lab::Lab::instance().pump();
    ASSERT_EQ(received.notices.size(), 1u);
    EXPECT_EQ(received.notices[0].first, QX_LINK_DOWN);
    EXPECT_EQ(qxPortGetAssociationInfo(port, &info), QX_ERR_NO_INFO);
}

// A radio's link follows its access point: a weaker signal or another point's change keeps it, the
// point gone or out of its sight drops it.
TEST_F(QxPortsTest, AnAccessPointGoneOrOutOfSightTakesTheLinkWithIt) {
    const struct {
        const char* command;
        bool dropped;
    } rows[] = {
        {"set accessPoint bssid=02:aa:00:00:00:01 signal=-88", false},
        {"remove accessPoint bssid=02:aa:00:00:00:02", false},
        {"set accessPoint bssid=02:aa:00:00:00:01 adapter=wlan1", true},
        {"remove accessPoint bssid=02:aa:00:00:00:01", true},
    };
    for (const auto& row : rows) {
        LabBuilder builder;
        builder.wirelessAdapter(2, "wlan0").wirelessAdapter(3, "wlan1");
        builder.add("accessPoint", {{"ssid", "cafe"}, {"bssid", "02:aa:00:00:00:01"}});
        builder.add("accessPoint", {{"ssid", "bar"}, {"bssid", "02:aa:00:00:00:02"}});
        ASSERT_NO_FATAL_FAILURE(start(builder, 2));
        QX_ASSOCIATE record = associateRecord("cafe", QX_ASSOC_OPEN, QX_ENCRYPTION_NONE);
        ASSERT_EQ(qxPortAssociate(port, &record), QX_OK);
        lab::Lab::instance().pump();
        received.notices.clear();

        ASSERT_EQ(lab::Lab::instance().command(row.command), "ok") << row.command;
        lab::Lab::instance().pump();
        QX_ASSOCIATION_INFO info = {};
        if (row.dropped) {
            ASSERT_EQ(received.notices.size(), 1u) << row.command;
            EXPECT_EQ(received.notices[0].type, QX_PORT_EVENT_LINK_MODE);
            EXPECT_EQ(received.notices[0].first, QX_LINK_DOWN);
            EXPECT_EQ(qxPortGetAssociationInfo(port, &info), QX_ERR_NO_INFO) << row.command;
        } else {
            EXPECT_TRUE(received.notices.empty()) << row.command;
            EXPECT_EQ(qxPortGetAssociationInfo(port, &info), QX_OK) << row.command;
        }
        qxPortDetach(&port);
        qxEapDestroy(&eap);
        qxExit();
        received.notices.clear();
    }
}

TEST_F(QxPortsTest, WepNetworksLinkUpOnlyWithTheirKey) {
    LabBuilder builder;
    builder.wirelessAdapter(2, "wlan0");
    builder.add("accessPoint", {{"ssid", "wep"},
                                {"bssid", "02:aa:00:00:00:01"},
                                {"security", "openStaticWep"},
                                {"wepKey", "6162636465"}});
    builder.add("accessPoint", {{"ssid", "cell"},
                                {"bssid", "02:aa:00:00:00:02"},
                                {"ibss", "true"},
                                {"security", "sharedStaticWep"},
                                {"wepKey", "6162636465666768696a6b6c6d"}});
    start(builder, 2);
    struct Row {
        bool adhoc;
        const char* ssid;
        const char* key;  // null: no key in the record
        int linkMode;
    } rows[] = {
        {false, "wep", "abcde", QX_LINK_UP},
        {false, "wep", "abcdf", QX_LINK_DOWN},
        {false, "wep", nullptr, QX_LINK_DOWN},
        {false, "wep", "abcdefghijklm", QX_LINK_DOWN},
        {true, "cell", "abcdefghijklm", QX_LINK_UP},
        {true, "cell", "abcdefghijklX", QX_LINK_DOWN},
        {true, "cell", nullptr, QX_LINK_DOWN},
        // A cell the lab does not have is started by the port itself.
        {true, "own", nullptr, QX_LINK_UP},
    };
    for (const Row& row : rows) {
        ASSERT_EQ(qxPortDisassociate(port), QX_OK);
        lab::Lab::instance().pump();
        received.notices.clear();
        const std::size_t keyLength = row.key == nullptr ? 0 : std::strlen(row.key);
        if (row.adhoc) {
            QX_ADHOC record = {};
            std::memcpy(record.ssid, row.ssid, std::strlen(row.ssid));
            record.ssidLength = static_cast<uint32_t>(std::strlen(row.ssid));
            record.mode = QX_ADHOC_SHARED;
            record.encryption = QX_ENCRYPTION_WEP;
            std::memcpy(record.wepKey, row.key == nullptr ? "" : row.key, keyLength);
            record.wepKeyLength = static_cast<uint32_t>(keyLength);
            record.wepKeyPresent = row.key == nullptr ? 0 : 1;
            ASSERT_EQ(qxPortAdhoc(port, &record), QX_OK);
        } else {
            QX_ASSOCIATE record = associateRecord(row.ssid, QX_ASSOC_OPEN, QX_ENCRYPTION_WEP);
            std::memcpy(record.wepKey, row.key == nullptr ? "" : row.key, keyLength);
            record.wepKeyLength = static_cast<uint32_t>(keyLength);
            record.wepKeyPresent = row.key == nullptr ? 0 : 1;
            ASSERT_EQ(qxPortAssociate(port, &record), QX_OK);
        }
        lab::Lab::instance().pump();
        ASSERT_EQ(received.notices.size(), 1u) << row.ssid << " " << (row.key ? row.key : "no key");
        EXPECT_EQ(received.notices[0].first, row.linkMode)
            << row.ssid << " " << (row.key ? row.key : "no key");
    }
}

TEST_F(QxPortsTest, LocationComesAsANoticeOrAnErrorOrNotAtAll) {
    LabBuilder builder;
    builder.wirelessAdapter(2, "wlan0");
    builder.add("accessPoint", {{"ssid", "corp"},
                                {"bssid", "02:aa:00:00:00:01"},
                                {"location", "Building 4"},
                                {"locationId", "B4"},
                                {"locationAccuracy", "12"}});
    builder.add("accessPoint", {{"ssid", "lost"}, {"bssid", "02:aa:00:00:00:02"}, {"locationError", "-7"}});
    builder.add("accessPoint", {{"ssid", "plain"}, {"bssid", "02:aa:00:00:00:03"}});
    start(builder, 2);
    QX_LOCATION_QUERY query = {5, 0, QX_LOCATION_ID, 0, 0, 0};
    query.flags = QX_LOCATION_ID;
    for (const char* ssid : {"corp", "lost", "plain"}) {
        QX_ASSOCIATE record = associateRecord(ssid, QX_ASSOC_OPEN, QX_ENCRYPTION_NONE);
        ASSERT_EQ(qxPortAssociate(port, &record), QX_OK);
        lab::Lab::instance().pump();
        received.notices.clear();
        int result = qxPortGetLocation(port, &query);
        lab::Lab::instance().pump();
        if (std::string(ssid) == "plain") {
            EXPECT_EQ(result, QX_ERR_NO_INFO);
            EXPECT_TRUE(received.notices.empty());
            continue;
        }
        ASSERT_EQ(result, QX_OK);
        ASSERT_EQ(received.notices.size(), 1u);
        EXPECT_EQ(received.notices[0].type,
                  std::string(ssid) == "corp" ? QX_PORT_EVENT_LOCATION : QX_PORT_EVENT_LOCATION_ERROR);
    }
    ASSERT_GE(received.location.size(), static_cast<size_t>(QX_LOC_RESPONSE_MIN_LENGTH));
    QX_LOC_RESPONSE fixed;
    std::memcpy(&fixed, received.location.data(), sizeof fixed);
    EXPECT_EQ(fixed.sequence, 5);
    EXPECT_EQ(fixed.format, 1) << "CIVIC, the format of a point that names none";
    const uint8_t* items = received.location.data() + sizeof fixed;
    EXPECT_EQ(
        std::string(reinterpret_cast<const char*>(items + fixed.dataOffset + 2), items[fixed.dataOffset]),
        "Building 4");
    EXPECT_EQ(fixed.signatureOffset, 0u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(items + fixed.idOffset + 2), items[fixed.idOffset]),
              "B4");
}

TEST_F(QxPortsTest, WiredPortWithoutAuthenticatorHoldsAfterItsStarts) {
    LabBuilder builder;
    builder.wiredAdapter(1, "eth0");
    start(builder, 1);
    QX_8021X_CFG config = {30, 60, 10, 3};
    ASSERT_EQ(qx8021xCfg(port, &config), QX_OK);
    ASSERT_EQ(qxPortAuth(port, QX_PORT_AUTH_8021X), QX_OK);
    lab::Lab::instance().advance(29000);
    EXPECT_THAT(statesOf(received), ElementsAre(std::make_pair(2, 601)));
    lab::Lab::instance().advance(1000);
    EXPECT_THAT(statesOf(received),
                ElementsAre(std::make_pair(2, 601),
                            std::make_pair(QX_PORT_STATE_HELD, QX_PORT_STATUS_NO_AUTHENTICATOR)));
}

// A port reports the link it finds when it is attached, as a driver indicates its media state once
// opened: the engine takes an adapter whose cable went in earlier, and no later change would tell it.
struct LinkAtAttach {
    const char* what;
    bool wireless;
    const char* link;
    std::vector<Notice> notices;
};

void PrintTo(const LinkAtAttach& row, std::ostream* out) {
    *out << row.what;
}

class QxPortLinkAtAttachTest : public QxPortsTest, public testing::WithParamInterface<LinkAtAttach> {};

TEST_P(QxPortLinkAtAttachTest, TheAttachedPortReportsTheLinkItFinds) {
    const LinkAtAttach& row = GetParam();
    LabBuilder builder;
    if (row.wireless)
        builder.wirelessAdapter(2, "wlan0", {{"link", row.link}});
    else
        builder.wiredAdapter(2, "eth0", {{"link", row.link}, {"speed", "1000"}});
    start(builder, 2);
    ASSERT_EQ(received.notices.size(), row.notices.size());
    for (size_t i = 0; i < row.notices.size(); ++i) {
        EXPECT_EQ(received.notices[i].type, row.notices[i].type);
        EXPECT_EQ(received.notices[i].first, row.notices[i].first);
        EXPECT_EQ(received.notices[i].second, row.notices[i].second);
    }
    int32_t state = -1;
    ASSERT_EQ(qxPortGetLinkState(port, &state), QX_OK);
    EXPECT_EQ(state, row.notices.empty() ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Links, QxPortLinkAtAttachTest,
    testing::Values(
        LinkAtAttach{"wired cable in", false, "up", {{QX_PORT_EVENT_LINK_MODE, QX_LINK_UP, 1000000}}},
        LinkAtAttach{"wired cable out", false, "down", {}},
        // A radio has no link before it associates, whatever the lab's link says.
        LinkAtAttach{"radio", true, "up", {}}),
    [](const testing::TestParamInfo<LinkAtAttach>& info) { return testNameOf(info.param.what); });

TEST_F(QxPortsTest, DhcpAnswersOnlyWhileThePortPassesTrafficAndFirstForItsNetwork) {
    LabBuilder builder = homeLab();
    builder.add("dhcp", {{"on", "home"}, {"address", "192.0.2.20"}});
    builder.add("dhcp", {{"on", "wlan0"}, {"address", "192.0.2.30"}});
    start(builder, 2);
    const std::string wlan0 = LabBuilder::guid(2);
    struct Row {
        const char* passphrase;  // null: not associated
        int reconnect;
        int lastAddressByte;
    } rows[] = {
        {nullptr, QX_ERR_FAILURE, 0},
        {"wrong horse battery", QX_ERR_FAILURE, 0},  // held: nothing passes
        {"correct horse battery", QX_OK, 20},        // the network's server, not the adapter's
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.passphrase == nullptr ? "not associated" : row.passphrase);
        ASSERT_EQ(qxPortDisassociate(port), QX_OK);
        QX_HANDLE psk = 0;
        if (row.passphrase != nullptr) {
            ASSERT_NO_FATAL_FAILURE(associateWithHome(row.passphrase, &psk));
        }
        lab::Lab::instance().pump();
        EXPECT_EQ(qxIpReconnect(wlan0.c_str()), row.reconnect);
        QX_IP_CONFIG config = {};
        ASSERT_EQ(qxIpGetConfig(wlan0.c_str(), &config), QX_OK);
        EXPECT_EQ(config.address[3], row.lastAddressByte);
        if (psk != 0) qxRsnPskDestroy(&psk);
    }
}

}  // namespace
}  // namespace tamsel::test
