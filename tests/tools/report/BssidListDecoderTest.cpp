// Whole BSSID lists: the fixed fields of each entry, the fixed elements, the element walk, and
// lists that claim more bytes than they hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tests/tools/report/BssidTestLists.h"
#include "tools/report/BssidListDecoder.h"

namespace {

using bssidtest::Bytes;
using bssidtest::Entry;
using bssidtest::List;
using bssidtest::Put32;
using report::BssidListException;
using report::ReportOutput;

std::string Print(const Bytes& list) {
    ReportOutput out;
    report::PrintBssidList(out, list.data(), list.size());
    return out.text();
}

const std::string CAPABILITIES_0421 =
    "      .... .... .... ...1 : Transmitter is an AP\n"
    "      .... .... .... ..0. : Transmitter is in BSS\n"
    "      .... ..0. .... 00.. : No point coordinator at AP\n"
    "      .... .... ...0 .... : WEP is not supported\n"
    "      .... .... ..1. .... : Short preamble is allowed\n"
    "      .... .... .0.. .... : PBCC modulation is not allowed\n"
    "      .... .... 0... .... : Channel Agility not in use\n"
    "      .... ...0 .... .... : The dot11SpectrumManagementRequired is FALSE\n"
    "      .... .1.. .... .... : The short slot time is in use\n"
    "      .... 0... .... .... : Automatic Power Save Delivery (APSD) not supported\n"
    "      ..0. .... .... .... : DSSS-OFDM modulation is not alowed\n"
    "      .0.. .... .... .... : Delayed block ACK is not supported\n"
    "      0... .... .... .... : Immediate block ACK is not supported\n";

TEST(BssidList, PrintsEveryFieldOfAnEntry) {
    Bytes elements = {0x00, 0x04, 'c', 'o', 'r', 'p', 0x03, 0x01, 0x06};
    std::string expected =
        "\n"
        "  SSID (len 04): corp\n"
        "  BSSID        : 00:1a:2b:3c:4d:5e\n"
        "  Privacy      : Enabled\n"
        "  Rssi         : -55\n"
        "  Network type : 802.11g(b)\n"
        "  Parameters   :\n"
        "    Beacon interval: 102msec\n"
        "    ATIM window    : 0msec\n"
        "    Frequency      : 2437Mhz\n"
        "  Network mode : infrastructure\n"
        "  Rates (Mbps) : 1.0 2.0 5.5 11.0 6.0 9.0\n"
        "  Fixed length IEs :\n"
        "    Timestamp      : 0x0807060504030201\n"
        "    Beacon interval: 102msec\n"
        "    Capabilities   : 0x0421\n" +
        CAPABILITIES_0421 +
        "  Variable length IEs:\n"
        "    ID: 0x00 Length: 4\n"
        "      SSID parameter set: corp\n"
        "    ID: 0x03 Length: 1\n"
        "      DSSS channel: 6\n"
        "\n";
    EXPECT_EQ(Print(List({Entry("corp", elements)})), expected);
}

TEST(BssidList, ZeroSsidIsSkippedAndShortEntryEndsTheList) {
    Bytes hidden = Entry(std::string("\0\0", 2));
    Bytes corrupt = Entry("next");
    Put32(corrupt, 0, 100);
    Bytes never = Entry("never");
    std::string text = Print(List({hidden, corrupt, never}));
    EXPECT_EQ(text,
              "\n"
              "  SSID (len 02): \\00\\00 -> zero SSID, will skip\n"
              "  BSSID        : 00:1a:2b:3c:4d:5e\n"
              "\n"
              "  Corrupted NDIS_WLAN_BSSID entry, length 100.\n");
}

TEST(BssidList, ElementWalkStopsAtAnEmptyOrOverlongElement) {
    struct Case {
        const char* name;
        Bytes elements;
        std::string walked;
    } cases[] = {
        {"empty element",
         {0x03, 0x01, 0x06, 0x00, 0x00, 0x03, 0x01, 0x07},
         "    ID: 0x03 Length: 1\n      DSSS channel: 6\n"},
        {"longer than the rest",
         {0x03, 0x01, 0x06, 0x01, 0x09, 0x02, 0x04},
         "    ID: 0x03 Length: 1\n      DSSS channel: 6\n"},
    };
    for (const auto& c : cases) {
        std::string text = Print(List({Entry("corp", c.elements)}));
        size_t walk = text.find("  Variable length IEs:\n");
        ASSERT_NE(walk, std::string::npos) << c.name;
        EXPECT_EQ(text.substr(walk), "  Variable length IEs:\n" + c.walked + "\n") << c.name;
    }
}

TEST(BssidList, FewElementBytesPrintOnlyTheFixedPart) {
    std::string text = Print(List({Entry("corp", {0x03, 0x01, 0x06})}));
    EXPECT_NE(text.find("    Capabilities   : 0x0421\n"), std::string::npos);
    EXPECT_EQ(text.find("Variable length IEs"), std::string::npos);
}

TEST(Capabilities, PointCoordinatorByBitsNineThreeAndTwo) {
    const struct {
        uint16_t capabilities;
        const char* line;
    } cases[] = {
        {0x0001, "      .... ..0. .... 00.. : No point coordinator at AP\n"},
        {0x0005, "      .... ..0. .... 01.. : Point coordinator at AP for delivery and polling\n"},
        {0x0009, "      .... ..0. .... 10.. : Point coordinator at AP for delivery only (no polling)\n"},
        {0x000D, "      .... ..0. .... 11.. : Reserved\n"},
        {0x0201,
         "      .... ..1. .... 00.. : QAP (HC) does not use CFP for delivery of unicast data frames\n"},
        {0x0205,
         "      .... ..1. .... 01.. : QAP (HC) uses CFP for delivery, but does not send CF-Polls to non-QoS "
         "STAs\n"},
        {0x0209,
         "      .... ..1. .... 10.. : QAP (HC) uses CFP for delivery, and sends CF-Polls to non-QoS STAs\n"},
        {0x020C, "      .... ..1. .... 11.. : Used for APs only in beacons and probe responses.\n"},
    };
    for (const auto& c : cases) {
        ReportOutput out;
        report::PrintCapabilities(out, c.capabilities);
        std::string text = out.text();
        size_t second = text.find('\n', text.find('\n') + 1);
        size_t third = text.find('\n', second + 1);
        EXPECT_EQ(text.substr(second + 1, third - second), c.line) << std::hex << c.capabilities;
    }
}

TEST(Capabilities, EveryBitSet) {
    ReportOutput out;
    report::PrintCapabilities(out, 0xFFFF);
    EXPECT_EQ(out.text(),
              "      .... .... .... ...1 : Transmitter is an AP\n"
              "      .... .... .... ..1. : Transmitter is in IBSS\n"
              "      .... ..1. .... 11.. : Reserved\n"
              "      .... .... ...1 .... : WEP is supported\n"
              "      .... .... ..1. .... : Short preamble is allowed\n"
              "      .... .... .1.. .... : PBCC modulation is allowed\n"
              "      .... .... 1... .... : Channel Agility in use\n"
              "      .... ...1 .... .... : The dot11SpectrumManagementRequired is TRUE\n"
              "      .... .1.. .... .... : The short slot time is in use\n"
              "      .... 1... .... .... : Automatic Power Save Delivery (APSD) supported\n"
              "      ..1. .... .... .... : DSSS-OFDM modulation is allowed\n"
              "      .1.. .... .... .... : Delayed block ACK is supported\n"
              "      1... .... .... .... : Immediate block ACK is supported\n");
}

// Lists whose lengths point past the bytes received end in the exception, never in a read past them.
TEST(BssidList, LengthsPastTheBytesReceivedThrow) {
    Bytes good = Entry("corp", {0x03, 0x01, 0x06});
    Bytes entryTooLong = good;
    Put32(entryTooLong, 0, uint32_t(good.size() + 64));
    Bytes ssidTooLong = good;
    Put32(ssidTooLong, 12, 33);
    Bytes elementsPastEntry = good;
    Put32(elementsPastEntry, 112, 200);
    const struct {
        const char* name;
        Bytes list;
    } cases[] = {
        {"entry length", List({entryTooLong})},
        {"SSID length", List({ssidTooLong})},
        {"element length", List({elementsPastEntry})},
        {"item count", List({good}, 2)},
        {"no count", Bytes{1, 0}},
    };
    for (const auto& c : cases) {
        ReportOutput out;
        EXPECT_THROW(report::PrintBssidList(out, c.list.data(), c.list.size()), BssidListException) << c.name;
    }
}

}  // namespace
