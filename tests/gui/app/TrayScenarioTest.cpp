// What a user sees in the tray while the real service connects: wired PEAP with the password kept in
// the profile, wired PEAP asking the user through the tray's prompt, and a WPA2 personal network that
// fades away and is replaced by the next one by priority.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "gui/windows/CredDialog.h"
#include "gui/windows/CredDialogForm.h"
#include "gui/windows/KeyInfo.h"
#include "gui/windows/KeyInfoForm.h"
#include "gui/windows/NetworkStatus.h"
#include "gui/windows/NetworkStatusForm.h"
#include "gui/windows/TrayIcon.h"
#include "gui/windows/TrayIconControlDialog.h"
#include "gui/windows/TrayIconControlDialogForm.h"
#include "tests/gui/app/TrayOnService.h"
#include "tests/support/TestPki.h"

namespace tamsel::test {
namespace {

using ::testing::ElementsAre;

const std::vector<std::string> OK = {"ok"};

// The wired port answered by a PEAP authenticator with MSCHAPv2 inside, and DHCP behind it.
LabBuilder wiredPeapLab() {
    LabBuilder lab;
    lab.wiredAdapter(1, "eth0", {{"link", "up"}, {"speed", "1000"}});
    lab.add("authenticator", {{"on", "eth0"},
                              {"method", "peap"},
                              {"inner", "mschapv2"},
                              {"identity", "alice"},
                              {"password", "secret"},
                              {"serverCertificate", std::string(TEST_PKI) + "/" + pki::SERVER},
                              {"serverKey", std::string(TEST_PKI) + "/" + pki::SERVER_KEY}});
    lab.add("dhcp",
            {{"on", "eth0"}, {"address", "192.0.2.10"}, {"mask", "255.255.255.0"}, {"gateway", "192.0.2.1"}});
    // The user whose tray it is logs on at once: user networks are for a user's session.
    lab.add("logon", {{"user", "alice"}, {"domain", "CORP"}, {"password", "logon"}, {"atMs", "0"}});
    return lab;
}

// "Wired PEAP" for the user, its inner password from the source given.
std::string wiredPeapNetwork(const std::string& passwordSource) {
    return R"(      <wiredNetwork>
        <displayName>Wired PEAP</displayName>
        <connectionTimeout>40</connectionTimeout>
        <authenticationNetwork>
          <userAuthentication>
            <authenticationMethod>
              <eapPeap>
                <doNotValidateServerCertificate/>
                <unprotectedIdentityPattern encryptContent="true">anonymous</unprotectedIdentityPattern>
                <disableFastReconnect/>
                <authMethods>
                  <builtinMethods>
                    <authenticateWithPassword>
                      <protectedIdentityPattern encryptContent="true">alice</protectedIdentityPattern>
                      <passwordSource>)" +
           passwordSource + R"(</passwordSource>
                      <methods><eapMschapv2/></methods>
                    </authenticateWithPassword>
                  </builtinMethods>
                </authMethods>
              </eapPeap>
            </authenticationMethod>
            <collectionBehavior><withPassword/></collectionBehavior>
          </userAuthentication>
          <setting802.1x><authPeriod>30</authPeriod><heldPeriod>1</heldPeriod><startPeriod>30</startPeriod><maxStart>3</maxStart></setting802.1x>
        </authenticationNetwork>
      </wiredNetwork>
)";
}

std::string wpa2Network(const std::string& name, const std::string& ssid, const std::string& passphrase) {
    return R"(      <wifiNetwork>
        <displayName>)" +
           name + R"(</displayName>
        <connectionTimeout>40</connectionTimeout>
        <ssid><name>)" +
           ssid + R"(</name></ssid>
        <associationTimeout>3</associationTimeout>
        <sharedKeyNetwork>
          <machineConnection>
            <wpa2>
              <keyFromProfile><ascii encryptContent="true">)" +
           passphrase + R"(</ascii></keyFromProfile>
              <encryption>AES</encryption>
            </wpa2>
          </machineConnection>
        </sharedKeyNetwork>
      </wifiNetwork>
)";
}

class TrayScenarioTest : public TrayOnServiceTest {};

// 1: the password is in the profile. The network connects with the lab's address, the tray turns
// green with the network, state and address, and the status window shows the same.
TEST_F(TrayScenarioTest, WiredPeapWithThePasswordInTheProfileConnectsAndTheTrayShowsIt) {
    ASSERT_NO_FATAL_FAILURE(startService(
        wiredPeapLab(), officeConfiguration(wiredPeapNetwork(
                            R"(<passwordFromProfile encryptContent="true">secret</passwordFromProfile>)"))));
    CMainControl& tray = startTray();

    ASSERT_TRUE(toolTipShows({"Connection: Wired PEAP", "Status: Connected", "IP: 192.0.2.10"}))
        << tray.toolTip().toStdString() << "\n"
        << serviceRecord();
    EXPECT_EQ(tray.iconName(), ":/Icons/greenWired");
    EXPECT_EQ(tray.mainStatus(), "Connection: Wired PEAP    Status: Connected    IP: 192.0.2.10");
    EXPECT_EQ(tray.credentialDialog().isPending(), false) << "the profile's password needs no prompt";

    // The user opens "Status" from the tray's menu.
    emit tray.trayIcon().statusAction();
    const NetworkStatus& status = tray.statusWindow();
    ASSERT_TRUE(waitUntil([&] { return status.isVisible() && status.form().ip->text() == "192.0.2.10"; }))
        << status.form().ip->text().toStdString();
    EXPECT_EQ(status.form().friendlyName->text(), "Wired PEAP");
    EXPECT_EQ(status.form().status->text(), "Connected");

    const std::string log = serviceLogWith("Network Wired PEAP: AccessStateMachine new state = ACCESS_CONNECTED");
    EXPECT_THAT(newStates(log, "Wired PEAP", "AccessStateMachine"),
                ElementsAre("ACCESS_STARTED", "ACCESS_ATTACHED", "ACCESS_CONNECTING", "ACCESS_AUTHENTICATED",
                            "ACCESS_CONNECTED"));
    stopInOrder();
}

// 2: no password stored. The request reaches the tray as a balloon; its click opens the prompt, where
// a wrong password typed and confirmed fails and brings the prompt back, and the right one connects.
TEST_F(TrayScenarioTest, WiredPeapAsksThePasswordInTheTrayUntilTheRightOneConnects) {
    ASSERT_NO_FATAL_FAILURE(
        startService(wiredPeapLab(), officeConfiguration(wiredPeapNetwork("<passwordFromUser/>"))));
    CMainControl& tray = startTray();
    QSignalSpy toolTips(&tray, &CMainControl::updateStatus);
    CredDialog& prompt = tray.credentialDialog();
    const Ui::CredDialogClass& form = prompt.form();
    QStringList asked;

    // The user clicks each balloon and types what the prompt asks: the user name, then the password.
    const auto typeCredentials = [&](const QString& password) {
        for (int prompts = 0; prompts < 3; ++prompts) {
            ASSERT_TRUE(waitUntil([&] { return prompt.isPending(); })) << serviceRecord();
            EXPECT_EQ(tray.pendingPromptKind(), "UserPassword");
            EXPECT_EQ(tray.trayIcon().balloons().last().title, "Username/Password request");
            emit tray.trayIcon().messageClicked();
            ASSERT_TRUE(waitUntil([&] { return prompt.isVisible(); }));
            EXPECT_THAT(form.label_3->text().toStdString(), ::testing::HasSubstr("Wired PEAP"));
            asked << prompt.passwordType();
            const bool asksPassword = prompt.passwordType() != "username";
            if (form.userNameText->isVisible()) {
                form.userNameText->clear();
                QTest::keyClicks(form.userNameText, "alice");
            }
            if (asksPassword) QTest::keyClicks(form.passwordText, password);
            QTest::mouseClick(form.OkBtn, Qt::LeftButton);
            EXPECT_FALSE(prompt.isVisible());
            if (prompt.passwordType().startsWith("password")) return;
        }
        FAIL() << "no prompt asked for the password: " << asked.join(", ").toStdString();
    };
    const auto sawToolTip = [&](const QString& part) {
        for (const QList<QVariant>& emitted : toolTips)
            if (emitted.at(0).toString().contains(part)) return true;
        return false;
    };

    ASSERT_NO_FATAL_FAILURE(typeCredentials("wrong"));
    ASSERT_TRUE(waitUntil([&] { return prompt.isPending(); })) << "the prompt comes again\n"
                                                               << serviceRecord();
    // The user saw the failure before being asked again.
    EXPECT_TRUE(sawToolTip("Connection: Wired PEAP\nStatus: authentication failed"))
        << tray.toolTip().toStdString();
    EXPECT_FALSE(sawToolTip("Status: Connected"));
    EXPECT_EQ(asked, QStringList({"usernameAndPassword", "password"}));

    ASSERT_NO_FATAL_FAILURE(typeCredentials("secret"));
    ASSERT_TRUE(toolTipShows({"Connection: Wired PEAP", "Status: Connected", "IP: 192.0.2.10"}))
        << tray.toolTip().toStdString() << "\n"
        << serviceRecord();
    EXPECT_EQ(tray.iconName(), ":/Icons/greenWired");

    // One attempt: the refusal holds the port and the network keeps connecting until the right
    // password goes.
    const std::string log = serviceLogWith("Network Wired PEAP: AccessStateMachine new state = ACCESS_CONNECTED");
    EXPECT_THAT(newStates(log, "Wired PEAP", "AccessStateMachine"),
                ElementsAre("ACCESS_STARTED", "ACCESS_ATTACHED", "ACCESS_CONNECTING", "ACCESS_AUTHENTICATED",
                            "ACCESS_CONNECTED"));
    EXPECT_EQ(countOf(log, "AdapterStateMachine::handleEvent(): new state = auth_failed\n"), 1);
    stopInOrder();
}

// 3: two WPA2 personal networks by priority. The scan list shows both points with the words of their
// signal; the first connects; weakened, then gone, it gives way to the next network.
TEST_F(TrayScenarioTest, Wpa2PersonalMovesToTheNextNetworkWhenItsPointFadesAway) {
    LabBuilder lab;
    lab.wirelessAdapter(2, "wlan0", {{"bands", "bg"}, {"speed", "54"}});
    lab.add("accessPoint", {{"ssid", "corp"},
                            {"bssid", "02:aa:00:00:00:01"},
                            {"channel", "6"},
                            {"signal", "-45"},
                            {"security", "wpa2PersonalAes"},
                            {"passphrase", "correct horse battery"}});
    lab.add("accessPoint", {{"ssid", "backup"},
                            {"bssid", "02:aa:00:00:00:02"},
                            {"channel", "11"},
                            {"signal", "-70"},
                            {"security", "wpa2PersonalAes"},
                            {"passphrase", "staple battery"}});
    lab.add("dhcp", {{"on", "corp"}, {"address", "192.0.2.20"}, {"mask", "255.255.255.0"}});
    lab.add("dhcp", {{"on", "backup"}, {"address", "192.0.2.30"}, {"mask", "255.255.255.0"}});
    ASSERT_NO_FATAL_FAILURE(
        startService(lab, officeConfiguration(wpa2Network("Corp-WiFi", "corp", "correct horse battery") +
                                              wpa2Network("Backup-WiFi", "backup", "staple battery"))));
    CMainControl& tray = startTray();

    ASSERT_TRUE(toolTipShows({"Connection: Corp-WiFi", "Status: Connected", "IP: 192.0.2.20"}))
        << tray.toolTip().toStdString() << "\n"
        << serviceRecord();
    EXPECT_EQ(tray.iconName(), ":/Icons/green");
    // The user presses "Refresh" until the service's first scan shows both points.
    QTimer refresh;
    QObject::connect(&refresh, &QTimer::timeout, &tray.mainWindow(),
                     &TrayIconControlDialog::resendScanRequest);
    refresh.start(500);
    const auto rowsWithSignal = [&] {
        QStringList rows = scanRows();
        return rows.size() == 2 && !rows[0].endsWith('|') && !rows[1].endsWith('|');
    };
    ASSERT_TRUE(waitUntil(rowsWithSignal)) << scanRows().join("\n").toStdString();
    EXPECT_EQ(scanRows(), QStringList({"Corp-WiFi|corp|Excellent", "Backup-WiFi|backup|Low"}));
    EXPECT_TRUE(toolTipShows({"Strength: Excellent"})) << tray.toolTip().toStdString();

    // The point fades, then goes.
    ASSERT_EQ(labCommand("set accessPoint bssid=02:aa:00:00:00:01 signal=-88"), OK);
    ASSERT_EQ(labCommand("remove accessPoint bssid=02:aa:00:00:00:01"), OK);

    ASSERT_TRUE(toolTipShows({"Connection: Backup-WiFi", "Status: Connected", "IP: 192.0.2.30"}))
        << tray.toolTip().toStdString() << "\n"
        << serviceRecord();
    EXPECT_EQ(tray.iconName(), ":/Icons/green");

    // Corp-WiFi lost its link, tried to associate again and let the adapter go; only then did
    // Backup-WiFi take it.
    const std::string log =
        serviceLogWith("Network Backup-WiFi: AccessStateMachine new state = ACCESS_CONNECTED");
    EXPECT_THAT(
        newStates(log, "Corp-WiFi", "AccessStateMachine"),
        ElementsAre("ACCESS_STARTED", "ACCESS_ATTACHED", "ACCESS_ASSOCIATING", "ACCESS_CONNECTING",
                    "ACCESS_AUTHENTICATED", "ACCESS_CONNECTED", "ACCESS_ASSOCIATING", "ACCESS_STARTED"));
    EXPECT_THAT(newStates(log, "Backup-WiFi", "AccessStateMachine"),
                ElementsAre("ACCESS_STARTED", "ACCESS_ATTACHED", "ACCESS_ASSOCIATING", "ACCESS_CONNECTING",
                            "ACCESS_AUTHENTICATED", "ACCESS_CONNECTED"));
    const std::vector<std::string> lines = messages(log);
    const int released = indexOf(lines, "Network Corp-WiFi: AccessStateMachine new state = ACCESS_CONNECTED");
    EXPECT_LT(indexOf(lines, "Network Corp-WiFi: AccessStateMachine new state = ACCESS_STARTED", released),
              indexOf(lines, "Network Backup-WiFi: AccessStateMachine new state = ACCESS_ATTACHED"));
    stopInOrder();
}

// The user adds a scanned open network, renames it and deletes it from the main window; each time the
// service's answer refills the list without the row the user had chosen. No other row takes its place
// unasked: nothing is selected and Connect, Edit and Delete are off until the user chooses again.
TEST_F(TrayScenarioTest, AfterEachRefillTheSelectionAndTheButtonsAgree) {
    LabBuilder lab;
    lab.wirelessAdapter(2, "wlan0", {{"bands", "bg"}, {"speed", "54"}});
    for (const auto& [ssid, bssid] :
         {std::pair{"guest", "02:bb:00:00:00:01"}, {"attic", "02:bb:00:00:00:02"}})
        lab.add("accessPoint", {{"ssid", ssid},
                                {"bssid", bssid},
                                {"channel", "6"},
                                {"signal", "-60"},
                                {"security", "openNoEncryption"}});
    ASSERT_NO_FATAL_FAILURE(
        startService(lab, officeConfiguration(wpa2Network("Corp-WiFi", "corp", "correct horse battery"))));
    CMainControl& tray = startTray();
    TrayIconControlDialog& window = tray.mainWindow();
    window.show();
    const Ui::TrayIconControlDialogClass& form = window.form();
    ScanListWidget& list = *form.scanTreeView;
    const ScanModel& model = tray.model();
    QTimer refresh;
    QObject::connect(&refresh, &QTimer::timeout, &window, &TrayIconControlDialog::resendScanRequest);
    refresh.start(500);

    const auto rowOf = [&](const QString& name, bool configured) {
        for (int row = 0; row < model.rowCount(); ++row)
            if (model.text(row, ScanModel::NameColumn) == name && model.isConfigured(row) == configured)
                return row;
        return -1;
    };
    const auto choose = [&](const QString& name, bool configured) {
        const QModelIndex index = list.model()->index(rowOf(name, configured), ScanModel::NameColumn);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(index).center());
    };
    // What the user sees: the selected rows, then Connect, Edit and Delete on or off.
    const auto shown = [&] {
        QStringList selected;
        for (const QModelIndex& index : list.selectionModel()->selectedRows())
            selected << model.text(index.row(), ScanModel::NameColumn);
        return QString("[%1] %2%3%4")
            .arg(selected.join(','))
            .arg(form.connectBtn->isEnabled())
            .arg(form.propertiesBtn->isEnabled())
            .arg(form.deleteBtn->isEnabled())
            .toStdString();
    };
    const auto rows = [&] { return scanRows().join(", ").toStdString(); };

    ASSERT_TRUE(waitUntil([&] { return rowOf("guest", false) >= 0 && rowOf("attic", false) >= 0; }))
        << rows();
    choose("guest", false);
    ASSERT_EQ(shown(), "[guest] 100");
    // Connect on a scanned open network adds it to the group at once.
    form.connectBtn->click();
    ASSERT_TRUE(waitUntil([&] { return rowOf("guest", true) >= 0 && rowOf("guest", false) < 0; }))
        << rows() << "\n"
        << serviceRecord();
    EXPECT_EQ(shown(), "[] 000") << "added";

    choose("guest", true);
    ASSERT_EQ(shown(), "[guest] 111");
    form.propertiesBtn->click();
    KeyInfo& editor = window.keyInfo();
    ASSERT_TRUE(editor.isVisible());
    editor.form().nameText->setText("guest renamed");
    editor.form().okButton->click();
    ASSERT_TRUE(waitUntil([&] { return rowOf("guest renamed", true) >= 0 && rowOf("guest", true) < 0; }))
        << rows() << "\n"
        << serviceRecord();
    EXPECT_EQ(shown(), "[] 000") << "renamed";

    choose("guest renamed", true);
    ASSERT_EQ(shown(), "[guest renamed] 111");
    form.deleteBtn->click();
    ASSERT_TRUE(waitUntil([&] { return rowOf("guest renamed", true) < 0 && rowOf("guest", false) >= 0; }))
        << rows() << "\n"
        << serviceRecord();
    EXPECT_EQ(shown(), "[] 000") << "deleted";
    refresh.stop();
    stopInOrder();
}

// The program's life on one root, as `scripts/run --gui` runs it: the tray connects and shows the
// group, its network and the state; "&Repair" stops the service, and the tray comes back with it
// when the service manager starts it again; "&Exit" ends the tray and leaves the service running.
TEST_F(TrayScenarioTest, TheTrayRecoversAfterARepairAndEndsFromExit) {
    LabBuilder lab;
    lab.wiredAdapter(1, "eth0", {{"link", "up"}});
    lab.add("dhcp", {{"on", "eth0"}, {"address", "192.0.2.10"}, {"mask", "255.255.255.0"}});
    ASSERT_NO_FATAL_FAILURE(startService(lab, officeConfiguration(R"(      <wiredNetwork>
        <displayName>Wired-LAN</displayName>
        <connectionTimeout>40</connectionTimeout>
        <openNetwork><machineUserConnection/></openNetwork>
      </wiredNetwork>
)")));
    CMainControl& tray = startTray();
    const auto showsTheConnection = [&] {
        return toolTipShows({"Connection: Wired-LAN", "Status: Connected", "IP: 192.0.2.10"}) &&
               waitUntil([&] {
                   // The groups submenu: the groups, then its own entry.
                   const QList<QAction*> groups = tray.trayIcon().groupsMenu()->actions();
                   return !groups.isEmpty() && groups.first()->text() == "Office" &&
                          scanRows().value(0).startsWith("Wired-LAN||");
               });
    };
    const auto shown = [&] {
        QStringList groups;
        for (QAction* action : tray.trayIcon().groupsMenu()->actions()) groups << action->text();
        return (tray.toolTip() + "\ngroups: " + groups.join(", ") + "\nrows: " + scanRows().join(", "))
            .toStdString();
    };
    ASSERT_TRUE(showsTheConnection()) << shown();
    EXPECT_EQ(tray.iconName(), ":/Icons/blueWired") << "an open network";

    emit tray.trayIcon().repairAction();
    EXPECT_EQ(service->waitForExit(std::chrono::seconds(30)), 0) << serviceRecord();
    EXPECT_EQ(countOf(serviceLog(), "]: Service will attempt to perform 'repair'.\n"), 1);
    ASSERT_TRUE(waitUntil([&] { return tray.toolTip() == "Varnel Tamsel: Repairing..."; }))
        << tray.toolTip().toStdString();
    EXPECT_EQ(tray.serviceMessageBox().text(),
              "The 'Varnel Tamsel' is stopped...\nPlease wait until the repair is finished.");
    EXPECT_TRUE(tray.serviceMessageBox().isVisible());

    ASSERT_NO_FATAL_FAILURE(launchService());
    ASSERT_TRUE(showsTheConnection()) << shown() << "\n" << serviceRecord();
    EXPECT_FALSE(tray.serviceMessageBox().isVisible());

    QSignalSpy done(&tray, &CMainControl::done);
    QAction* exit = tray.trayIcon().exitItem();
    ASSERT_TRUE(tray.trayIcon().contextMenu()->actions().contains(exit));
    ASSERT_EQ(exit->text(), "&Exit");
    exit->trigger();
    EXPECT_EQ(done.count(), 1);
    EXPECT_TRUE(tray.quitting());
    EXPECT_EQ(tray.client(), nullptr);
    EXPECT_TRUE(service->running()) << "the tray's end leaves the service alone";
    stopInOrder();
}

}  // namespace
}  // namespace tamsel::test
