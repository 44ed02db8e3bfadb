#include <gtest/gtest.h>

#include "gui/app/CMainControl.h"
#include "gui/client/SignalStrength.h"
#include "gui/windows/CertDialog.h"
#include "gui/windows/CredDialog.h"
#include "gui/windows/ScanModel.h"
#include "gui/windows/SmartPinDialog.h"
#include "gui/windows/TrayIcon.h"
#include "gui/windows/TrayIconControlDialog.h"
#include "tests/gui/app/AppTestSupport.h"
#include "tests/gui/app/ServiceMessages.h"
#include "tests/gui/support/RecordingTransport.h"
#include "tests/gui/support/ScriptedModalRunner.h"
#include "tests/gui/windows/ScanFixture.h"

using namespace tamsel::test;

namespace {

const char* const WPA2E = "wpa2EnterpriseAes";

StateEvent event(const QString& network, const QString& status, const QString& ip,
                 const QString& outer = "eapPeap") {
    StateEvent e = tamsel::test::stateEvent(network, status, "-52", "6");
    e.ipAddress = ip;
    e.outerEapMethod = outer;
    return e;
}

class PresentationTest : public GuiRuntimeTest {
protected:
    void SetUp() override {
        GuiRuntimeTest::SetUp();
        control.emplace();
        sent.emplace();
        // A secured and an open wireless network and a wired one, as the service client hands them over.
        NetworkItem desk = configured("Desk", "", WPA2E);
        update(control->model(),
               merged({configured("Corp", "CorpNet", WPA2E),
                       configured("Cafe", "CafeNet", "openNoEncryption"), desk},
                      {scanned("CorpNet", {WPA2E}, 4), scanned("CafeNet", {"openNoEncryption"}, 3)}));
    }
    void TearDown() override {
        sent.reset();
        control.reset();
        GuiRuntimeTest::TearDown();
    }

    QString strength() { return SignalStrength().signalLevelText("-52", 6); }
    QStringList sentMethods() { return sent->methods(); }

    std::optional<CMainControl> control;
    std::optional<RecordingTransport> sent;
};

}  // namespace

TEST_F(PresentationTest, NetworkStatesChooseIconToolTipAndStatusLine) {
    // The VPN item is offered, so that its enabled state shows.
    control->SetVpnEnabled(true);
    const QString s = strength();
    const struct {
        const char* what;
        StateEvent event;
        QString icon;
        QString toolTip;
        QString status;
    } rows[] = {
        {"secured wireless", event("Corp", "Connected", "10.0.0.6"), ":/Icons/green",
         "Varnel Tamsel Wired/Wireless Network\nConnection: Corp\nStatus: Connected\nStrength: " + s +
             "\nIP: 10.0.0.6",
         "Connection: Corp    Status: Connected    Strength: " + s + "    IP: 10.0.0.6"},
        {"open wireless", event("Cafe", "Connected", "10.0.0.5"), ":/Icons/blue",
         "Varnel Tamsel Wired/Wireless Network\nConnection: Cafe\nStatus: Connected\nStrength: " + s +
             "\nIP: 10.0.0.5",
         "Connected to open(non-secured) network. IP: 10.0.0.5"},
        {"secured wireless whose outer method is none", event("Corp", "Connected", "10.0.0.6", "none"),
         ":/Icons/green",
         "Varnel Tamsel Wired/Wireless Network\nConnection: Corp\nStatus: Connected\nStrength: " + s +
             "\nIP: 10.0.0.6",
         "Connection: Corp    Status: Connected    Strength: " + s + "    IP: 10.0.0.6"},
        {"wired: name, status and address only", event("Desk", "Connected", "10.0.0.7"), ":/Icons/greenWired",
         "Varnel Tamsel Wired/Wireless Network\nConnection: Desk\nStatus: Connected\nIP: 10.0.0.7",
         "Connection: Desk    Status: Connected    IP: 10.0.0.7"},
        {"wired whose outer method is none", event("Desk", "Connected", "10.0.0.7", "none"),
         ":/Icons/blueWired",
         "Varnel Tamsel Wired/Wireless Network\nConnection: Desk\nStatus: Connected\nIP: 10.0.0.7",
         "Connected to open(non-secured) network. IP: 10.0.0.7"},
        {"wireless not connected", event("Corp", "Authenticating", ""), ":/Icons/yellow6",
         "Varnel Tamsel Wired/Wireless Network\nConnection: Corp\nStatus: Authenticating\nStrength: " + s,
         "Connection: Corp    Status: Authenticating    Strength: " + s},
        {"wired not connected", event("Desk", "Authenticating", ""), ":/Icons/Wiredyellow6",
         "Varnel Tamsel Wired/Wireless Network\nConnection: Desk\nStatus: Authenticating\nStrength: " + s,
         "Connection: Desk    Status: Authenticating    Strength: " + s},
    };
    for (const auto& row : rows) {
        control->ProcessStateChange(row.event);
        ASSERT_TRUE(waitUntil([&] { return !control->animating(); }));
        EXPECT_EQ(control->iconName(), row.icon) << row.what;
        EXPECT_EQ(control->toolTip(), row.toolTip) << row.what;
        EXPECT_EQ(control->trayIcon().toolTip(), row.toolTip) << row.what;
        EXPECT_EQ(control->mainStatus(), row.status) << row.what;
        const bool connected = row.event.displayStatus == "Connected";
        EXPECT_EQ(control->statusTimer().isActive(), connected) << row.what;
        if (connected) {
            EXPECT_EQ(control->statusTimer().interval(), CMainControl::STATUS_PERIOD_MS);
        }
        EXPECT_EQ(control->trayIcon().vpnItem()->isEnabled(), connected) << row.what;
        EXPECT_EQ(control->runScriptPending(), !connected) << row.what;
    }
}

TEST_F(PresentationTest, NamesAreCutAfterSixteenCharactersAndKeepTheirScript) {
    const struct {
        QString name;
        QString shown;
    } rows[] = {
        {"ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOP"},
        {"ABCDEFGHIJKLMNOPQ", "ABCDEFGHIJKLMNOP..."},
        {"Café Δίκτυο 网络", "Café Δίκτυο 网络"},
        {"Net %1 %2", "Net %1 %2"},
    };
    for (const auto& row : rows) {
        control->ProcessStateChange(event(row.name, "Connected", "10.0.0.9"));
        EXPECT_TRUE(control->toolTip().contains("\nConnection: " + row.shown + "\nStatus: Connected\n"))
            << control->toolTip().toStdString();
    }
}

TEST_F(PresentationTest, AConnectingVpnCountsAsConnected) {
    control->SetVpnEnabled(true);
    control->SetVpnState("connecting", "none");
    control->ProcessStateChange(event("Corp", "Authenticating", "10.0.0.6"));
    EXPECT_EQ(control->iconName(), ":/Icons/green");
    EXPECT_TRUE(control->statusTimer().isActive());
    control->SetVpnState("connected", "none");
    control->ProcessStateChange(event("Corp", "VPN Connected", "10.0.0.6"));
    EXPECT_EQ(control->iconName(), ":/Icons/greenVPN");
    control->ProcessStateChange(event("Desk", "VPN Connected", "10.0.0.7"));
    EXPECT_EQ(control->iconName(), ":/Icons/greenWiredVPN");
    EXPECT_EQ(control->mainStatus(), "VPN Connected: Desk    Status: VPN Connected    IP: 10.0.0.7");
}

TEST_F(PresentationTest, VpnStatesDriveTimerTrayItemAndBoxes) {
    ScriptedModalRunner runner;
    control->SetVpnState("connected", "ignored while VPN is off");
    EXPECT_FALSE(control->vpnConnected());
    EXPECT_TRUE(runner.runs().isEmpty());
    control->SetVpnEnabled(true);
    EXPECT_EQ(sentMethods(), (QStringList{"getVpnCapabilitiesRequest", "resendLastVpnStateEventRequest"}));
    EXPECT_TRUE(control->trayIcon().vpnItem()->isVisible());
    sent->clear();

    const struct {
        const char* state;
        bool connected;
        bool connecting;
        bool timer;
        QString item;
        bool itemEnabled;
    } rows[] = {
        {"connected", true, false, true, "VPN Disconnect", true},
        {"connecting", false, true, true, "VPN Disconnect", true},
        {"disconnecting", false, true, true, "VPN Connect", false},
        {"disconnected", false, false, false, "VPN Connect", true},
    };
    for (const auto& row : rows) {
        control->SetVpnState(row.state, "none");
        EXPECT_EQ(control->vpnConnected(), row.connected) << row.state;
        EXPECT_EQ(control->vpnConnecting(), row.connecting) << row.state;
        EXPECT_EQ(control->vpnTimer().isActive(), row.timer) << row.state;
        if (row.timer) {
            EXPECT_EQ(control->vpnTimer().interval(), CMainControl::VPN_PERIOD_MS);
        }
        EXPECT_EQ(control->trayIcon().vpnItem()->text(), row.item) << row.state;
        EXPECT_EQ(control->trayIcon().vpnItem()->isEnabled(), row.itemEnabled) << row.state;
        EXPECT_EQ(sentMethods(), QStringList{"resendLastNetworkStateEventRequest"}) << row.state;
        sent->clear();
    }
    EXPECT_TRUE(runner.runs().isEmpty());

    runner.click("OK");
    control->SetVpnState("disconnected", "The gateway does not answer.");
    ASSERT_EQ(runner.runs().size(), 1);
    EXPECT_EQ(runner.runs()[0].title, "VPN Status");
    EXPECT_EQ(runner.runs()[0].text, "The gateway does not answer.");
    EXPECT_EQ(runner.runs()[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(runner.problems().isEmpty()) << runner.problems().join("; ").toStdString();
}

TEST_F(PresentationTest, BannerAnswersByButtonAndATerminatedVpnAnswersAnOpenBanner) {
    ScriptedModalRunner runner;
    const struct {
        const char* button;
        QString accepted;
    } rows[] = {{"Continue", "true"}, {"Disconnect", "false"}};
    for (const auto& row : rows) {
        runner.click(row.button);
        control->DisplayBanner("Authorised use only");
        ASSERT_EQ(sent->messages().size(), 1) << row.button;
        EXPECT_EQ(sent->messages()[0].method, "getBannerResponse");
        EXPECT_EQ(sent->messages()[0].child("bannerAccepted"), row.accepted);
        EXPECT_FALSE(control->bannerBox().isVisible());
        sent->clear();
    }
    EXPECT_EQ(runner.runs()[0].title, "VPN Banner");
    EXPECT_EQ(runner.runs()[0].text, "Authorised use only.");
    EXPECT_EQ(runner.runs()[0].buttons, (QStringList{"Continue", "Disconnect"}));

    // The VPN ends while the banner is up: the banner is answered "false" once and goes.
    control->SetVpnEnabled(true);
    sent->clear();
    runner.act([&](QDialog&) {
        runner.click("OK");
        control->SetVpnState("disconnected", "Your VPN connection has been terminated.");
    });
    control->DisplayBanner("Authorised use only");
    QStringList answers;
    for (const SentMessage& m : sent->messages())
        if (m.method == "getBannerResponse") answers << m.child("bannerAccepted");
    EXPECT_EQ(answers, QStringList{"false"});
    EXPECT_FALSE(control->bannerBox().isVisible());
    EXPECT_EQ(runner.runs().last().text, "Your VPN connection has been terminated.");
}

TEST_F(PresentationTest, PromptsComeAsBalloonsWhileTheMainWindowIsHidden) {
    control->mainWindow().hide();
    const Balloon none;
    const auto request = [](const QByteArray& method, const QByteArray& passwordType) {
        Credentials c;
        c.parse(serviceMessage(
            method,
            numbered(element("groupName", "Office") + element("networkName", "Corp") +
                     (passwordType.isEmpty() ? QByteArray() : element("passwordType", passwordType)))));
        return c;
    };

    control->UserNameRequest(request("getUsernameAndPasswordRequest", "password"));
    EXPECT_FALSE(control->credentialDialog().isVisible());
    EXPECT_EQ(control->trayIcon().balloons().last().title, "Username/Password request");
    EXPECT_EQ(control->trayIcon().balloons().last().msecs, CMainControl::BALLOON_MS);
    EXPECT_EQ(control->pendingPromptKind(), "UserPassword");
    emit control->trayIcon().messageClicked();
    EXPECT_TRUE(control->credentialDialog().isVisible());
    control->credentialDialog().hide();

    // A VPN credential request comes up at once.
    control->trayIcon().balloons().clear();
    control->UserNameRequest(request("getVpnCredentialsRequest", ""));
    EXPECT_TRUE(control->credentialDialog().isVisible());
    EXPECT_TRUE(control->trayIcon().balloons().balloons().isEmpty());
    control->credentialDialog().hide();

    Certificate certificate;
    certificate.parse(serviceMessage(
        "getCertificateRequest",
        numbered(element("groupName", "Office") + element("networkName", "Corp") +
                 "<certificateList type=\"array\"><certificate>" + element("certificateHash", "ab12") +
                 element("certificateName", "Me") + "</certificate></certificateList>")));
    control->CertRequest(certificate);
    EXPECT_EQ(control->trayIcon().balloons().last().title, "Certificate Request");
    emit control->trayIcon().messageClicked();
    EXPECT_TRUE(control->certificateDialog().isVisible());
    control->certificateDialog().hide();

    control->LogonEvent();
    EXPECT_EQ(control->trayIcon().balloons().last().title, "Password Expired");
    EXPECT_EQ(control->pendingPromptKind(), "passwordExpired");
}

TEST_F(PresentationTest, ThePinBalloonAnswersForItsOwnRequest) {
    control->mainWindow().hide();
    control->SmartPin("Card A", "Office", "Corp");
    EXPECT_FALSE(control->pinDialog().isVisible());
    EXPECT_EQ(control->trayIcon().balloons().last().title, "PIN Request");
    EXPECT_EQ(
        control->trayIcon().balloons().last().text,
        "The network is requesting a PIN for the smartcard Card A. Click in this balloon to enter your PIN");
    // Another network's state arrives before the click.
    control->ProcessStateChange(event("Cafe", "Connected", "10.0.0.5"));
    emit control->trayIcon().messageClicked();
    EXPECT_TRUE(control->pinDialog().isVisible());
    EXPECT_EQ(control->pinDialog().groupName(), "Office");
    EXPECT_EQ(control->pinDialog().networkName(), "Corp");
}

// A network that refused the user's card or certificate says so in a balloon while the main window
// is hidden: once per network and reason however often the attempt fails, again after a connection.
TEST_F(PresentationTest, AFailedCertificateAuthenticationSaysWhyInABalloon) {
    auto failed = [](const QString& network, const QString& failure) {
        StateEvent e = event(network, "Authentication Failed", "", "eapTls");
        e.credentialFailure = failure;
        return e;
    };
    const struct {
        const char* failure;
        const char* text;
    } rows[] = {
        {"wrongPin", "Authentication to Corp failed: the smart card refused the PIN."},
        {"cardBlocked",
         "Authentication to Corp failed: the smart card is blocked. Contact your administrator."},
        {"noCertificate", "Authentication to Corp failed: no certificate is available for it."},
    };
    control->mainWindow().hide();
    for (const auto& row : rows) {
        const qsizetype before = control->trayIcon().balloons().balloons().size();
        control->ProcessStateChange(failed("Corp", row.failure));
        control->ProcessStateChange(event("Corp", "Authenticating", "", "eapTls"));
        control->ProcessStateChange(failed("Corp", row.failure));
        ASSERT_EQ(control->trayIcon().balloons().balloons().size(), before + 1) << row.failure;
        EXPECT_EQ(control->trayIcon().balloons().last().title, "Authentication failed");
        EXPECT_EQ(control->trayIcon().balloons().last().text, row.text);
    }
    control->ProcessStateChange(event("Corp", "Connected", "10.0.0.6", "eapTls"));
    control->ProcessStateChange(failed("Corp", "noCertificate"));
    EXPECT_EQ(control->trayIcon().balloons().balloons().size(), 4);

    // A failure without a reason, or with the window in sight, shows none.
    control->ProcessStateChange(failed("Desk", ""));
    control->mainWindow().show();
    control->ProcessStateChange(failed("Desk", "cardBlocked"));
    EXPECT_EQ(control->trayIcon().balloons().balloons().size(), 4);
}

TEST_F(PresentationTest, PromptsComeAtOnceWhileTheMainWindowIsShown) {
    control->mainWindow().show();
    Credentials c;
    c.parse(serviceMessage("getUsernameAndPasswordRequest",
                           numbered(element("groupName", "Office") + element("networkName", "Corp") +
                                    element("passwordType", "password"))));
    control->UserNameRequest(c);
    EXPECT_TRUE(control->credentialDialog().isVisible());
    control->SmartPin("Card A", "Office", "Corp");
    EXPECT_TRUE(control->pinDialog().isVisible());
    EXPECT_TRUE(control->trayIcon().balloons().balloons().isEmpty());
}

TEST_F(PresentationTest, RadioOffIsRed) {
    control->ProcessStateChange(event("Corp", "Connected", "10.0.0.6"));
    control->RadioOffSetState();
    EXPECT_EQ(control->iconName(), ":/Icons/red");
    EXPECT_EQ(control->toolTip(), "Varnel Tamsel: Wi-Fi disabled");
}
