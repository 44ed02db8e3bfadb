#include <gtest/gtest.h>

#include "platform/qxauth/qxAuth.h"
#include "tests/vel/adapter/AdapterTestSupport.h"
#include "vel/adapter/AdapterAttributeLine.h"

namespace tamsel::test {
namespace {

TEST(AdapterAttributeLineTest, FlagsGiveTheMediaEncryptionAndAuthenticationTexts) {
    struct Row {
        unsigned flags;
        const char* media;
        const char* encryption;
        const char* authentication;
    } rows[] = {
        {QX_ATTR_8023, "802.3", "UNKNOWN", "UNKNOWN"},
        // 802.3 wins over the bands; the bands keep the order a, b, g, n whatever the bits.
        {QX_ATTR_8023 | QX_ATTR_80211G, "802.3", "UNKNOWN", "UNKNOWN"},
        {QX_ATTR_80211N | QX_ATTR_80211B | QX_ATTR_80211A | QX_ATTR_80211G, "802.11abgn", "UNKNOWN",
         "UNKNOWN"},
        {QX_ATTR_80211G | QX_ATTR_ENC_NONE | QX_ATTR_ENC_AES | QX_ATTR_ENC_WEP, "802.11g", "AES, WEP, NONE",
         "UNKNOWN"},
        {QX_ATTR_80211B | QX_ATTR_ENC_TKIP | QX_ATTR_AUTH_11I_QUILLAN | QX_ATTR_AUTH_OPEN |
             QX_ATTR_AUTH_WPA_PSK,
         "802.11b", "TKIP", "OPEN, WPA-PSK, 11i-Quillan"},
        {QX_ATTR_AUTH_SHARED | QX_ATTR_AUTH_WPA_1X | QX_ATTR_AUTH_WPA_QUILLAN | QX_ATTR_AUTH_11I_1X |
             QX_ATTR_AUTH_11I_PSK,
         " UNKNOWN", "UNKNOWN", "SHARED, WPA-1X, WPA-Quillan, 11i-1X, 11i-PSK"},
        // The location bit names nothing.
        {QX_ATTR_LOCATION, " UNKNOWN", "UNKNOWN", "UNKNOWN"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.flags);
        EXPECT_EQ(AdapterAttributeLine::mediaText(row.flags), row.media);
        EXPECT_EQ(AdapterAttributeLine::encryptionText(row.flags), row.encryption);
        EXPECT_EQ(AdapterAttributeLine::authenticationText(row.flags), row.authentication);
    }
}

class AdapterAttributeLineLogTest : public RuntimeTest {};

TEST_F(AdapterAttributeLineLogTest, TheLineCarriesTheMacAndMtu) {
    QX_PORT_ATTR record = {};
    const std::uint8_t mac[6] = {0x02, 0xab, 0x00, 0x10, 0xff, 0x09};
    std::copy(mac, mac + 6, record.macAddress);
    record.mtu = 1492;
    record.flags = QX_ATTR_80211A | QX_ATTR_ENC_AES | QX_ATTR_AUTH_11I_PSK;
    AdapterAttributeLine::log("{guid}", record);
    EXPECT_EQ(countOf(readText(root.log()),
                      "Symbolic name: ({guid}), MacAddr: (02ab00-10ff09), Mtu: (1492), Media: (802.11a), "
                      "Encryption: (AES), Auth: (11i-PSK)"),
              1);
}

}  // namespace
}  // namespace tamsel::test
