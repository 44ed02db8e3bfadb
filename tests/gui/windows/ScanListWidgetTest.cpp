#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QTest>

#include "gui/windows/AutoModeFlag.h"
#include "gui/windows/CustomDelegate.h"
#include "gui/windows/ScanListWidget.h"
#include "tests/gui/support/Screenshot.h"
#include "tests/gui/windows/ScanFixture.h"

namespace tamsel::test {
namespace {

// Rows: Home (user), Work (administrator), Desk (wired), the separator, Cafe (scanned).
class ScanListWidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        autoModeFlag = true;
        update(model, merged({configured("Home", "HomeNet", "wpa2PersonalAes"),
                              configured("Work", "CorpNet", "wpa2EnterpriseAes", "administrator"),
                              configured("Desk", "", "")},
                             {scanned("Cafe", {"openNoEncryption"}, 3)}));
        ASSERT_EQ(model.rowCount(), 5);
        list.setScanModel(&model);
        list.resize(600, 300);
    }
    void TearDown() override { autoModeFlag = true; }

    QModelIndex viewIndex(int row) const { return list.model()->index(row, ScanModel::NameColumn); }

    // The last value each enable signal carried while `action` ran; "-" for one not emitted.
    QString enabling(const std::function<void()>& action) {
        QSignalSpy properties(&list, &ScanListWidget::EnablePropertiesBtn);
        QSignalSpy connect(&list, &ScanListWidget::EnableConnectBtn);
        QSignalSpy connectEx(&list, &ScanListWidget::EnableConnectExBtn);
        QSignalSpy checkEx(&list, &ScanListWidget::CheckConnectExBtn);
        QSignalSpy remove(&list, &ScanListWidget::EnableDeleteBtn);
        action();
        QString out;
        for (QSignalSpy* spy : {&properties, &connect, &connectEx, &checkEx, &remove}) {
            out += spy->isEmpty() ? QStringLiteral("-") : (spy->last().first().toBool() ? "1" : "0");
        }
        return out;
    }

    ScanModel model;
    ScanListWidget list;
};

TEST_F(ScanListWidgetTest, ShowsConnectionSignalSecurityAndStatusOnly) {
    EXPECT_EQ(list.windowTitle(), "Scan List");
    EXPECT_EQ(list.proxy()->sourceModel(), &model);
    QStringList shown;
    for (int column = 0; column < ScanModel::ColumnCount; ++column) {
        if (!list.isColumnHidden(column)) shown << model.headerData(column, Qt::Horizontal).toString();
    }
    EXPECT_EQ(shown, (QStringList{"Connection", "Signal", "Security", "Status"}));
    EXPECT_EQ(list.columnWidth(0), 110);
    EXPECT_EQ(list.columnWidth(2), 100);
    EXPECT_EQ(list.columnWidth(3), 120);
    // The last column also takes the room left over.
    EXPECT_GE(list.columnWidth(4), 130);
    EXPECT_EQ(list.iconSize(), QSize(200, 20));
    EXPECT_EQ(list.editTriggers(), QAbstractItemView::NoEditTriggers);
}

// Signals in the order properties, connect, connect-exclusive, its check, delete.
TEST_F(ScanListWidgetTest, TheSelectedRowEnablesTheButtonsThatApply) {
    struct Case {
        const char* what;
        int row;
        QString current;
        QString manual;
        QString expected;
    };
    const Case cases[] = {
        {"scanned", 4, "", "", "01--0"},
        {"configured, nothing current", 0, "", "", "11101"},
        {"configured by the administrator", 1, "Home", "", "11100"},
        {"the manual network", 0, "Home", "Home", "11111"},
        {"wireless while a wired network is current", 0, "Desk", "", "10101"},
        {"wired while a wired network is current", 2, "Desk", "", "11101"},
        {"separator", 3, "", "", "000-0"},
    };
    for (const Case& c : cases) {
        autoModeFlag = c.manual.isEmpty();
        model.setAutoMode(autoModeFlag, c.manual);
        model.removeScanRows();
        update(model, merged({configured("Home", "HomeNet", "wpa2PersonalAes"),
                              configured("Work", "CorpNet", "wpa2EnterpriseAes", "administrator"),
                              configured("Desk", "", "")},
                             {scanned("Cafe", {"openNoEncryption"}, 3)}));
        if (!c.current.isEmpty()) model.updateStatus(stateEvent(c.current, "Connected"));
        EXPECT_EQ(enabling([&] { list.on_activated(viewIndex(c.row)); }), c.expected) << c.what;
    }
}

TEST_F(ScanListWidgetTest, ActivationHandsTheModelsRowToTheEditorAndTheWindow) {
    QSignalSpy keyInfo(&list, &ScanListWidget::MapKeyInfoData);
    QSignalSpy network(&list, &ScanListWidget::MapNetworkData);
    list.on_activated(viewIndex(1));
    ASSERT_EQ(keyInfo.size(), 1);
    ASSERT_EQ(network.size(), 1);
    EXPECT_EQ(keyInfo.first().at(0).value<ScanModel*>(), &model);
    const QModelIndex index = network.first().at(1).value<QModelIndex>();
    EXPECT_EQ(index.model(), &model);
    EXPECT_EQ(index.row(), 1);
}

TEST_F(ScanListWidgetTest, ReturnConnectsTheRowButKeypadEnterDoesNot) {
    QSignalSpy connect(&list, &ScanListWidget::ProcessConnectDlg);
    QSignalSpy network(&list, &ScanListWidget::MapNetworkData);
    list.setCurrentIndex(viewIndex(4));
    network.clear();

    QTest::keyClick(&list, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(connect.isEmpty());
    QTest::keyClick(&list, Qt::Key_Return);
    ASSERT_EQ(connect.size(), 1);
    EXPECT_FALSE(connect.first().first().toBool());
    EXPECT_EQ(network.last().at(1).value<QModelIndex>().row(), 4);

    // Moving through the list activates each row in turn.
    network.clear();
    QTest::keyClick(&list, Qt::Key_Up);
    QTest::keyClick(&list, Qt::Key_Space);
    ASSERT_EQ(network.size(), 2);
    EXPECT_EQ(network.at(0).at(1).value<QModelIndex>().row(), 2);
    EXPECT_EQ(connect.size(), 1);

    emit list.doubleClicked(viewIndex(0));
    EXPECT_EQ(connect.size(), 2);
}

TEST_F(ScanListWidgetTest, ARightClickEmptiesTheMenuFillsItAndShowsIt) {
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    list.setItemDelegate(new CustomDelegate(&list));
    saveScreenshot(list, "ScanListWidget");
    QStringList order;
    QObject::connect(&list, &ScanListWidget::ClearMenu, [&] { order << "clear"; });
    QObject::connect(&list, &ScanListWidget::EnablePropertiesBtn,
                     [&](bool on) { order << QString("properties %1").arg(on); });
    QObject::connect(&list, &ScanListWidget::ShowMenu, [&] { order << "show"; });
    const QPoint where = list.visualRect(viewIndex(0)).center();
    QTest::mouseClick(list.viewport(), Qt::RightButton, Qt::NoModifier, where);
    EXPECT_EQ(order, (QStringList{"clear", "properties 1", "show"}));

    // A left click afterwards shows no menu.
    order.clear();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, where);
    EXPECT_FALSE(order.contains("show"));
    EXPECT_TRUE(order.contains("properties 1"));
}

TEST(ScanListWidgetEmpty, KeysInAnEmptyListEnableNothing) {
    ScanModel model;
    ScanListWidget list;
    list.setScanModel(&model);
    QSignalSpy connect(&list, &ScanListWidget::EnableConnectBtn);
    QSignalSpy network(&list, &ScanListWidget::MapNetworkData);
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Space, Qt::Key_Return}) QTest::keyClick(&list, key);
    EXPECT_TRUE(connect.isEmpty());
    EXPECT_TRUE(network.isEmpty());
}

TEST_F(ScanListWidgetTest, AResetClearsTheSelectionAndDisablesTheButtons) {
    list.selectionModel()->select(viewIndex(0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    ASSERT_TRUE(list.selectionModel()->hasSelection());
    EXPECT_EQ(enabling([&] { model.emitListReset(); }), "00--0");
    EXPECT_FALSE(list.selectionModel()->hasSelection());
    // Only a reset does.
    list.selectionModel()->select(viewIndex(0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(enabling([&] { emit model.ScanListChanged(2); }), "-----");
    EXPECT_TRUE(list.selectionModel()->hasSelection());
}

// A refill that takes the selected row away (a rename, a delete) leaves no row selected and the
// buttons off; one that keeps it keeps both.
TEST_F(ScanListWidgetTest, TheSelectionAndTheButtonsStayOneStateWhenTheListIsRefilled) {
    list.show();
    const auto click = [&](int row) {
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(viewIndex(row)).center());
    };
    const auto selectedRows = [&] {
        QStringList names;
        for (const QModelIndex& index : list.selectionModel()->selectedRows())
            names << model.text(index.row(), ScanModel::NameColumn);
        return names;
    };
    const NetworkItem work = configured("Work", "CorpNet", "wpa2EnterpriseAes", "administrator");
    const NetworkItem desk = configured("Desk", "", "");
    const QList<ScanEntry> air = {scanned("Cafe", {"openNoEncryption"}, 3)};

    EXPECT_EQ(enabling([&] { click(0); }), "11101");
    ASSERT_EQ(selectedRows(), QStringList{"Home"});
    EXPECT_EQ(enabling([&] {
                  update(model, merged({configured("Home2", "HomeNet", "wpa2PersonalAes"), work, desk}, air));
              }),
              "00--0")
        << "renamed";
    EXPECT_EQ(selectedRows(), QStringList());
    EXPECT_FALSE(list.currentIndex().isValid());

    click(1);
    ASSERT_EQ(selectedRows(), QStringList{"Work"});
    EXPECT_EQ(enabling([&] {
                  update(model, merged({configured("Home2", "HomeNet", "wpa2PersonalAes"), desk}, air));
              }),
              "00--0")
        << "deleted";
    EXPECT_EQ(selectedRows(), QStringList());

    click(1);
    ASSERT_EQ(selectedRows(), QStringList{"Desk"});
    EXPECT_EQ(enabling([&] {
                  update(model, merged({configured("Home2", "HomeNet", "wpa2PersonalAes"), desk,
                                        configured("Lab", "LabNet", "wpa2PersonalAes")},
                                       air));
              }),
              "-----")
        << "added after the selected row";
    EXPECT_EQ(selectedRows(), QStringList{"Desk"});
}

TEST(CustomDelegateTest, TheSeparatorRowIsOneLineAcrossTheCell) {
    ScanModel model;
    update(model, merged({configured("Home", "HomeNet", "wpa2PersonalAes")}, {scanned("Cafe", {"wep"}, 3)}));
    CustomDelegate delegate;
    const auto paint = [&](int row, int column) {
        QImage image(40, 11, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QStyleOptionViewItem option;
        option.rect = QRect(0, 0, 40, 11);
        option.state = QStyle::State_Enabled;
        option.palette.setColor(QPalette::Text, Qt::black);
        option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
        delegate.paint(&painter, option, model.index(row, column));
        return image;
    };
    const auto dark = [](const QImage& image, int y) {
        int count = 0;
        for (int x = 0; x < image.width(); ++x) count += qGray(image.pixel(x, y)) < 128;
        return count;
    };
    for (int column : {0, 3}) {
        const QImage separator = paint(1, column);
        EXPECT_EQ(dark(separator, 5), 40) << column;
        EXPECT_EQ(dark(separator, 2) + dark(separator, 8), 0) << column;
    }
    // Other rows are drawn as text: no line across the middle, but something.
    for (int row : {0, 2}) {
        const QImage cell = paint(row, 0);
        int drawn = 0;
        for (int y = 0; y < cell.height(); ++y) {
            for (int x = 0; x < cell.width(); ++x) drawn += cell.pixel(x, y) != qRgb(255, 255, 255);
        }
        EXPECT_LT(dark(cell, 5), 40) << row;
        EXPECT_GT(drawn, 0) << row;
    }
}

}  // namespace
}  // namespace tamsel::test
