#include <gtest/gtest.h>

#include <QAction>
#include <QFont>
#include <QSignalSpy>
#include <memory>

#include "gui/windows/AutoModeFlag.h"
#include "gui/windows/DynamicMenu.h"
#include "gui/windows/TrayIcon.h"
#include "tests/gui/support/ServiceMessage.h"
#include "tests/gui/windows/ScanFixture.h"

namespace tamsel::test {
namespace {

// The menu as the user reads it: separators "---", submenus in brackets, checked items with "*".
QStringList texts(const QMenu& menu) {
    QStringList out;
    for (QAction* action : menu.actions()) {
        if (!action->isVisible()) continue;
        if (action->isSeparator()) {
            out << "---";
        } else if (action->menu() != nullptr) {
            out << "[" + action->text() + "]";
        } else {
            out << action->text() + (action->isChecked() ? "*" : "");
        }
    }
    return out;
}

void open(QMenu& menu) {
    emit menu.aboutToShow();
}

QAction* entry(const QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions()) {
        if (action->text() == text) return action;
    }
    return nullptr;
}

// Configured Home, Work, Lab; the separator; scanned Net1..Net9: 13 rows.
std::unique_ptr<ScanModel> thirteenRows() {
    auto model = std::make_unique<ScanModel>();
    QList<ScanEntry> air;
    for (int i = 1; i <= 9; ++i) air << scanned(QString("Net%1").arg(i), {"wep"}, 2);
    update(*model,
           merged({configured("Home", "HomeNet", "wpa2PersonalAes"), configured("Work", "CorpNet", "wep"),
                   configured("Lab", "LabNet", "openNoEncryption")},
                  air));
    return model;
}

const QStringList FIXED_ITEMS = {"&View Available Connections...",
                                 "---",
                                 "&Connection Status...",
                                 "Connect to &VPN",
                                 "[Groups]",
                                 "Enable &Wi-fi Radio*",
                                 "&Repair",
                                 "&About...",
                                 "---",
                                 "&Exit"};

class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override { autoModeFlag = true; }
    void TearDown() override { autoModeFlag = true; }
    TrayIcon tray;
};

TEST_F(TrayIconTest, TheMenuListsElevenNetworksBeforeTheViewItemAndExitLast) {
    EXPECT_EQ(texts(*tray.menu()), QStringList({"&Connect Automatically*", "---"}) + FIXED_ITEMS);
    EXPECT_EQ(tray.menu()->defaultAction(), tray.viewItem());
    EXPECT_EQ(tray.contextMenu(), tray.menu());

    auto model = thirteenRows();
    tray.menu()->setModel(model.get());
    open(*tray.menu());
    const QStringList networks = {"Home", "Work", "Lab",  "-------", "Net1", "Net2",
                                  "Net3", "Net4", "Net5", "Net6",    "Net7"};
    EXPECT_EQ(texts(*tray.menu()), QStringList({"&Connect Automatically*", "---"}) + networks + FIXED_ITEMS);
    // Opening again lists them once.
    open(*tray.menu());
    EXPECT_EQ(texts(*tray.menu()).size(), 2 + networks.size() + FIXED_ITEMS.size());
    // Without a model the menu has its fixed items only.
    model.reset();
    open(*tray.menu());
    EXPECT_EQ(texts(*tray.menu()), QStringList({"&Connect Automatically*", "---"}) + FIXED_ITEMS);
}

TEST_F(TrayIconTest, ANetworkEntryCarriesItsStatusToTheController) {
    ScanModel model;
    update(model, merged({configured("Lab", "LabNet", "wep"), configured("Home", "HomeNet", "wep")},
                         {scanned("Cafe", {"openNoEncryption"}, 3)}));
    model.updateStatus(stateEvent("Lab", "Connected"));
    tray.menu()->setModel(&model);
    QSignalSpy chosen(&tray, &TrayIcon::contextMenuTrigger);

    open(*tray.menu());
    ASSERT_NE(entry(*tray.menu(), "Lab (Connected)"), nullptr);
    entry(*tray.menu(), "Lab (Connected)")->trigger();
    entry(*tray.menu(), "Cafe")->trigger();
    // The separator row is listed but says nothing.
    entry(*tray.menu(), "-------")->trigger();
    ASSERT_EQ(chosen.size(), 2);
    EXPECT_EQ(chosen.at(0).first().toString(), "Lab (Connected)");
    EXPECT_EQ(chosen.at(1).first().toString(), "Cafe");

    model.updateStatus(stateEvent("Home", "VPN Connected"));
    open(*tray.menu());
    EXPECT_NE(entry(*tray.menu(), "Home (VPN Connected)"), nullptr);
    EXPECT_NE(entry(*tray.menu(), "Lab"), nullptr);
}

TEST_F(TrayIconTest, EachItemSendsItsSignal) {
    struct Case {
        QAction* item;
        void (TrayIcon::*signal)();
    };
    const Case cases[] = {
        {tray.viewItem(), &TrayIcon::actionMore},        {tray.aboutItem(), &TrayIcon::aboutAction},
        {tray.exitItem(), &TrayIcon::quitAction},        {tray.repairItem(), &TrayIcon::repairAction},
        {tray.statusItem(), &TrayIcon::statusAction},    {tray.radioItem(), &TrayIcon::radioAction},
        {tray.groupsItem(), &TrayIcon::configureGroups}, {tray.vpnItem(), &TrayIcon::connectVPN},
    };
    for (const Case& c : cases) {
        QSignalSpy spy(&tray, c.signal);
        c.item->trigger();
        EXPECT_EQ(spy.size(), 1) << c.item->text().toStdString();
    }
}

TEST_F(TrayIconTest, TheAutomaticItemFollowsTheServiceAndAsksOnlyInManualMode) {
    QSignalSpy chosen(&tray, &TrayIcon::contextMenuTrigger);
    tray.autoItem()->trigger();
    EXPECT_TRUE(tray.autoItem()->isChecked());
    EXPECT_TRUE(chosen.isEmpty());

    tray.autoMode(false);
    tray.autoItem()->trigger();
    EXPECT_FALSE(tray.autoItem()->isChecked());
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen.first().first().toString(), "AutoMode");
    tray.autoMode(true);
    EXPECT_TRUE(tray.autoItem()->isChecked());
}

TEST_F(TrayIconTest, GroupsListTheServicesGroupsWithTheActiveOneChecked) {
    GroupItemList groups;
    ASSERT_TRUE(groups.parse(serviceMessage(
        "getGroupsResponse",
        "<sequenceNumber>3</sequenceNumber>\n<groupList type=\"array\">\n<groupName>Office</groupName>\n"
        "<groupName>Travel</groupName>\n</groupList>")));
    ASSERT_TRUE(groups.setActiveGroup(serviceMessage(
        "getActiveGroupResponse", "<sequenceNumber>4</sequenceNumber>\n<groupName>Travel</groupName>")));
    tray.addGroups(groups);
    EXPECT_EQ(texts(*tray.groupsMenu()), (QStringList{"Office", "Travel*", "---", "Configure &Groups..."}));
    tray.addGroups(groups);
    EXPECT_EQ(texts(*tray.groupsMenu()).size(), 4);

    QSignalSpy change(&tray, &TrayIcon::ActiveGroupChange);
    entry(*tray.groupsMenu(), "Office")->trigger();
    ASSERT_EQ(change.size(), 1);
    EXPECT_EQ(change.first().first().toString(), "Office");

    tray.enableDisableGroups(false);
    EXPECT_FALSE(tray.groupsMenu()->menuAction()->isEnabled());
}

TEST_F(TrayIconTest, TheControllersSlotsSetTheItems) {
    tray.setVpnDisconnect();
    EXPECT_EQ(tray.vpnItem()->text(), "VPN Disconnect");
    tray.setVpnConnect();
    EXPECT_EQ(tray.vpnItem()->text(), "VPN Connect");
    tray.vpnVisible(false);
    tray.vpnEnabled(false);
    tray.statusEnable(false);
    tray.EnableAutoMenu(false);
    EXPECT_FALSE(tray.vpnItem()->isVisible());
    EXPECT_FALSE(tray.vpnItem()->isEnabled());
    EXPECT_FALSE(tray.statusItem()->isEnabled());
    EXPECT_FALSE(tray.autoItem()->isEnabled());

    tray.enableRadioItem(false);
    EXPECT_FALSE(tray.radioItem()->isEnabled());
    EXPECT_FALSE(tray.repairItem()->isEnabled());
    tray.EnableRepairMenu(true);
    EXPECT_TRUE(tray.repairItem()->isEnabled());
    EXPECT_FALSE(tray.radioItem()->isEnabled());

    tray.checkRadio();
    EXPECT_FALSE(tray.radioItem()->isChecked());
    tray.setRadioChecked(true);
    EXPECT_TRUE(tray.radioItem()->isChecked());
    tray.noRadio(true);
    EXPECT_FALSE(tray.radioItem()->isVisible());
    tray.noRadio(false);
    EXPECT_TRUE(tray.radioItem()->isVisible());

    tray.updateToolTip("Varnel Tamsel: Wi-Fi disabled");
    EXPECT_EQ(tray.toolTip(), "Varnel Tamsel: Wi-Fi disabled");
    tray.updateIcon(QIcon(":/Icons/red"));
    EXPECT_FALSE(tray.icon().isNull());
}

TEST_F(TrayIconTest, BalloonsAreKeptForReading) {
    tray.showBalloon("PIN Request", "The network is requesting a PIN", QSystemTrayIcon::Information, 15000);
    ASSERT_EQ(tray.balloons().balloons().size(), 1);
    const Balloon shown = tray.balloons().last();
    EXPECT_EQ(shown.title, "PIN Request");
    EXPECT_EQ(shown.text, "The network is requesting a PIN");
    EXPECT_EQ(shown.icon, QSystemTrayIcon::Information);
    EXPECT_EQ(shown.msecs, 15000);
    for (int i = 0; i < BalloonRecorder::KEPT + 3; ++i)
        tray.showBalloon(QString::number(i), "", QSystemTrayIcon::NoIcon, 1);
    EXPECT_EQ(tray.balloons().balloons().size(), BalloonRecorder::KEPT);
    EXPECT_EQ(tray.balloons().last().title, QString::number(BalloonRecorder::KEPT + 2));
}

TEST(DynamicMenuTest, EntriesComeFromTheModelAtTheChosenPlace) {
    auto model = thirteenRows();
    model->setData(model->index(4, ScanModel::NameColumn), Qt::Checked, Qt::CheckStateRole);
    DynamicMenu menu;
    menu.addAction("first");
    QAction* anchor = menu.addAction("anchor");
    menu.setModel(model.get());
    menu.setMaxCount(5);

    open(menu);
    EXPECT_EQ(texts(menu), (QStringList{"Home", "Work", "Lab", "-------", "Net1*", "first", "anchor"}));
    // The configured rows' bold font comes along.
    EXPECT_TRUE(menu.dynamicActions().at(0)->font().bold());
    EXPECT_FALSE(menu.dynamicActions().at(4)->font().bold());
    EXPECT_TRUE(menu.dynamicActions().at(4)->isCheckable());
    menu.setInsertionMode(DynamicMenu::InsertAtEnd);
    open(menu);
    EXPECT_EQ(texts(menu), (QStringList{"first", "anchor", "Home", "Work", "Lab", "-------", "Net1*"}));
    menu.setAnchorAction(anchor);
    menu.setMaxCount(0);
    open(menu);
    EXPECT_EQ(texts(menu).size(), 15);
    EXPECT_EQ(texts(menu).first(), "first");
    EXPECT_EQ(texts(menu).last(), "anchor");
}

}  // namespace
}  // namespace tamsel::test
