#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "tests/vel/port/PortTestSupport.h"
#include "vel/network/Association.h"
#include "vel/network/Ssid.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace tamsel::test {
namespace {

// The names of the recorded calls.
std::vector<std::string> callNames() {
    std::vector<std::string> names;
    for (const std::string& line : lab::recordedCalls()) names.push_back(line.substr(0, line.find('(')));
    return names;
}

using Modes = std::vector<std::pair<int, int>>;

Modes modesOf(const Ssid& ssid) {
    Modes modes;
    for (const Reference& element : ssid.getAssociationAndEncryptionModes().snapshot()) {
        Association pair = Association::fromElement(element.m);
        modes.emplace_back(pair.getAssociationMode(), pair.getEncryption());
    }
    return modes;
}

class PortManagerTest : public PortTest {
protected:
    void start() {
        LabBuilder builder;
        builder.wiredAdapter(1, "eth0").wirelessAdapter(2, "wlan0");
        builder.add("accessPoint", {{"ssid", "cafe"}, {"bssid", "02:aa:00:00:00:01"}, {"signal", "-70"}});
        builder.add("accessPoint", {{"ssid", "home"},
                                    {"bssid", "02:aa:00:00:00:02"},
                                    {"signal", "-55"},
                                    {"noise", "-90"},
                                    {"security", "wpa2PersonalAes"},
                                    {"passphrase", "correct horse battery"}});
        startLab(builder);
    }
};

TEST_F(PortManagerTest, AttachDetachCloseAndResetAsLibraryCalls) {
    start();
    struct Row {
        int adapter;
        std::vector<std::string> attach, close, reset, detach;
    } rows[] = {
        {1,
         {"qxEapCreate", "qxPortAttach", "qxGetPortAttr"},
         {"qxPortAuth"},
         {},
         {"qxPortAuth", "qxPortDetach", "qxEapDestroy"}},
        {2,
         {"qxEapCreate", "qxPortAttach", "qxGetPortAttr", "qxPortDisassociate", "qxPortSsidScan"},
         {"qxPortDisassociate", "qxPortAuth"},
         {"qxPortAuthReset"},
         {"qxPortAuth", "qxPortDisassociate", "qxPortDetach", "qxEapDestroy"}},
    };
    for (const Row& row : rows) {
        lab::clearCalls();
        makeManager(row.adapter);
        EXPECT_THAT(callNames(), ElementsAreArray(row.attach)) << row.adapter;
        EXPECT_EQ(pm()->scanRequestTimerRunning(), row.adapter == 2);
        lab::clearCalls();
        onEngine([&] { manager.closePort(); });
        EXPECT_THAT(callNames(), ElementsAreArray(row.close)) << row.adapter;
        EXPECT_THAT(calls().back(), HasSubstr(", 3) = 0"));
        lab::clearCalls();
        onEngine([&] { manager.authReset(); });
        EXPECT_THAT(callNames(), ElementsAreArray(row.reset)) << row.adapter;
        EXPECT_EQ(manager.generation(), 2);
        lab::clearCalls();
        onEngine([&] { manager.clearReferences(); });
        EXPECT_THAT(callNames(), ElementsAreArray(row.detach)) << row.adapter;
        EXPECT_THAT(calls().front(), HasSubstr(", 2) = 0"));
        EXPECT_EQ(manager.generation(), 3);
        EXPECT_TRUE(manager.isStale(3));
        EXPECT_FALSE(pm()->scanRequestTimerRunning() || pm()->scanDelayTimerRunning() ||
                     pm()->scanListTimerRunning());
        manager.clear();
        adapter.impl()->clearReferences();
        adapter.reset();
    }
}

TEST_F(PortManagerTest, GenerationRunsToOneHundredThenStartsAgain) {
    start();
    makeManager(1);
    onEngine([&] {
        for (int i = 1; i < PortManagerImpl::GENERATION_LIMIT; ++i) manager.authReset();
    });
    EXPECT_EQ(manager.generation(), 100);
    EXPECT_FALSE(manager.isStale(100));
    onEngine([&] { manager.authReset(); });
    EXPECT_EQ(manager.generation(), 1);
    EXPECT_TRUE(manager.isStale(100));
}

TEST_F(PortManagerTest, ScanTimersKeepTheSharedListFreshAndAssociateRescansOnlyWithinTheDelay) {
    start();
    makeManager(2);
    EXPECT_TRUE(scanList->entries().empty());
    advance(6);
    ASSERT_EQ(scanList->entries().size(), 2u);
    EXPECT_EQ(scanList->entries()[1].getSsid().text(), std::string("home"));
    // Each point's signal, and how far it stands above its noise (the lab's floor unless it says).
    EXPECT_EQ(scanList->entries()[0].getSignalStrengthInDbm(), -70);
    EXPECT_EQ(scanList->entries()[0].getSnr(), 25);
    EXPECT_EQ(scanList->entries()[1].getSignalStrengthInDbm(), -55);
    EXPECT_EQ(scanList->entries()[1].getSnr(), 35);
    EXPECT_FALSE(pm()->scanDelayTimerRunning());
    EXPECT_THAT(log(), HasSubstr("scan delay timer expired"));

    QX_ASSOCIATE record = {};
    std::memcpy(record.ssid, "cafe", 4);
    record.ssidLength = 4;
    record.mode = QX_ASSOC_OPEN;
    record.encryption = QX_ENCRYPTION_NONE;
    lab::clearCalls();
    onEngine([&] { manager.associate(record); });
    EXPECT_THAT(callNames(), ElementsAre("qxPortAssociate"));
    EXPECT_THAT(log(), HasSubstr("NOT sending scan request AFTER associate to driver"));

    // The scan request timer asks again after 63 seconds and opens a new scan delay.
    lab::clearCalls();
    advance(57);
    EXPECT_THAT(log(), HasSubstr("sending scan request to driver"));
    EXPECT_TRUE(pm()->scanDelayTimerRunning());
    lab::clearCalls();
    onEngine([&] { manager.associate(record); });
    EXPECT_THAT(callNames(), ElementsAre("qxPortAssociate", "qxPortSsidScan"));

    // The library losing the list empties the shared one and asks again 10 seconds later.
    base::failNext("qxGetPortSsidList", static_cast<std::uint32_t>(QX_ERR_FAILURE), 1);
    advance(10);
    EXPECT_TRUE(scanList->entries().empty());
    EXPECT_THAT(takeAssertions(), IsEmpty());
    advance(10);
    EXPECT_EQ(scanList->entries().size(), 2u);
}

std::vector<std::uint8_t> entryBytes(const char* ssid, std::uint32_t flags, std::uint32_t wpaBits,
                                     std::uint32_t rsnBits, std::uint32_t locationBits = 0) {
    QX_SSID_ENTRY entry = {};
    std::memcpy(entry.ssid, ssid, std::strlen(ssid));
    entry.ssidLength = static_cast<uint32_t>(std::strlen(ssid));
    entry.flags = flags;
    entry.wpa.bits = wpaBits;
    entry.rsn.bits = rsnBits;
    entry.locationBits = locationBits;
    entry.channel = 6;
    entry.signal = -50;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&entry);
    return std::vector<std::uint8_t>(bytes, bytes + sizeof entry);
}

TEST_F(PortManagerTest, ScanEntriesBecomeSsidsWithTheirModes) {
    constexpr std::uint32_t ESS = 0x4, PRIVACY = 0x1, WPA = 0x10, RSN = 0x20;
    constexpr std::uint32_t TKIP = 0x40, CCMP = 0x80, DOT1X = 0x800, PSK = 0x1000, QUILLAN = 0x2000;
    struct Row {
        const char* what;
        std::vector<std::uint8_t> entry;
        Modes modes;
    } rows[] = {
        {"open", entryBytes("a", ESS, 0, 0), {{1, 1}}},
        {"no flags at all", entryBytes("a", 0, 0, 0), {{1, 1}}},
        {"WEP", entryBytes("a", ESS | PRIVACY, 0, 0), {{0, 2}}},
        {"WPA", entryBytes("a", ESS | PRIVACY | WPA, PSK | TKIP, 0), {{5, 3}}},
        {"WPA2", entryBytes("a", ESS | PRIVACY | RSN, 0, PSK | CCMP), {{7, 4}}},
        {"enterprise",
         entryBytes("a", ESS | PRIVACY | WPA | RSN, DOT1X | TKIP, DOT1X | CCMP),
         {{6, 3}, {8, 4}}},
        {"own key management",
         entryBytes("a", ESS | PRIVACY | WPA | RSN, QUILLAN | TKIP, QUILLAN | CCMP),
         {{9, 3}, {9, 4}}},
        {"mixed",
         entryBytes("a", ESS | PRIVACY | WPA | RSN, PSK | TKIP, PSK | TKIP | CCMP),
         {{5, 3}, {7, 3}, {7, 4}}},
    };
    for (const Row& row : rows) {
        ElementVector list =
            PortManagerImpl::scanEntries(row.entry.data(), static_cast<int>(row.entry.size()));
        ASSERT_EQ(list.length(), 1) << row.what;
        EXPECT_EQ(modesOf(Ssid::fromElement(list.get(0))), row.modes) << row.what;
    }

    // Skipped entries and a trailing part entry are left out; the location word is carried.
    std::vector<std::uint8_t> bytes = entryBytes("first", ESS, 0, 0, 0x28);
    std::vector<std::uint8_t> skipped = entryBytes("skipped", ESS | 0x2, 0, 0);
    std::vector<std::uint8_t> second = entryBytes("second", ESS, 0, 0);
    bytes.insert(bytes.end(), skipped.begin(), skipped.end());
    bytes.insert(bytes.end(), second.begin(), second.end());
    bytes.insert(bytes.end(), second.begin(), second.begin() + 42);
    ElementVector list = PortManagerImpl::scanEntries(bytes.data(), static_cast<int>(bytes.size()));
    ASSERT_EQ(list.length(), 2);
    Ssid first = Ssid::fromElement(list.get(0));
    EXPECT_EQ(first.getSsid().text(), std::string("first"));
    EXPECT_EQ(first.getChannel(), 6);
    EXPECT_EQ(first.getLocationCapabilities(), LocationCapabilities::fromCapabilityWord(0x28));
    EXPECT_EQ(first.getLocationCapabilities().supported(), 1);
    EXPECT_EQ(Ssid::fromElement(list.get(1)).getSsid().text(), std::string("second"));
}

TEST_F(PortManagerTest, CaptureAlreadySetIsSwitchedOffOnceAndSetAgain) {
    start();
    makeManager(1);
    std::string other = root.path() + "/other.cap";
    ASSERT_EQ(qxLogSetPcapFile(LabBuilder::guid(1).c_str(), other.c_str(), 100000), QX_OK);
    lab::clearCalls();
    bool enabled = false;
    onEngine([&] { enabled = pm()->enablePacketCapture(); });
    EXPECT_TRUE(enabled);
    std::vector<std::string> lines = calls();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_THAT(lines[0], HasSubstr("Capture_" + LabBuilder::guid(1) + ".cap\", 1000000) = -19"));
    EXPECT_THAT(lines[1], HasSubstr("NULL, 0) = 0"));
    EXPECT_THAT(lines[2], HasSubstr(".cap\", 1000000) = 0"));
    std::ifstream file(root.path() + "/logs/Capture_" + LabBuilder::guid(1) + ".cap", std::ios::binary);
    EXPECT_TRUE(file.good());
    onEngine([&] { enabled = pm()->disablePacketCapture(); });
    EXPECT_TRUE(enabled);
    // A second switch-off finds nothing to switch off and still succeeds; a failed one says so.
    base::failNext("qxLogSetPcapFile", static_cast<std::uint32_t>(QX_ERR_FAILURE), 1);
    onEngine([&] { enabled = pm()->disablePacketCapture(); });
    EXPECT_FALSE(enabled);
    EXPECT_THAT(log(), HasSubstr("PortManagerImpl::disablePacketCapture:qxLogSetPcapFile ret = -1"));
}

TEST_F(PortManagerTest, CredentialAnswerResultsBecomeTheirLines) {
    start();
    makeManager(1);
    struct Row {
        int code;
        const char* line;
        bool reported;
    } rows[] = {
        {QX_ERR_CANCELED, ": Received QX_ERR_CANCELED from NVO", false},
        {QX_ERR_INV_SYNC, ": Received QX_ERR_INV_SYNC from NVO", false},
        {QX_ERR_FAILURE, "NvoException for function 'qxCredIdentity' => -1{error}", true},
    };
    for (const Row& row : rows) {
        // The stand-in's own answer to a request that is not open is "stale"; the others are told.
        // (An answer that goes through is shown by the conversations.)
        if (row.code != QX_ERR_INV_SYNC)
            base::failNext("qxCredIdentity", static_cast<std::uint32_t>(row.code), 1);
        onEngine([&] { pm()->sendIdentity(7, 0); });
        EXPECT_THAT(log(), HasSubstr(row.line)) << row.code;
        EXPECT_EQ(takeAssertions().size(), row.reported ? 1u : 0u) << row.code;
    }
}

}  // namespace
}  // namespace tamsel::test
