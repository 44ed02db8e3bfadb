#include <gtest/gtest.h>

#include <QSignalSpy>

#include "gui/client/AdminPolicy.h"
#include "tests/gui/client/TestSupport.h"

namespace {

QByteArray policyMessage(const QByteArray& allowedMedia, const QByteArray& eapMethods = QByteArray(),
                         const QByteArray& flags = QByteArray()) {
    return serviceMessage("getAdministratorPolicyResponse",
                          "<sequenceNumber>8</sequenceNumber>\n<administratorPolicy>\n<networkPolicy>\n" +
                              eapMethods + "\n</networkPolicy>\n<userControlPolicy>\n" + allowedMedia + "\n" +
                              flags + "\n</userControlPolicy>\n</administratorPolicy>");
}

QByteArray mediaArray(const QList<QByteArray>& media) {
    QByteArray xml = "<allowedMedia type=\"array\">\n";
    for (const QByteArray& m : media) xml += "<mediaType>" + m + "</mediaType>\n";
    return xml + "</allowedMedia>";
}

const char* const INVALID_MEDIA_LINE =
    "Invalid Media Type array, setting to wired/wireless client by default.";

TEST(AdminPolicy, AllowedMediaDecidesTheNoWirelessSignal) {
    struct Case {
        const char* label;
        QByteArray media;
        QList<QVariant> emitted;  // empty: no NoWireless signal at all
        bool logged;
    };
    const Case cases[] = {
        {"wired only", mediaArray({"wired"}), {true}, false},
        {"wifi only", mediaArray({"wifi"}), {false}, false},
        {"wired and wifi", mediaArray({"wired", "wifi"}), {false}, false},
        {"two wired", mediaArray({"wired", "wired"}), {false}, false},
        {"case matters", mediaArray({"WiFi"}), {true}, false},
        {"empty array", mediaArray({}), {false}, true},
        {"not an array", "<allowedMedia>\n<mediaType>wired</mediaType>\n</allowedMedia>", {}, false},
        {"missing", "", {}, false},
    };
    for (const Case& c : cases) {
        AdminPolicy policy;
        QSignalSpy noWireless(&policy, &AdminPolicy::NoWireless);
        ClientLogCapture log;
        ASSERT_TRUE(policy.parse(policyMessage(c.media))) << c.label;
        if (c.emitted.isEmpty()) {
            EXPECT_EQ(noWireless.count(), 0) << c.label;
        } else {
            ASSERT_EQ(noWireless.count(), 1) << c.label;
            EXPECT_EQ(noWireless.first(), c.emitted) << c.label;
            EXPECT_EQ(policy.noWireless(), c.emitted.first().toBool()) << c.label;
        }
        EXPECT_EQ(log.lines().contains(INVALID_MEDIA_LINE), c.logged) << c.label;
    }
}

TEST(AdminPolicy, NoWirelessFlagFollowsEachNewPolicy) {
    AdminPolicy policy;
    ASSERT_TRUE(policy.parse(policyMessage(mediaArray({"wired"}))));
    ASSERT_TRUE(policy.noWireless());
    ASSERT_TRUE(policy.parse(policyMessage(mediaArray({"wired", "wifi"}))));
    EXPECT_FALSE(policy.noWireless());
}

TEST(AdminPolicy, ReadsEapMethodsFromTheNetworkPolicyInOrder) {
    AdminPolicy policy;
    ASSERT_TRUE(policy.parse(policyMessage(
        mediaArray({"wifi"}),
        "<allowedEapMethods type=\"array\">\n<eapMethod>eapTls</eapMethod>\n"
        "<eapMethod>eapPeap</eapMethod>\n<eapMethod>eapTtls</eapMethod>\n</allowedEapMethods>")));
    EXPECT_EQ(policy.sequenceNumber(), "8");
    EXPECT_EQ(policy.allowedEapMethods(), QStringList({"eapTls", "eapPeap", "eapTtls"}));

    // A later policy replaces the list; one without the array keeps it.
    ASSERT_TRUE(policy.parse(policyMessage(
        mediaArray({"wifi"}),
        "<allowedEapMethods type=\"array\">\n<eapMethod>eapFast</eapMethod>\n</allowedEapMethods>")));
    EXPECT_EQ(policy.allowedEapMethods(), QStringList({"eapFast"}));
    ASSERT_TRUE(policy.parse(policyMessage(mediaArray({"wifi"}))));
    EXPECT_EQ(policy.allowedEapMethods(), QStringList({"eapFast"}));
}

TEST(AdminPolicy, EmitsVpnAndScriptPermissionsMissingOnesAsFalse) {
    const std::tuple<QByteArray, bool, bool> cases[] = {
        {"<vpnEnabled>true</vpnEnabled>\n<allowUserToRunScript>false</allowUserToRunScript>", true, false},
        {"<vpnEnabled>false</vpnEnabled>\n<allowUserToRunScript>true</allowUserToRunScript>", false, true},
        {"", false, false},
    };
    for (const auto& [flags, vpn, script] : cases) {
        AdminPolicy policy;
        QSignalSpy vpnSpy(&policy, &AdminPolicy::VpnEnabledSignal);
        QSignalSpy scriptSpy(&policy, &AdminPolicy::RunScriptEnabledSignal);
        ASSERT_TRUE(policy.parse(policyMessage(mediaArray({"wifi"}), QByteArray(), flags)));
        ASSERT_EQ(vpnSpy.count(), 1);
        ASSERT_EQ(scriptSpy.count(), 1);
        EXPECT_EQ(vpnSpy.first().first().toBool(), vpn) << flags.constData();
        EXPECT_EQ(scriptSpy.first().first().toBool(), script) << flags.constData();
    }
}

TEST(AdminPolicy, UnreadableReplyChangesAndEmitsNothing) {
    AdminPolicy policy;
    ASSERT_TRUE(policy.parse(policyMessage(
        mediaArray({"wired"}),
        "<allowedEapMethods type=\"array\">\n<eapMethod>eapTls</eapMethod>\n</allowedEapMethods>")));
    QSignalSpy noWireless(&policy, &AdminPolicy::NoWireless);
    QSignalSpy vpnSpy(&policy, &AdminPolicy::VpnEnabledSignal);
    QByteArray broken = policyMessage(mediaArray({"wifi"}));
    broken.chop(20);
    EXPECT_FALSE(policy.parse(broken));
    EXPECT_EQ(noWireless.count() + vpnSpy.count(), 0);
    EXPECT_TRUE(policy.noWireless());
    EXPECT_EQ(policy.allowedEapMethods(), QStringList({"eapTls"}));
    EXPECT_EQ(policy.sequenceNumber(), "8");
}

}  // namespace
