#include <gtest/gtest.h>

#include <QIcon>
#include <QSignalSpy>

#include "gui/windows/AutoModeFlag.h"
#include "gui/windows/ScanModel.h"
#include "tests/gui/windows/ScanFixture.h"

namespace tamsel::test {
namespace {

const QString WPA2E = QStringLiteral("wpa2EnterpriseAes");
const QString WPA2P = QStringLiteral("wpa2PersonalAes");

class ScanModelTest : public ::testing::Test {
protected:
    void SetUp() override { autoModeFlag = true; }
    void TearDown() override { autoModeFlag = true; }

    QList<NetworkItem> office = {
        configured("Work", "CorpNet", WPA2E, "administrator"),
        configured("Home", "HomeNet", WPA2P),
        configured("Lab", "LabNet", "openNoEncryption"),
    };
    QList<ScanEntry> air = {
        scanned("CorpNet", {WPA2E}, 4),
        scanned("Cafe", {"openNoEncryption"}, 3),
        scanned("OldNet", {"wep"}, 2),
    };
    ScanModel model;
};

TEST_F(ScanModelTest, RowsFollowEachMergedList) {
    EXPECT_EQ(model.columnCount(), 14);
    // The caller's list stays whole: the service client keeps it.
    MergeItemList first = merged(office, air);
    model.UpdateScanModel(&first);
    EXPECT_EQ(first.count(), 6);
    EXPECT_EQ(rows(model), (QStringList{"Work*|L0|WPA2-Enterprise|", "Home*|L0|WPA2-Personal|",
                                        "Lab*|L0|Open(non-secured)|", "-------|L0||",
                                        "Cafe|L3|Open(non-secured)|", "OldNet|L2|WEP|"}));

    // The next scan: levels reach the configured rows; new secured networks land before WEP.
    air << scanned("Flat", {WPA2P, "wep"}, 5) << scanned("Attic", {"wpaPersonalTkip"}, 1);
    update(model, merged(office, air));
    EXPECT_EQ(rows(model),
              (QStringList{"Work*|L4|WPA2-Enterprise|", "Home*|L0|WPA2-Personal|",
                           "Lab*|L0|Open(non-secured)|", "-------|L0||", "Cafe|L3|Open(non-secured)|",
                           "Flat|L5|WPA2-Personal|", "Attic|L1|WPA-Personal|", "OldNet|L2|WEP|"}));
    EXPECT_EQ(model.index(5, ScanModel::ModesColumn).data().toString(), "WPA2-Personal-AES WEP");

    // A network gone from the air goes; the first configured one deleted on the service.
    air.removeAt(1);
    office.removeFirst();
    update(model, merged(office, air));
    EXPECT_EQ(rows(model), (QStringList{"Home*|L0|WPA2-Personal|", "Lab*|L0|Open(non-secured)|",
                                        "-------|L0||", "Flat|L5|WPA2-Personal|", "Attic|L1|WPA-Personal|",
                                        "OldNet|L2|WEP|", "CorpNet|L4|WPA2-Enterprise|"}));
    // An empty list changes nothing.
    update(model, MergeItemList());
    EXPECT_EQ(model.rowCount(), 7);
}

TEST_F(ScanModelTest, ConfiguredRowsAreUpdatedInPlaceButTheCurrentOnesLevel) {
    update(model, merged(office, air));
    model.updateStatus(stateEvent("Work", "Connected", "-68", "6"));
    ASSERT_EQ(model.currentRow(), 0);
    office[0].autoConnectVpn = true;
    office[0].connectionEntry = "corp-vpn";
    office[1].eapMethod = "eapPeap";
    office[1].credentialType = "password";
    office[1].runScriptSpec = "/opt/home.sh";
    air << scanned("HomeNet", {WPA2P}, 2);
    update(model, merged(office, air));

    EXPECT_EQ(model.index(0, ScanModel::AutoConnectVpnColumn).data().toBool(), true);
    EXPECT_EQ(model.currentRowConnectionEntry(), "corp-vpn");
    EXPECT_EQ(model.text(1, ScanModel::EapMethodColumn), "eapPeap");
    EXPECT_EQ(model.text(1, ScanModel::CredentialTypeColumn), "password");
    EXPECT_EQ(model.text(1, ScanModel::RunScriptColumn), "/opt/home.sh");
    // The current row keeps the level of its state event (-68 dBm on channel 6), not the scan's 4.
    EXPECT_EQ(rows(model).mid(0, 2),
              (QStringList{"Work*|L3|WPA2-Enterprise|Connected", "Home*|L2|WPA2-Personal|"}));
    EXPECT_EQ(model.currentRowCreator(), "administrator");
}

TEST_F(ScanModelTest, TheSeparatorStaysBetweenConfiguredAndScannedRowsAndCannotBeSelected) {
    // A wired network has no SSID; the separator has none either.
    office << configured("Desk", "", "");
    update(model, merged(office, air));
    update(model, merged(office, air));
    air << scanned("Zeta", {"openNoEncryption"}, 1);
    update(model, merged(office, air));
    EXPECT_EQ(rows(model),
              (QStringList{"Work*|L4|WPA2-Enterprise|", "Home*|L0|WPA2-Personal|",
                           "Lab*|L0|Open(non-secured)|", "Desk*|L0||", "-------|L0||",
                           "Cafe|L3|Open(non-secured)|", "Zeta|L1|Open(non-secured)|", "OldNet|L2|WEP|"}));
    const Qt::ItemFlags usable = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    for (int row = 0; row < model.rowCount(); ++row) {
        const bool separator = row == 4;
        EXPECT_EQ(model.flags(model.index(row, ScanModel::SignalColumn)) & usable,
                  separator ? Qt::ItemFlags() : usable)
            << row;
    }
}

TEST_F(ScanModelTest, SignalIconsByLevelAndMedium) {
    office << configured("Desk", "", "");
    air << scanned("Quiet", {"wep"}, 0) << scanned("Loud", {"wep"}, 5) << scanned("Far", {"wep"}, 1);
    // Configured rows take their levels from the second list on.
    update(model, merged(office, air));
    update(model, merged(office, air));
    model.setData(model.index(3, ScanModel::SignalColumn), 5);

    const auto icon = [this](const QString& name) {
        for (int row = 0; row < model.rowCount(); ++row) {
            if (model.text(row, ScanModel::NameColumn) == name)
                return model.index(row, ScanModel::SignalColumn).data(Qt::DecorationRole).value<QIcon>();
        }
        return QIcon();
    };
    const auto same = [](const QIcon& icon, const char* path) {
        return icon.pixmap(60, 20).toImage() == QIcon(path).pixmap(60, 20).toImage();
    };
    EXPECT_TRUE(same(icon("Desk"), ":/Icons/Resources/Wired.png"));  // level 5, no SSID
    EXPECT_TRUE(same(icon("Quiet"), ":/Icons/Resources/Empty.png"));
    EXPECT_TRUE(same(icon("Loud"), ":/Icons/Resources/Excellent.png"));
    EXPECT_TRUE(same(icon("Far"), ":/Icons/Resources/VeryLow.png"));
    EXPECT_TRUE(same(icon("Cafe"), ":/Icons/Resources/Good.png"));
    EXPECT_TRUE(same(icon("Work"), ":/Icons/Resources/VeryGood.png"));
    EXPECT_FALSE(same(icon("Quiet"), ":/Icons/Resources/Wired.png"));
    // The level shows as a picture only.
    EXPECT_FALSE(model.index(0, ScanModel::SignalColumn).data(Qt::DisplayRole).isValid());
    EXPECT_EQ(model.index(0, ScanModel::SignalColumn).data(Qt::UserRole).toInt(), 4);
}

TEST_F(ScanModelTest, StateEventsMarkTheCurrentConfiguredNetworkOnly) {
    EXPECT_EQ(model.currentRow(), -1);
    update(model, merged(office, air));
    EXPECT_EQ(model.currentRow(), -1);
    EXPECT_EQ(model.currentRowName(), "");

    model.updateStatus(stateEvent("Home", "Authenticating", "-60", "36"));
    EXPECT_EQ(model.currentRowName(), "Home");
    EXPECT_EQ(model.currentRowSsid(), "HomeNet");
    EXPECT_EQ(model.statusText(), "Authenticating");
    EXPECT_EQ(model.signalDbm(), "-60");
    EXPECT_EQ(model.channel(), "36");
    EXPECT_EQ(rows(model)[1], "Home*|L3|WPA2-Personal|Authenticating");

    model.updateStatus(stateEvent("Lab", "Connected", "0", "1"));
    EXPECT_EQ(rows(model).mid(0, 3), (QStringList{"Work*|L0|WPA2-Enterprise|", "Home*|L0|WPA2-Personal|",
                                                  "Lab*|L0|Open(non-secured)|Connected"}));

    // A scanned network below the separator is not the current network.
    model.setData(model.index(4, ScanModel::StatusColumn), "kept");
    model.updateStatus(stateEvent("Cafe", "Connected", "-40", "6"));
    EXPECT_EQ(model.currentName(), "");
    EXPECT_EQ(model.statusText(), "Connected");
    EXPECT_EQ(model.index(2, ScanModel::StatusColumn).data().toString(), "");
    EXPECT_EQ(model.index(4, ScanModel::StatusColumn).data().toString(), "kept");

    model.updateStatus(stateEvent("", "Searching for adapter"));
    EXPECT_EQ(model.statusText(), "Searching for adapter");
    // A row inserted for the current network shows its status at once.
    model.updateStatus(stateEvent("Home", "Associating"));
    model.clearAll();
    model.updateStatus(stateEvent("Home", "Associating"));
    update(model, merged(office, air));
    EXPECT_EQ(model.index(1, ScanModel::StatusColumn).data().toString(), "");
}

TEST_F(ScanModelTest, TheManualNetworkIsChecked) {
    update(model, merged(office, air));
    autoModeFlag = false;
    model.setAutoMode(false, "Home");
    EXPECT_EQ(model.manualNetworkName(), "Home");
    EXPECT_EQ(rows(model)[1], "Home*[x]|L0|WPA2-Personal|");
    EXPECT_EQ(rows(model).filter("[x]").size(), 1);

    // Absent from the rows: no row is checked.
    model.setAutoMode(false, "Elsewhere");
    EXPECT_TRUE(rows(model).filter("[x]").isEmpty());
    // A state event of the manual network checks it again; so does its row being rebuilt.
    model.setAutoMode(false, "Lab");
    model.setData(model.index(2, ScanModel::NameColumn), Qt::Unchecked, Qt::CheckStateRole);
    model.updateStatus(stateEvent("Lab", "Connected"));
    EXPECT_EQ(rows(model)[2], "Lab*[x]|L0|Open(non-secured)|Connected");
    office.removeFirst();
    update(model, merged(office, air));
    EXPECT_EQ(rows(model)[1], "Lab*[x]|L0|Open(non-secured)|Connected");

    autoModeFlag = true;
    model.setAutoMode(true, "Lab");
    EXPECT_TRUE(rows(model).filter("[x]").isEmpty());
    EXPECT_EQ(model.manualNetworkName(), "");
}

TEST_F(ScanModelTest, EveryResetForgetsTheCurrentNetworkAndTellsTheView) {
    struct Case {
        const char* name;
        void (ScanModel::*reset)();
        QStringList rows;
    };
    const Case cases[] = {
        {"removeScanRows",
         &ScanModel::removeScanRows,
         {"Work*|L0|WPA2-Enterprise|", "Home*|L0|WPA2-Personal|", "Desk*|L0||"}},
        {"clearScanResults",
         &ScanModel::clearScanResults,
         {"Work*|L0|WPA2-Enterprise|", "Home*|L0|WPA2-Personal|", "Desk*|L5||Connected", "-------|L0||"}},
        {"clearAll", &ScanModel::clearAll, {}},
    };
    for (const Case& c : cases) {
        ScanModel model;
        update(model, merged({office[0], office[1], configured("Desk", "", "")}, air));
        model.updateStatus(stateEvent("Desk", "Connected", "-40", "6"));
        ASSERT_EQ(model.currentRow(), 2);
        QSignalSpy resets(&model, &ScanModel::ScanListChanged);
        (model.*c.reset)();
        EXPECT_EQ(rows(model), c.rows) << c.name;
        ASSERT_EQ(resets.size(), 1) << c.name;
        EXPECT_EQ(resets.first().first().toInt(), -1) << c.name;
        EXPECT_EQ(model.currentRow(), -1) << c.name;
        EXPECT_EQ(model.currentName() + model.statusText() + model.signalDbm() + model.channel(), "")
            << c.name;
    }
}

}  // namespace
}  // namespace tamsel::test
