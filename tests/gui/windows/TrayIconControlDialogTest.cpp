#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>

#include "gui/client/AdminPolicy.h"
#include "gui/client/ProtocolTypes.h"
#include "gui/orvik/HelpWidget.h"
#include "gui/orvik/QtHelp.h"
#include "gui/windows/Locations.h"
#include "gui/windows/LocationsForm.h"
#include "gui/windows/ShowMainWindowFlag.h"
#include "gui/windows/TrayIconControlDialog.h"
#include "gui/windows/TrayIconControlDialogForm.h"
#include "gui/windows/VpnConnectionForm.h"
#include "tests/gui/support/Screenshot.h"
#include "tests/gui/windows/KeyInfoFixture.h"

namespace tamsel::test {
namespace {

QStringList texts(const QList<QAction*>& actions) {
    QStringList out;
    for (const QAction* action : actions) {
        out << (action->isSeparator()
                    ? QStringLiteral("--")
                    : action->text() + (action->isChecked() ? QStringLiteral(" [x]") : QString()));
    }
    return out;
}

// The main window over the model of the group "Office" (Home with VPN entry E1, Lab, Work of the
// administrator, the wired Desk, then the scanned networks), made the way the controller makes it.
class MainWindowTest : public KeyInfoFixture {
protected:
    void SetUp() override {
        KeyInfoFixture::SetUp();
        window.NotifyActiveGroupChng("Office");
        pipe.clear();
    }

    const Ui::TrayIconControlDialogClass& ui() const { return window.form(); }
    // Selects the row in the list as a click does.
    void pick(const QString& name) { ui().scanTreeView->on_activated(model.index(rowOf(name), 0)); }

    GroupItemList groups(const QString& active) {
        GroupItemList list;
        EXPECT_TRUE(list.parse(serviceMessage("getGroupsResponse",
                                              "<sequenceNumber>1</sequenceNumber>\n"
                                              "<groupList type=\"array\"><groupName>Office</"
                                              "groupName><groupName>Travel</groupName></groupList>")));
        list.setActiveGroup(serviceMessage(
            "getActiveGroupResponse",
            "<sequenceNumber>2</sequenceNumber>\n<groupName>" + active.toUtf8() + "</groupName>"));
        return list;
    }

    TrayIconControlDialog window{&model};
};

TEST_F(MainWindowTest, TitleMenusAndButtons) {
    EXPECT_EQ(window.objectName(), "TrayIconControlDialogClass");
    EXPECT_EQ(window.windowTitle(), "Varnel Tamsel");
    EXPECT_FALSE(window.isVisible()) << "started without -Access";
    EXPECT_EQ(ui().groupBox_2->title(), "Available Connections for Group 'Office'");
    EXPECT_EQ(ui().groupBox_2->accessibleName(), "Available Connections");
    EXPECT_EQ(ui().groupBox_2->accessibleDescription(), "Select one of the Connection Points.");
    EXPECT_EQ(ui().label_2->text(), "Configured connections appear in <b>boldface</b>");
    EXPECT_FALSE(ui().label->pixmap().isNull());
    EXPECT_EQ(ui().scanTreeView->scanModel(), &model);

    struct Button {
        QPushButton* button;
        QString text;
        QString shortcut;
        int minimumWidth;
    };
    const Button buttons[] = {
        {ui().connectBtn, "Connec&t", "Ctrl+T", 105},
        {ui().propertiesBtn, "&Edit...", "Ctrl+E", 105},
        {ui().deleteBtn, "&Delete", "Ctrl+D, Ctrl+S", 105},
        {ui().addSsidBtn, "&Add SSID...", "Alt+A", 120},
        {ui().statusBtn, "Co&nnection Status...", "Alt+N", 120},
        {ui().vpnConnectBtn, "&VPN Connect", "Alt+V", 120},
    };
    for (const Button& b : buttons) {
        EXPECT_EQ(b.button->text(), b.text);
        EXPECT_EQ(b.button->shortcut().toString(), b.shortcut);
        EXPECT_EQ(b.button->minimumWidth(), b.minimumWidth);
    }

    EXPECT_EQ(texts(window.menuBar()->actions()), (QStringList{"&Settings", "&Groups", "&Help"}));
    EXPECT_EQ(texts(window.settingsMenu()->actions()),
              (QStringList{"Enable &Client [x]", "Enable &Wi-fi Radio [x]", "&Location"}));
    EXPECT_EQ(texts(window.groupsMenu()->actions()), (QStringList{"Configure Groups..."}));
    EXPECT_EQ(texts(window.helpMenu()->actions()),
              (QStringList{"&Help...", "&Repair", "&Extended Logging", "&About..."}));
    EXPECT_FALSE(window.locationAction()->isVisible());
    EXPECT_FALSE(window.extendedLoggingAction()->isVisible());
    struct Item {
        QAction* action;
        QString shortcut;
        QString toolTip;
    };
    const Item actions[] = {
        {window.clientAction(), "Alt+C", "Enable or disable Client Connection Software"},
        {window.radioAction(), "Alt+W", "Enable or disable Wi-fi Radio"},
        {window.configureGroupsAction(), "Ctrl+G", "Open groups configuration dialog."},
        {window.helpAction(), "F1", "Get the application's help"},
        {window.repairAction(), "Ctrl+R", "Attempt to repair broken connection."},
        {window.extendedLoggingAction(), "", "Start Debugging mode by turning on Packet Capture."},
        {window.aboutAction(), "", "Show the application's About box"},
        {window.connectAction(), "", "Connect to this network"},
        {window.connectExAction(), "", "Connect only to this network, setting Manual Mode."},
        {window.deleteAction(), "", "Delete this network"},
        {window.editAction(), "", "View network properties"},
    };
    for (const Item& item : actions) {
        EXPECT_EQ(item.action->shortcut().toString(), item.shortcut) << item.action->text().toStdString();
        EXPECT_EQ(item.action->toolTip(), item.toolTip);
    }
    EXPECT_EQ(window.extendedLoggingShortcut()->key().toString(), "Alt+Shift+L");

    // Offered nowhere, but working.
    for (QMenu* menu : {window.settingsMenu(), window.groupsMenu(), window.helpMenu(), window.contextMenu()})
        EXPECT_FALSE(menu->actions().contains(window.balloonsAction()));
    QSignalSpy popups(&window, &TrayIconControlDialog::SetPopups);
    window.balloonsAction()->trigger();
    ASSERT_EQ(popups.size(), 1);
    EXPECT_TRUE(popups.first().first().toBool()) << "balloons off: pop-ups";

    EXPECT_EQ(window.statusBar()->findChild<QLabel*>("statusLabel"), window.statusLabel());
    EXPECT_EQ(window.statusLabel()->focusPolicy(), Qt::TabFocus);
}

TEST_F(MainWindowTest, StartedWithAccessItShowsItself) {
    showMainWindowAtStart = true;
    TrayIconControlDialog shown(&model);
    showMainWindowAtStart = false;
    EXPECT_TRUE(shown.isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&shown));
    saveScreenshot(shown, "MainWindow");
}

TEST_F(MainWindowTest, AGroupChoiceEmptiesTheListThenAsksForTheGroup) {
    window.FillNetworkGroup(groups("Office"), ResponseType::GetActiveGroupResponse);
    EXPECT_EQ(texts(window.groupsMenu()->actions()),
              (QStringList{"Office [x]", "Travel", "--", "Configure Groups..."}));
    QSignalSpy mode(&window, &TrayIconControlDialog::AutoMode);
    window.statusLabel()->setText("Connected");

    window.groupsMenu()->actions().at(1)->trigger();

    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(window.statusLabel()->text(), "");
    EXPECT_EQ(described(pipe),
              (QStringList{"setActiveGroupRequest groupName=Travel", "enableAutoconnectRequest",
                           "resendLastNetworkStateEventRequest"}));
    ASSERT_EQ(mode.size(), 1);
    EXPECT_EQ(mode.first(), (QVariantList{true, QString()}));
}

TEST_F(MainWindowTest, AnActiveGroupReplyLeavesTheGroupsMenu) {
    window.FillNetworkGroup(groups("Office"), ResponseType::GetGroupsResponse);
    QSignalSpy tray(&window, &TrayIconControlDialog::setTrayGroupMenu);
    window.FillNetworkGroup(groups("Travel"), ResponseType::SetActiveGroupResponse);
    EXPECT_EQ(texts(window.groupsMenu()->actions()),
              (QStringList{"Office [x]", "Travel", "--", "Configure Groups..."}));
    ASSERT_EQ(tray.size(), 1);
    EXPECT_EQ(tray.first().first().value<GroupItemList>().activeGroup()->name(), "Travel");
    QTreeWidget* tree = window.locations().form().groupTree;
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    EXPECT_EQ(tree->topLevelItem(1)->text(1), "*Active Group*");
}

// The service client reaches the window through a queued connection made by name.
TEST_F(MainWindowTest, GroupListsArriveQueuedByName) {
    registerProtocolTypes();
    ASSERT_TRUE(QMetaObject::invokeMethod(&window, "FillNetworkGroup", Qt::QueuedConnection,
                                          Q_ARG(GroupItemList, groups("Travel")),
                                          Q_ARG(ResponseType, ResponseType::GetActiveGroupResponse)));
    QTRY_COMPARE(texts(window.groupsMenu()->actions()),
                 (QStringList{"Office", "Travel [x]", "--", "Configure Groups..."}));
}

TEST_F(MainWindowTest, DeletingTheManualNetworkReturnsToAutomaticMode) {
    struct Case {
        bool automatic;
        QString current;
        QStringList frames;
    };
    const Case cases[] = {
        {true, "Lab", {"removeNetworkRequest groupName=Office networkName=Lab"}},
        {false, "Lab", {"removeNetworkRequest groupName=Office networkName=Lab", "enableAutoconnectRequest"}},
        {false, "Home", {"removeNetworkRequest groupName=Office networkName=Lab"}},
    };
    for (const Case& c : cases) {
        autoModeFlag = c.automatic;
        setCurrent(c.current);
        pick("Lab");
        EXPECT_TRUE(ui().deleteBtn->isEnabled());
        pipe.clear();
        ui().deleteBtn->click();
        EXPECT_EQ(described(pipe), c.frames);
        EXPECT_FALSE(ui().deleteBtn->isEnabled());
        EXPECT_TRUE(window.contextMenu()->actions().isEmpty());
    }
}

TEST_F(MainWindowTest, SelectionFillsTheContextMenuAndAnActionResetsIt) {
    autoModeFlag = false;
    pick("Lab");
    EXPECT_EQ(texts(window.contextMenu()->actions()),
              (QStringList{"Edit...", "Delete", "Connect", "Connect Exclusively"}));
    EXPECT_EQ(window.selectedNetworkName(), "Lab");
    for (QPushButton* button : {ui().connectBtn, ui().propertiesBtn, ui().deleteBtn})
        EXPECT_TRUE(button->isEnabled());
    pick("Work");
    EXPECT_EQ(texts(window.contextMenu()->actions()),
              (QStringList{"Edit...", "Connect", "Connect Exclusively"}));
    EXPECT_FALSE(ui().deleteBtn->isEnabled());

    window.connectAction()->trigger();
    EXPECT_TRUE(window.contextMenu()->actions().isEmpty());
    EXPECT_FALSE(ui().propertiesBtn->isEnabled());
    EXPECT_TRUE(ui().connectBtn->isEnabled()) << "manual mode keeps Connect";
    autoModeFlag = true;
    pick("Cafe");
    ui().connectBtn->click();
    EXPECT_FALSE(ui().connectBtn->isEnabled());
}

TEST_F(MainWindowTest, ConnectExclusivelyFollowsItsCheck) {
    autoModeFlag = false;
    model.setAutoMode(false, "Lab");
    setCurrent("Lab");
    pick("Home");
    EXPECT_FALSE(window.connectExAction()->isChecked());
    runner.click("Yes");
    window.connectExAction()->trigger();
    EXPECT_EQ(described(pipe),
              (QStringList{"connectToNetworkRequest networkName=Home connectionMode=manual"}))
        << "checked by the trigger: exclusive, no question";
    EXPECT_EQ(runner.unusedSteps(), 1);

    pipe.clear();
    pick("Lab");
    EXPECT_TRUE(window.connectExAction()->isChecked()) << "the manual network";
    window.connectExAction()->trigger();
    EXPECT_EQ(described(pipe), (QStringList{"connectToNetworkRequest networkName=Lab connectionMode=auto",
                                            "enableAutoconnectRequest", "enableAutoconnectRequest"}));
}

TEST_F(MainWindowTest, TheLastStatusWritten) {
    struct Case {
        bool client;
        bool radio;
        QString status;
        QString signalsSeen;
    };
    const Case cases[] = {
        {true, true, "The Wi-fi radio is turned on.", "start"},
        {false, true, "The Wi-fi radio is turned on.", "stop"},
        {true, false, "Wi-Fi disabled", "start radio-off"},
        {false, false, "Wi-Fi disabled", "stop radio-off"},
    };
    for (const Case& c : cases) {
        QStringList seen;
        auto a =
            QObject::connect(&window, &TrayIconControlDialog::StartTimedRequests, [&] { seen << "start"; });
        auto b =
            QObject::connect(&window, &TrayIconControlDialog::StopTimedRequests, [&] { seen << "stop"; });
        auto d =
            QObject::connect(&window, &TrayIconControlDialog::RadioOffSetState, [&] { seen << "radio-off"; });
        QSignalSpy tray(&window, &TrayIconControlDialog::EnableRadioInTray);
        window.setServiceState(c.client, c.radio, false);
        QObject::disconnect(a);
        QObject::disconnect(b);
        QObject::disconnect(d);
        EXPECT_EQ(window.statusLabel()->text(), c.status);
        EXPECT_EQ(seen.join(' '), c.signalsSeen);
        EXPECT_EQ(window.clientAction()->isChecked(), c.client);
        EXPECT_EQ(window.radioAction()->isEnabled(), c.client);
        EXPECT_EQ(window.radioAction()->isChecked(), c.radio);
        EXPECT_EQ(ui().statusBtn->isEnabled(), c.client);
        EXPECT_EQ(window.configureGroupsAction()->isEnabled(), c.client);
        EXPECT_EQ(tray.first().first().toBool(), c.client);
    }
    EXPECT_TRUE(pipe.frames().isEmpty());
}

TEST_F(MainWindowTest, RadioFromTheWindowAndFromTheTray) {
    QSignalSpy trayCheck(&window, &TrayIconControlDialog::setRadioCheckTrayIcon);
    QSignalSpy radioOff(&window, &TrayIconControlDialog::RadioOffSetState);
    window.radioAction()->trigger();
    EXPECT_FALSE(window.radioAction()->isChecked());
    EXPECT_EQ(pipe.methods(), QStringList{"turnOffRadioRequest"});
    EXPECT_EQ(window.statusLabel()->text(), "Wi-Fi disabled");
    EXPECT_EQ(trayCheck.size(), 1) << "the tray's item follows the window";
    EXPECT_EQ(radioOff.size(), 1);
    EXPECT_EQ(model.rowCount(), 5) << "only the configured rows and the separator stay";

    pipe.clear();
    window.TrayRadioCall();
    EXPECT_TRUE(window.radioAction()->isChecked());
    EXPECT_EQ(pipe.methods(), QStringList{"turnOnRadioRequest"});
    EXPECT_EQ(window.statusLabel()->text(), "The Wi-fi radio is turned on.");
    window.TrayRadioCall();
    EXPECT_EQ(trayCheck.size(), 1) << "the tray toggled its own item";
}

TEST_F(MainWindowTest, ClientOffAndOn) {
    QSignalSpy stop(&window, &TrayIconControlDialog::StopTimedRequests);
    QSignalSpy start(&window, &TrayIconControlDialog::StartTimedRequests);
    window.clientAction()->trigger();
    EXPECT_EQ(pipe.methods(), QStringList{"disableTamselRequest"});
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(window.statusLabel()->text(), "Client is Disabled.");
    EXPECT_EQ(stop.size(), 1);
    for (QAction* action : {window.radioAction(), window.repairAction(), window.configureGroupsAction()})
        EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
    for (QPushButton* button : {ui().statusBtn, ui().addSsidBtn, ui().connectBtn, ui().vpnConnectBtn})
        EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
    EXPECT_FALSE(window.groupsMenu()->isEnabled());

    pipe.clear();
    window.TrayClientCall();
    EXPECT_EQ(pipe.methods(), (QStringList{"enableTamselRequest", "getServiceStateRequest"}));
    EXPECT_EQ(window.statusLabel()->text(), "Enabling Client, please wait...");
    EXPECT_EQ(start.size(), 1);
    EXPECT_FALSE(window.clientAction()->isEnabled()) << "until the service has enabled the client";
    window.EnableClientItems();
    EXPECT_TRUE(window.clientAction()->isEnabled());
    EXPECT_TRUE(window.groupsMenu()->isEnabled());
    EXPECT_TRUE(ui().addSsidBtn->isEnabled());
}

TEST_F(MainWindowTest, AltShiftLShowsAndHidesExtendedLogging) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QAction* logging = window.extendedLoggingAction();
    const auto press = [&] { QTest::keyClick(&window, Qt::Key_L, Qt::AltModifier | Qt::ShiftModifier); };

    window.setClientItemsEnabled(false, false);
    press();
    EXPECT_FALSE(logging->isVisible()) << "not before the client items are enabled";

    window.setClientItemsEnabled(true, true);
    press();
    EXPECT_TRUE(logging->isVisible());
    EXPECT_FALSE(logging->isChecked());
    press();
    EXPECT_FALSE(logging->isVisible());

    press();
    logging->trigger();
    EXPECT_EQ(pipe.methods(), QStringList{"enablePacketCaptureRequest"});
    press();
    EXPECT_TRUE(logging->isVisible()) << "a running capture keeps its item";
    logging->trigger();
    EXPECT_EQ(pipe.methods(), (QStringList{"enablePacketCaptureRequest", "disablePacketCaptureRequest"}));
    EXPECT_FALSE(logging->isVisible());
}

TEST_F(MainWindowTest, ATrayChoiceConnectsTheRowOfItsName) {
    const QPair<QString, QStringList> cases[] = {
        {"Lab (Connected)", {"connectToNetworkRequest networkName=Lab connectionMode=auto"}},
        {"Lab (VPN Connected)", {"connectToNetworkRequest networkName=Lab connectionMode=auto"}},
        {"Lab", {"connectToNetworkRequest networkName=Lab connectionMode=auto"}},
        {"Lab (CONNECTED)", {}},
        {"Nowhere", {}},
        {"AutoMode", {"enableAutoconnectRequest"}},
    };
    setCurrent("Home");
    for (const auto& [choice, frames] : cases) {
        // The editor's last row is another network: a choice naming no row must not connect it.
        pick("Desk");
        pipe.clear();
        window.ContextMenuTriggered(choice);
        EXPECT_EQ(described(pipe), frames) << choice.toStdString();
    }
}

TEST_F(MainWindowTest, TheVpnButtonsPaths) {
    giveVpnEntries({"E1", "E2"});
    window.VpnSetState(true);
    window.VpnSetting(&vpn);
    QPushButton* button = ui().vpnConnectBtn;
    EXPECT_FALSE(button->isHidden());
    EXPECT_TRUE(button->isEnabled());

    // Current network without an entry: the VPN dialog asks; Cancel puts the button back.
    setCurrent("Lab");
    button->click();
    EXPECT_TRUE(vpn.isVisible());
    EXPECT_FALSE(button->isEnabled());
    vpn.form().cancelBtn->click();
    EXPECT_EQ(button->text(), "VPN Connect");
    EXPECT_TRUE(button->isEnabled());
    EXPECT_TRUE(pipe.frames().isEmpty());

    // OK stores the choice for the network, then connects.
    button->click();
    vpn.form().vpnComboBox->setCurrentText("E2");
    vpn.form().okBtn->click();
    EXPECT_EQ(button->text(), "VPN Disconnect");
    EXPECT_FALSE(button->isEnabled());
    EXPECT_EQ(described(pipe), (QStringList{"changeNetworkRequest groupName=Office networkName=Lab "
                                            "vpnParameters={connectionEntry=E2 autoConnectVpn=false}",
                                            "connectVpnRequest"}));

    // Connected: the button disconnects, also on suspend and resume.
    pipe.clear();
    window.SetVPNButton(true);
    EXPECT_TRUE(button->isEnabled());
    button->click();
    EXPECT_EQ(pipe.methods(), QStringList{"disconnectVpnRequest"});
    EXPECT_EQ(button->text(), "VPN Connect");
    EXPECT_FALSE(button->isEnabled());
    window.SuspendResumeVpnDisconnect();
    EXPECT_EQ(pipe.methods().size(), 1) << "nothing to disconnect";
    window.SetVPNButton(true);
    window.SuspendResumeVpnDisconnect();
    EXPECT_EQ(pipe.methods(), (QStringList{"disconnectVpnRequest", "disconnectVpnRequest"}));

    // A network with an entry connects at once.
    pipe.clear();
    window.SetVPNButton(false);
    setCurrent("Home");
    button->click();
    EXPECT_EQ(pipe.methods(), QStringList{"connectVpnRequest"});
    EXPECT_FALSE(vpn.isVisible());

    window.enableVpnButton(true);
    EXPECT_TRUE(button->isEnabled());
    window.enableVpnButton(false);
    window.VpnSetState(false);
    EXPECT_TRUE(button->isHidden());
    window.enableVpnButton(true);
    EXPECT_FALSE(button->isEnabled()) << "not capable";
}

TEST_F(MainWindowTest, PolicyAndWirelessReachTheEditorAndItems) {
    AdminPolicy policy;
    ASSERT_TRUE(policy.parse(serviceMessage(
        "getAdministratorPolicyResponse",
        "<sequenceNumber>3</sequenceNumber>\n<administratorPolicy><networkPolicy>"
        "<allowedEapMethods type=\"array\"><eapMethod>eapTls</eapMethod><eapMethod>leap</eapMethod>"
        "</allowedEapMethods></networkPolicy></administratorPolicy>")));
    window.AdminPolicySetting(&policy);
    EXPECT_EQ(window.keyInfo().allowedEapMethods(), (QStringList{"EAP-TLS", "LEAP"}));

    window.NoWireless(true);
    EXPECT_FALSE(window.radioAction()->isVisible());
    EXPECT_FALSE(ui().addSsidBtn->isEnabled());
    window.NoWireless(false);
    EXPECT_TRUE(window.radioAction()->isVisible());
    EXPECT_TRUE(ui().addSsidBtn->isEnabled());

    QSignalSpy repair(&window, &TrayIconControlDialog::Repair);
    window.repairAction()->trigger();
    EXPECT_EQ(repair.size(), 1);
    EXPECT_FALSE(window.repairAction()->isEnabled());
    window.enableRepairAction(true);
    EXPECT_TRUE(window.repairAction()->isEnabled());

    window.LocationEnabled();
    EXPECT_TRUE(window.locationAction()->isVisible());
    QSignalSpy location(&window, &TrayIconControlDialog::ShowLocation);
    window.locationAction()->trigger();
    EXPECT_EQ(location.size(), 1);
}

TEST_F(MainWindowTest, AddSsidAndTheGroupsDialogOpenTheirWindows) {
    ui().addSsidBtn->click();
    EXPECT_TRUE(window.keyInfo().isVisible());
    EXPECT_EQ(window.keyInfo().activeGroup(), "Office");
    EXPECT_FALSE(ui().propertiesBtn->isEnabled()) << "the list's reset disables them again";
    window.keyInfo().close();

    window.configureGroupsAction()->trigger();
    EXPECT_TRUE(window.locations().isVisible());
    window.setClientItemsEnabled(false, false);
    EXPECT_FALSE(window.locations().isVisible());
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(MainWindowTest, HelpAndVisibility) {
    orvik::QtHelp::loadIndex(QStringLiteral(GUI_WINDOWS_HELP_DIR "/windows.xml"));
    TrayIconControlDialog withHelp(&model);
    QSignalSpy visible(&withHelp, &TrayIconControlDialog::visibleChanged);
    withHelp.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&withHelp));
    withHelp.helpAction()->trigger();
    orvik::HelpWidget* page = orvik::QtHelp::instance().helpWindow();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->findChild<QTextBrowser*>("text")->toPlainText().contains("Connect Exclusively"));
    withHelp.close();
    EXPECT_EQ(visible.size(), 2);
    EXPECT_FALSE(visible.last().first().toBool());
}

}  // namespace
}  // namespace tamsel::test
