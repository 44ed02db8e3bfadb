#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>

#include "gui/orvik/HelpWidget.h"
#include "gui/orvik/QtHelp.h"
#include "gui/windows/NetworkStatus.h"
#include "gui/windows/NetworkStatusForm.h"
#include "tests/gui/support/Screenshot.h"
#include "tests/gui/windows/ScanFixture.h"

namespace tamsel::test {
namespace {

QString label(const NetworkStatus& window, const char* name) {
    const auto* found = window.findChild<QLabel*>(name);
    return found != nullptr ? found->text() : QStringLiteral("<no %1>").arg(name);
}

TEST(NetworkStatusForm, NamesTextsAndSize) {
    NetworkStatus window;
    EXPECT_EQ(window.objectName(), "NetworkStatusClass");
    EXPECT_EQ(window.windowTitle(), "Connection Status");
    EXPECT_EQ(window.size(), QSize(369, 501));
    EXPECT_FALSE(window.isModal());
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowSystemMenuHint));
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
    const QPair<const char*, QString> texts[] = {
        {"label_7", "Varnel Tamsel"},
        {"status", ""},
        {"label", "Descriptive Name:"},
        {"label_14", "Network Adapter:"},
        {"label_15", "Local MAC Address:"},
        {"label_13", "Remote MAC Address: "},
        {"label_8", "IP Address:"},
        {"label_9", "Max. Speed (Mbps):"},
        {"label_10", "Media:"},
        {"label_12", "WLAN"},
        {"label_4", "Security:"},
        {"label_11", "EAP Method:"},
        {"label_17", "Server:"},
        {"label_16", "Credential type:"},
        {"label_2", "SSID:"},
        {"label_3", "Signal Strength:"},
        {"label_6", "Channel:"},
        {"friendlyName", ""},
        {"adapterName", ""},
        {"adapterMacAddress", ""},
        {"macAddress", ""},
        {"ip", ""},
        {"speed", ""},
        {"securityOptionsBox", ""},
        {"eapInnerMthd", ""},
        {"serverName", ""},
        {"userMethod", ""},
        {"ssid", ""},
        {"signalStrength", ""},
        {"channel", ""},
    };
    for (const auto& [name, text] : texts) EXPECT_EQ(label(window, name), text) << name;
    EXPECT_EQ(window.form().groupBox->title(), "Connection Settings");
    EXPECT_EQ(window.form().groupBox_2->title(), "Security Settings");
    EXPECT_EQ(window.form().groupBox_3->title(), "Wi-Fi Settings");
    EXPECT_EQ(window.form().closeBtn->text(), "&Close");
    EXPECT_EQ(window.form().helpButton->text(), "Help");
    EXPECT_TRUE(window.form().label_7->font().bold());
    EXPECT_EQ(window.form().label_7->font().pointSize(), 11);
}

// The window as the controller refreshes it: from the model's current row, then from the event.
TEST(NetworkStatusRefresh, WhatEachStateEventShows) {
    struct Case {
        const char* what;
        NetworkItem network;
        const char* dbm;
        const char* channel;
        const char* speed;
        const char* outer;
        const char* inner;
        // signal | speed | channel | EAP method | credential type | medium
        QString shown;
    };
    const Case cases[] = {
        {"PEAP", configured("Corp", "CorpNet", "wpa2EnterpriseAes"), "-45", "6", "999", "eapPeap",
         "eapMschapv2", "Excellent (-45 dBm)|0|6|eapPeap(eapMschapv2)|Username/Password|WLAN"},
        {"no reading", configured("Corp", "CorpNet", "wpa2EnterpriseAes"), "0", "0", "54000", "eapTtls",
         "mschapv2", "|54||eapTtls(mschapv2)|Username/Password|WLAN"},
        {"TLS", configured("Corp", "CorpNet", "wpaEnterpriseTkip"), "-70", "36", "11000", "eapTls", "",
         "Low (-70 dBm)|11|36|eapTls|Certificate|WLAN"},
        {"LEAP", configured("Corp", "CorpNet", "wpa2EnterpriseTkip"), "-60", "149", "", "leap", "",
         "VeryGood (-60 dBm)|0|149|leap|Username/Password|WLAN"},
        {"personal", configured("Home", "HomeNet", "wpa2PersonalAes"), "-50", "1", "54000", "", "",
         "VeryGood (-50 dBm)|54|1||Key|WLAN"},
        {"WEP", configured("Old", "OldNet", "openStaticWep"), "-50", "1", "54000", "eapTls", "",
         "VeryGood (-50 dBm)|54|1|eapTls|Key|WLAN"},
        {"open", configured("Cafe", "CafeNet", "openNoEncryption"), "-50", "1", "54000", "", "",
         "VeryGood (-50 dBm)|54|1||none|WLAN"},
        {"wired 802.1X", configured("Desk", "", ""), "", "", "100000", "eapMd5", "",
         "|100||eapMd5|Username/Password|LAN"},
        {"wired open", configured("Desk", "", ""), "", "", "100000", "none", "", "|100||none|none|LAN"},
    };
    for (const Case& c : cases) {
        ScanModel model;
        update(model, merged({c.network}, {}));
        StateEvent event = stateEvent(c.network.networkName, "Connected", c.dbm, c.channel);
        event.speedInMbps = c.speed;
        event.outerEapMethod = c.outer;
        event.innerEapMethod = c.inner;
        event.ipAddress = "10.1.2.3";
        event.adapterName = "eth0";
        event.nadMacAddress = "00:11:22:33:44:55";
        event.adapterMacAddress = "0a:0b:0c:0d:0e:0f";
        event.serverVerifiedName = "radius";
        model.updateStatus(event);

        NetworkStatus window;
        window.updateFromModel(&model);
        window.updateFromStateEvent(event);
        saveScreenshot(window, QStringLiteral("NetworkStatus-%1").arg(c.what).replace(' ', '-'));
        const QStringList shown = {label(window, "signalStrength"), label(window, "speed"),
                                   label(window, "channel"),        label(window, "eapInnerMthd"),
                                   label(window, "userMethod"),     label(window, "label_12")};
        EXPECT_EQ(shown.join('|'), c.shown) << c.what;
        EXPECT_EQ(label(window, "friendlyName"), c.network.networkName) << c.what;
        EXPECT_EQ(label(window, "ssid"), c.network.ssid) << c.what;
        EXPECT_EQ(label(window, "status"), "Connected") << c.what;
        EXPECT_EQ(label(window, "ip"), "10.1.2.3") << c.what;
        EXPECT_EQ(label(window, "adapterName") + label(window, "macAddress") +
                      label(window, "adapterMacAddress") + label(window, "serverName"),
                  "eth000:11:22:33:44:550a:0b:0c:0d:0e:0fradius")
            << c.what;
    }
}

TEST(NetworkStatusRefresh, WithoutACurrentRowTheModelChangesNothing) {
    ScanModel model;
    update(model, merged({configured("Corp", "CorpNet", "wpa2EnterpriseAes")}, {}));
    NetworkStatus window;
    window.updateFromModel(&model);
    EXPECT_EQ(label(window, "friendlyName") + label(window, "securityOptionsBox"), "");
    model.updateStatus(stateEvent("Corp", "Authenticating"));
    window.updateFromModel(&model);
    EXPECT_EQ(label(window, "securityOptionsBox"), "WPA2-Enterprise");
    EXPECT_EQ(label(window, "status"), "Authenticating");
    model.clearAll();
    window.updateFromModel(&model);
    EXPECT_EQ(label(window, "status"), "Authenticating");
}

TEST(NetworkStatusWindow, ClosesHidingAndAsksForItsHelpPage) {
    orvik::QtHelp::loadIndex(QStringLiteral(GUI_WINDOWS_HELP_DIR "/windows.xml"));
    NetworkStatus window;
    QSignalSpy visible(&window, &NetworkStatus::visibleChanged);
    QSignalSpy help(&window, &NetworkStatus::helpRequested);
    window.showAndActivate();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(visible.size(), 1);

    QTest::mouseClick(window.form().helpButton, Qt::LeftButton);
    EXPECT_EQ(help.size(), 1);
    orvik::HelpWidget* page = orvik::QtHelp::instance().helpWindow();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->isVisible());
    EXPECT_TRUE(page->findChild<QTextBrowser*>("text")->toPlainText().contains("Credential type"));

    QTest::mouseClick(window.form().closeBtn, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), 1);
    EXPECT_EQ(visible.last().first().toBool(), false);
    EXPECT_FALSE(page->isVisible());
}

}  // namespace
}  // namespace tamsel::test
