// Element decoding as the report prints it: each case is an element's bytes and the exact lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/report/InformationElements.h"

namespace {

using report::ReportOutput;

std::string Spaces(size_t n) {
    return std::string(n, ' ');
}

struct ElementCase {
    const char* name;
    std::vector<uint8_t> element;  // id, length, data
    std::string expected;
};

std::string Decode(const std::vector<uint8_t>& element) {
    ReportOutput out;
    report::DecodeElement(out, element[0], element[1], element.data() + 2);
    return out.text();
}

class ElementTable : public ::testing::TestWithParam<ElementCase> {};

TEST_P(ElementTable, PrintsExactLines) {
    EXPECT_EQ(Decode(GetParam().element), GetParam().expected);
}

const ElementCase ELEMENT_CASES[] = {
    {"Ssid",
     {0x00, 0x05, 'h', 'o', 'm', 'e', 0x07},
     "    ID: 0x00 Length: 5\n      SSID parameter set: home\\07\n"},
    {"Rates",
     {0x01, 0x08, 0x82, 0x84, 0x8b, 0x96, 0x0c, 0x12, 0x18, 0x24},
     "    ID: 0x01 Length: 8\n"
     "      Supported Rates (Mbps): 1.0(basic) 2.0(basic) 5.5(basic) 11.0(basic) 6.0 9.0 12.0 18.0\n"},
    {"RatesAllZero",
     {0x01, 0x02, 0x00, 0x00},
     "    ID: 0x01 Length: 2\n      Supported Rates (Mbps): none\n"},
    {"ExtendedRates",
     {0x32, 0x04, 0x30, 0x48, 0x60, 0x6c},
     "    ID: 0x32 Length: 4\n      Extended Rupported Rates (Mbps): 24.0 36.0 48.0 54.0\n"},
    {"Dsss", {0x03, 0x01, 0x06}, "    ID: 0x03 Length: 1\n      DSSS channel: 6\n"},
    {"DsssTooLong",
     {0x03, 0x02, 0x01, 0x02},
     "    ID: 0x03 Length: 2\n      DSSS channel, element length should be 1 byte.\n      01 02" +
         Spaces(45) + "..\n"},
    {"Tim",
     {0x05, 0x04, 0x00, 0x01, 0x00, 0x02},
     "    ID: 0x05 Length: 4\n      (TIM) Traffic Indication Map:\n        DTIM count  : 0 beacons\n"
     "        DTIM period : 1 beacons\n        Bitmap ID and bitmap:\n          00 02" +
         Spaces(45) + "..\n"},
    {"Country",
     {0x07, 0x06, 'U', 'S', ' ', 0x01, 0x0b, 0x1e},
     "    ID: 0x07 Length: 6\n      Country information:\n        Country string: <US >\n"
     "        Channel or regulatory information:\n          01 0b 1e" +
         Spaces(42) + "...\n"},
    {"QbssLoad",
     {0x0b, 0x05, 0x03, 0x00, 0x80, 0x12, 0x34},
     "    ID: 0x0b Length: 5\n      QBSS Load:\n        STA count         : 0x0003\n"
     "        Channel usage     : 50%\n        Admission capacity: 0x3412 (in 32ms/s)\n"},
    {"PowerConstraint", {0x20, 0x01, 0xfd}, "    ID: 0x20 Length: 1\n      Power constraint, -3dbm\n"},
    {"PowerConstraintTooLong",
     {0x20, 0x02, 0x03, 0x00},
     "    ID: 0x20 Length: 2\n      Power constraint, element length should be 1 byte.\n      03 00" +
         Spaces(45) + "..\n"},
    {"ErpUnderSecondId",
     {0x2f, 0x01, 0x03},
     "    ID: 0x2f Length: 1\n      ERP Information:\n        Value: 0x03\n          Non-ERP present: 1\n"
     "          Use protection : 1\n          Barker preamble: 0\n"},
    {"RsnTwoPairwise",
     {0x30, 0x18, 0x01, 0x00, 0x00, 0x0f, 0xac, 0x02, 0x02, 0x00, 0x00, 0x0f, 0xac,
      0x04, 0x00, 0x0f, 0xac, 0x02, 0x01, 0x00, 0x00, 0x0f, 0xac, 0x02, 0x0c, 0x00},
     "    ID: 0x30 Length: 24\n      RSN Information:\n        Version: 0x0001\n"
     "        Group cipher: 802.11i-TKIP\n        Pairwise cipher(s): 802.11i-CCMP/AES 802.11i-TKIP\n"
     "        Key management suite(s): 802.11i-PSK\n        RSN capabilities (0x000c):\n"
     "          Pre-auth   : 0\n          No pairwise: 0\n          PTKSA replay counter: 8\n"
     "          GTKSA replay counter: 1\n"},
    {"RsnCountPastElement",
     {0x30, 0x0c, 0x01, 0x00, 0x00, 0x0f, 0xac, 0x04, 0x03, 0x00, 0x00, 0x0f, 0xac, 0x04},
     "    ID: 0x30 Length: 12\n      RSN Information:\n        Version: 0x0001\n"
     "        Group cipher: 802.11i-CCMP/AES\n        Pairwise cipher(s): 802.11i-CCMP/AES\n"},
    {"RsnTooShort",
     {0x30, 0x01, 0x01},
     "    ID: 0x30 Length: 1\n      RSN Information:\n      Element length should be at least 2 bytes.\n"
     "      01" +
         Spaces(48) + ".\n"},
    {"Wpa",
     {0xdd, 0x16, 0x00, 0x50, 0xf2, 0x01, 0x01, 0x00, 0x00, 0x50, 0xf2, 0x02,
      0x01, 0x00, 0x00, 0x50, 0xf2, 0x02, 0x01, 0x00, 0x00, 0x50, 0xf2, 0x02},
     "    ID: 0xdd Length: 22\n      Vendor specific, WPA IE: \n        Version: 0x0001\n"
     "        Group cipher: WPA-TKIP\n        Pairwise cipher(s): WPA-TKIP\n"
     "        Key management suite(s): WPA-PSK\n"},
    {"WpaTooShort",
     {0xdd, 0x05, 0x00, 0x50, 0xf2, 0x01, 0x01},
     "    ID: 0xdd Length: 5\n      Vendor specific, WPA IE: \n"
     "        Element length should be at least 6 bytes.\n        00 50 f2 01 01" +
         Spaces(36) + ".P...\n"},
    {"WpsSsidList",
     {0xdd, 0x10, 0x00, 0x50, 0xf2, 0x05, 0x01, 0x01, 0x80, 0x14, 0x00, 0x80, 0x84, 0x04, 'c', 'o', 'r', 'p'},
     "    ID: 0xdd Length: 16\n      Vendor specific, Microsoft WPS IE:\n"
     "        Primary SSID ext.caps : 0x01\n        Secondary SSIDs listed: 1\n"
     "          WPS SSID: <corp> Caps(14 00 80 84) Ext.caps(0x80)\n"
     "            Group cipher           : AES/CCMP\n"
     "            Pairwise cipher(s)     : WPA-TKIP 802.11i-AES/CCMP\n"
     "            Key manegement suite(s): WPA-PSK 802.11i-PSK\n"},
    {"WpsEntryLongerThanElement",
     {0xdd, 0x0d, 0x00, 0x50, 0xf2, 0x05, 0x01, 0x02, 0x80, 0x14, 0x00, 0x80, 0x84, 0x09, 'c'},
     "    ID: 0xdd Length: 13\n      Vendor specific, Microsoft WPS IE:\n"
     "        Primary SSID ext.caps : 0x01\n        Secondary SSIDs listed: 2\n"},
    {"VarnelZornVersion",
     {0xdd, 0x05, 0x00, 0x40, 0x96, 0x03, 0x05},
     "    ID: 0xdd Length: 5\n      Vendor specific, Varnel Zorn Version:\n        Zorn version: 5\n"},
    {"UnknownOui",
     {0xdd, 0x04, 0x00, 0x0c, 0x0c, 0x01},
     "    ID: 0xdd Length: 4\n      Vendor specific, OUI(0x00,0x0c,0x0c):\n        00 0c 0c 01" + Spaces(39) +
         "....\n"},
    {"VendorTooShort",
     {0xdd, 0x02, 0x00, 0x50},
     "    ID: 0xdd Length: 2\n      Vendor specific, element should be at least 3 bytes long.\n      00 50" +
         Spaces(45) + ".P\n"},
    {"CellPowerLimit",
     {0x96, 0x06, 0x00, 0x40, 0x96, 0x00, 0x11, 0x00},
     "    ID: 0x96 Length: 6\n      Varnel-Cell Power Limit: 17dbm\n"},
    {"CellPowerLimitWrongOui",
     {0x96, 0x06, 0x00, 0x50, 0xf2, 0x00, 0x11, 0x00},
     "    ID: 0x96 Length: 6\n      Varnel-Cell Power Limit, first bytes should be Varnel OUI followed by "
     "0x00.\n"
     "      00 50 f2 00 11 00" +
         Spaces(33) + ".P....\n"},
    {"HtCapabilityTwoDumpLines",
     {0x2d, 0x12, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P', 'Q', 'R'},
     "    ID: 0x2d Length: 18\n      801.11n High Throughput Cpability:\n"
     "        41 42 43 44 45 46 47 48 49 4a 4b 4c 4d 4e 4f 50   ABCDEFGHIJKLMNOP\n"
     "        51 52" +
         Spaces(45) + "QR\n"},
    {"UnknownIdAsHex",
     {0x99, 0x03, 'A', 'B', 'C'},
     "    ID: 0x99 Length: 3\n      41 42 43" + Spaces(42) + "ABC\n"},
    {"Skyrill",
     {0x85, 0x1e, 0x20, 0x01, 0x01, 0, 0, 0, 0, 0, 0x05, 0, 'l',  'o',  'b',  'b',
      'y',  0,    0,    0,    0,    0, 0, 0, 0, 0, 0,    0, 0x0c, 0x00, 0x06, 0x00},
     "    ID: 0x85 Length: 30\n      Varnel-Skyrill IE:\n        AP load: 32%\n"
     "        Hops to infrastructure: 1\n        Device type           : Access point\n"
     "        Flags                 : 0x05\n        AP name               : <lobby>\n"
     "        Number of associations: 12\n        Radio type            : 802.11b/g 2.4GHz\n"},
};

INSTANTIATE_TEST_SUITE_P(Decoders, ElementTable, ::testing::ValuesIn(ELEMENT_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

// A rates element names only its own bytes, even with more nonzero bytes right behind it.
TEST(RatesElement, ListsNoMoreThanItsLength) {
    const uint8_t bytes[] = {0x01, 0x02, 0x02, 0x04, 0x30, 0x14, 0x01, 0x00, 0x00, 0x0f, 0xac, 0x04};
    ReportOutput out;
    report::DecodeElement(out, bytes[0], bytes[1], bytes + 2);
    EXPECT_EQ(out.text(), "    ID: 0x01 Length: 2\n      Supported Rates (Mbps): 1.0 2.0\n");
}

TEST(DispatchTable, FirstRowWinsAndBothErpIdsShareADecoder) {
    EXPECT_EQ(report::FindElementDecoder(0x2A), report::FindElementDecoder(0x2F));
    EXPECT_NE(report::FindElementDecoder(0xAD), nullptr);
    EXPECT_EQ(report::FindElementDecoder(0x02), nullptr);
}

struct SuiteCase {
    std::vector<uint8_t> suite;
    const char* cipher;
    const char* keyManagement;
};

TEST(SuiteNames, ByOuiAndType) {
    const SuiteCase cases[] = {
        {{0x00, 0x0f, 0xac, 0x00}, "802.11i-Unknown/GroupCipher", "802.11i-Reserved(0)"},
        {{0x00, 0x0f, 0xac, 0x05}, "802.11i-WEP104", "802.11i-Reserved(5)"},
        {{0x00, 0x0f, 0xac, 0x03}, "802.11i-Reserved(3)", "802.11i-Reserved(3)"},
        {{0x00, 0x50, 0xf2, 0x00}, "WPA-None", "WPA-Reserved(0)"},
        {{0x00, 0x50, 0xf2, 0x01}, "WPA-WEP40", "WPA-802.1x"},
        {{0x00, 0x40, 0x96, 0x00}, "Varnel-ZKIP", "Varnel-Quillan"},
        {{0x00, 0x40, 0x96, 0x02}, "Varnel-WEP104+MMH", "Varnel-Unknown(2)"},
        {{0x00, 0x40, 0x96, 0x07}, "Varnel-Unknown(7)", "Varnel-Unknown(7)"},
        {{0x01, 0x0f, 0xac, 0x02}, "OUI(0x01,0x0f,0xac)-0x02", "OUI(0x01,0x0f,0xac)-0x02"},
        {{0x00, 0x11, 0x22, 0x33}, "OUI(0x00,0x11,0x22)-0x33", "OUI(0x00,0x11,0x22)-0x33"},
    };
    for (const auto& c : cases) {
        ReportOutput cipher, keys;
        report::PrintCipherSuite(cipher, c.suite.data());
        report::PrintKeyManagementSuite(keys, c.suite.data());
        EXPECT_EQ(cipher.text(), c.cipher);
        EXPECT_EQ(keys.text(), c.keyManagement);
    }
}

}  // namespace
