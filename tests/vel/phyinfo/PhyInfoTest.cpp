#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/vel/port/PortTestSupport.h"
#include "tests/vel/port/RecordingNvoPort.h"
#include "vel/credmgr/Credential.h"
#include "vel/credmgr/CredentialProxy.h"
#include "vel/phyinfo/PhyInfo.h"

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

namespace tamsel::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

template <typename Record>
Bytes bytesOf(const Record& record) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&record);
    return Bytes(p, p + sizeof record);
}

// A port that keeps every record handed to it, byte for byte.
class CapturingPortImpl : public RecordingNvoPortImpl {
public:
    std::int32_t associate(const QX_ASSOCIATE& record) override {
        associations.push_back(bytesOf(record));
        return RecordingNvoPortImpl::associate(record);
    }
    std::int32_t adhoc(const QX_ADHOC& record) override {
        adhocs.push_back(bytesOf(record));
        return RecordingNvoPortImpl::adhoc(record);
    }
    std::vector<Bytes> associations;
    std::vector<Bytes> adhocs;
};

// The record a row expects, written at the offsets the library reads.
struct Expected {
    explicit Expected(std::size_t size) : bytes(size, 0) {}
    Expected& word(std::size_t offset, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
        return *this;
    }
    Expected& text(std::size_t offset, const std::string& s) {
        std::memcpy(bytes.data() + offset, s.data(), s.size());
        return *this;
    }
    Bytes bytes;
};

Expected association(const std::string& ssid, std::uint32_t mode, std::uint32_t encryption) {
    Expected e(140);
    e.text(0, ssid).word(32, static_cast<std::uint32_t>(ssid.size())).word(36, mode).word(40, encryption);
    return e;
}

Expected withWep(Expected e, const std::string& key) {
    return e.word(44, static_cast<std::uint32_t>(key.size())).text(48, key).word(64, 1);
}

Expected adhocRecord(const std::string& ssid, std::uint32_t mode, std::uint32_t encryption) {
    Expected e(144);
    e.text(0, ssid).word(32, static_cast<std::uint32_t>(ssid.size())).word(40, mode).word(44, encryption);
    return e;
}

CredentialProxy keyOf(const char* text, const char* ssid = "net") {
    if (text == nullptr) return CredentialProxy();
    return CredentialProxy(Credential::newAsciiPsk(Ascii(text), ByteArray(ssid)));
}

QX_PORT_ATTR portWithFlags(std::uint32_t flags) {
    QX_PORT_ATTR attributes = {};
    attributes.flags = flags;
    return attributes;
}

class PhyInfoTest : public PortTest {
protected:
    void SetUp() override {
        PortTest::SetUp();
        LabBuilder builder;
        builder.wirelessAdapter(2, "wlan0");
        startLab(builder);
        port = new CapturingPortImpl;
        port->addRef();
        makeManager(2, false, port);
    }
    void TearDown() override {
        port->release();
        PortTest::TearDown();
    }
    // Starts the connection on the engine's thread; gives the log lines it wrote.
    std::string start(const PhyInfo& phyInfo, std::uint32_t flags = QX_ATTR_80211G) {
        const std::size_t before = log().size();
        onEngine([&] { phyInfo.startConnection(manager, portWithFlags(flags)); });
        return log().substr(before);
    }

    CapturingPortImpl* port = nullptr;
};

TEST_F(PhyInfoTest, AssociationRecordCarriesTheLibraryModeAndOnlyAValidWepKey) {
    struct Row {
        const char* ssid;
        std::int32_t association, encryption;
        const char* key;
        Expected record;
        const char* line;  // an error line the row must write, or null for none
    } rows[] = {
        {"home", 7, 4, "correct horse battery", association("home", 21, 4), nullptr},
        {"home", 5, 3, "correct horse battery", association("home", 11, 3), nullptr},
        {"corp", 6, 3, nullptr, association("corp", 10, 3), nullptr},
        {"corp", 8, 4, nullptr, association("corp", 20, 4), nullptr},
        {"qcorp", 9, 3, nullptr, association("qcorp", 12, 3), nullptr},
        {"qcorp", 9, 4, nullptr, association("qcorp", 22, 4), nullptr},
        {"qcorp", 9, 2, nullptr, association("qcorp", 0, 2), nullptr},
        {"cafe", 1, 2, "abcde", withWep(association("cafe", 2, 2), "abcde"), nullptr},
        {"cafe", 1, 2, "abcdefghijklm", withWep(association("cafe", 2, 2), "abcdefghijklm"), nullptr},
        {"shop", 2, 2, "abcdefghijklm", withWep(association("shop", 1, 2), "abcdefghijklm"), nullptr},
        {"cafe", 1, 2, "abcdefghij", association("cafe", 2, 2),
         "Invalid wep key length: 10, should be 5 or 13"},
        // Without WEP the key stays at home.
        {"cafe", 1, 1, "abcde", association("cafe", 2, 1), nullptr},
        {"cafe", 1, 1, nullptr, association("cafe", 2, 1), nullptr},
        // An SSID longer than the record's field is cut to it.
        {"0123456789abcdef0123456789abcdefXYZ", 1, 1, nullptr,
         association("0123456789abcdef0123456789abcdef", 2, 1), nullptr},
    };
    for (const Row& row : rows) {
        port->associations.clear();
        PhyInfo phyInfo =
            PhyInfo::createWireless(Ascii(row.ssid), row.association, row.encryption, keyOf(row.key));
        std::string lines = start(phyInfo);
        SCOPED_TRACE(std::string(row.ssid) + " " + std::to_string(row.association) + "/" +
                     std::to_string(row.encryption));
        ASSERT_EQ(port->associations.size(), 1u);
        EXPECT_EQ(port->associations[0], row.record.bytes);
        EXPECT_THAT(port->adhocs, IsEmpty());
        EXPECT_THAT(lines, HasSubstr(std::string("Starting wifi connection, trying ssid ") + row.ssid));
        if (row.line != nullptr) {
            EXPECT_THAT(lines, HasSubstr(row.line));
        } else {
            EXPECT_THAT(lines, Not(HasSubstr("Invalid wep key length")));
        }
    }
}

TEST_F(PhyInfoTest, ModeTextNamesThePairOrFallsBackToItsNumbers) {
    PhyInfo known = PhyInfo::createWireless(Ascii("home"), 7, 4, keyOf("correct horse battery"));
    EXPECT_THAT(start(known), HasSubstr("Connection Association Started(wpa2PersonalAes)"));
    PhyInfo unknown = PhyInfo::createWireless(Ascii("cell"), 4, 2, keyOf("abcde"));
    std::string lines = start(unknown);
    EXPECT_THAT(lines, HasSubstr("Connection Association Started(association mode 4 and encryption 2)"));
    EXPECT_EQ(port->adhocs.size(), 1u);
}

TEST_F(PhyInfoTest, AdhocRecordSendsAValidKeyWhateverTheEncryption) {
    struct Row {
        std::int32_t association, encryption;
        const char* key;
        Expected record;
    } rows[] = {
        {3, 1, "abcdefghijklm", adhocRecord("cell", 2, 1).word(48, 13).text(52, "abcdefghijklm").word(68, 1)},
        {4, 2, "abcde", adhocRecord("cell", 1, 2).word(48, 5).text(52, "abcde").word(68, 1)},
        {4, 2, "abcdefg", adhocRecord("cell", 1, 2)},
        {3, 1, nullptr, adhocRecord("cell", 2, 1)},
    };
    for (const Row& row : rows) {
        port->adhocs.clear();
        PhyInfo phyInfo =
            PhyInfo::createWireless(Ascii("cell"), row.association, row.encryption, keyOf(row.key));
        std::string lines = start(phyInfo);
        SCOPED_TRACE(std::to_string(row.association) + " " + (row.key ? row.key : "no key"));
        ASSERT_EQ(port->adhocs.size(), 1u);
        EXPECT_EQ(port->adhocs[0], row.record.bytes);
        EXPECT_THAT(port->associations, IsEmpty());
        EXPECT_THAT(lines, HasSubstr("Starting wifi ad-hoc connection, trying ssid cell"));
        EXPECT_THAT(lines, Not(HasSubstr("Invalid wep key length")));
    }
}

TEST_F(PhyInfoTest, PortCapabilitiesDecideWhetherAnythingHappens) {
    PhyInfo wireless = PhyInfo::createWireless(Ascii("cafe"), 1, 1, CredentialProxy());
    PhyInfo wired = PhyInfo::createWired();
    EXPECT_EQ(start(wireless, QX_ATTR_8023 | QX_ATTR_ENC_WEP | QX_ATTR_LOCATION), "");
    EXPECT_THAT(port->associations, IsEmpty());
    EXPECT_EQ(start(wired, QX_ATTR_80211B), "");
    EXPECT_THAT(start(wired, QX_ATTR_8023), HasSubstr("Starting wired connection, skipping association"));
    for (std::uint32_t band : {QX_ATTR_80211A, QX_ATTR_80211B, QX_ATTR_80211G, QX_ATTR_80211N})
        start(wireless, band);
    EXPECT_EQ(port->associations.size(), 4u);
    EXPECT_THAT(port->calls, ElementsAre("associate", "associate", "associate", "associate"));
}

TEST_F(PhyInfoTest, PskHandleIsTheKeysLibraryHandle) {
    PhyInfo personal = PhyInfo::createWireless(Ascii("home"), 7, 4, keyOf("correct horse battery", "home"));
    PhyInfo enterprise = PhyInfo::createWireless(Ascii("corp"), 8, 4, keyOf("correct horse battery", "corp"));
    PhyInfo open = PhyInfo::createWireless(Ascii("cafe"), 1, 1, CredentialProxy());
    EXPECT_NE(personal.pskHandle(), 0u);
    EXPECT_EQ(personal.pskHandle(), personal.pskHandle());
    // Enterprise networks take no key from the configuration.
    EXPECT_EQ(enterprise.pskHandle(), 0u);
    EXPECT_EQ(open.pskHandle(), 0u);
    EXPECT_EQ(PhyInfo::createWired().pskHandle(), 0u);
}

TEST_F(PhyInfoTest, BrokenSettingsAssertAtCreation) {
    struct Row {
        std::int32_t association, encryption;
        bool key;
        const char* assertion;
    } rows[] = {
        {0, 1, false, "associationMode != AdapterConstants::ASSOCIATION_MODE_NONE"},
        {7, 4, false, "key.exists()"},
        {2, 2, false, "key.exists()"},
        {1, 5, false, "false"},
        {1, 0, false, "false"},
    };
    for (const Row& row : rows) {
        PhyInfo phyInfo = PhyInfo::createWireless(Ascii("x"), row.association, row.encryption,
                                                  row.key ? keyOf("abcde") : CredentialProxy());
        std::vector<std::string> assertions = takeAssertions();
        ASSERT_EQ(assertions.size(), 1u) << row.assertion;
        EXPECT_THAT(assertions[0], HasSubstr(row.assertion));
    }
    // An encryption out of range is taken as none.
    port->associations.clear();
    start(PhyInfo::createWireless(Ascii("x"), 1, 7, CredentialProxy()));
    takeAssertions();
    ASSERT_EQ(port->associations.size(), 1u);
    EXPECT_EQ(port->associations[0], association("x", 2, 1).bytes);
}

TEST_F(PhyInfoTest, EmptyHandleAssertsAndDoesNothing) {
    PhyInfo empty;
    EXPECT_EQ(empty.pskHandle(), 0u);
    start(empty);
    std::vector<std::string> assertions = takeAssertions();
    ASSERT_EQ(assertions.size(), 2u);
    EXPECT_THAT(port->calls, IsEmpty());
}

// The real port manager on the stand-in: what the library receives, and whose key lets it in.
class PhyInfoOnLabTest : public PortTest {
protected:
    void SetUp() override {
        PortTest::SetUp();
        LabBuilder builder;
        builder.wirelessAdapter(2, "wlan0");
        builder.add("accessPoint", {{"ssid", "home"},
                                    {"bssid", "02:aa:00:00:00:02"},
                                    {"security", "wpa2PersonalAes"},
                                    {"passphrase", "correct horse battery"}});
        builder.add("accessPoint", {{"ssid", "cafe"},
                                    {"bssid", "02:aa:00:00:00:03"},
                                    {"security", "openStaticWep"},
                                    {"wepKey", "6162636465"}});
        startLab(builder);
        makeManager(2);
        settle();
    }
    // The association call the library received and what the port listener heard after it.
    std::pair<std::string, std::vector<std::string>> connect(const PhyInfo& phyInfo) {
        lab::clearCalls();
        listener->lines.clear();
        QX_PORT_ATTR attributes = {};
        EXPECT_EQ(qxGetPortAttr(LabBuilder::guid(2).c_str(), &attributes), QX_OK);
        onEngine([&] { phyInfo.startConnection(manager, attributes); });
        settle();
        std::string associate;
        for (const std::string& call : calls())
            if (call.rfind("qxPortAssociate", 0) == 0) associate = call;
        std::vector<std::string> links;
        for (const std::string& line : listener->lines)
            if (line.rfind("up", 0) == 0 || line == "down")
                links.push_back(line.substr(0, 2) == "up" ? "up" : "down");
        return {associate, links};
    }
};

TEST_F(PhyInfoOnLabTest, LibraryReceivesTheRecordAndOnlyTheRightWepKeyLinksUp) {
    struct Row {
        const char* ssid;
        std::int32_t association, encryption;
        const char* key;
        std::string call;
        const char* link;
    } rows[] = {
        {"home", 7, 4, "correct horse battery", "qxPortAssociate(" + portName(2) + ", \"home\", 21, 4) = 0",
         "up"},
        {"cafe", 1, 2, "abcde", "qxPortAssociate(" + portName(2) + ", \"cafe\", 2, 2) = 0", "up"},
        {"cafe", 1, 2, "abcdX", "qxPortAssociate(" + portName(2) + ", \"cafe\", 2, 2) = 0", "down"},
    };
    for (const Row& row : rows) {
        auto [call, links] = connect(PhyInfo::createWireless(Ascii(row.ssid), row.association, row.encryption,
                                                             keyOf(row.key, row.ssid)));
        EXPECT_EQ(call, row.call);
        EXPECT_THAT(links, Contains(row.link)) << row.ssid << " " << row.key;
        if (std::string(row.link) == "down") {
            EXPECT_THAT(links, Not(Contains("up"))) << row.key;
        }
    }
}

}  // namespace
}  // namespace tamsel::test
