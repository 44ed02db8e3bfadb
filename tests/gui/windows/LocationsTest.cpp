#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMap>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTranslator>

#include "gui/client/GroupItemList.h"
#include "gui/orvik/HelpWidget.h"
#include "gui/orvik/QtHelp.h"
#include "gui/windows/Locations.h"
#include "gui/windows/LocationsForm.h"
#include "tests/gui/support/QtPrinters.h"
#include "tests/gui/support/RecordingTransport.h"
#include "tests/gui/support/Screenshot.h"
#include "tests/gui/support/ScriptedModalRunner.h"
#include "tests/gui/support/ServiceMessage.h"
#include "tests/gui/windows/GroupFixture.h"
#include "tests/gui/windows/KeyInfoFixture.h"

namespace tamsel::test {
namespace {

// [G1 active: A administrator global, B user; G2: C user]
const Groups STANDARD = {{"G1", {network("A", "administrator", true), network("B")}}, {"G2", {network("C")}}};

class LocationsTest : public ::testing::Test {
protected:
    void SetUp() override { use(STANDARD); }

    void use(const Groups& groups) {
        list = groupList(groups, "G1");
        dialog.fill(&list);
        dialog.showDialog();
        pipe.clear();
    }

    // A row by its name, or by "group/network" where names repeat.
    QTreeWidgetItem* row(const QString& path) const {
        QTreeWidget* tree = dialog.form().groupTree;
        if (path.contains('/')) {
            const QStringList parts = path.split('/');
            for (QTreeWidgetItem* group : tree->findItems(parts.first(), Qt::MatchExactly)) {
                for (int i = 0; i < group->childCount(); ++i) {
                    if (group->child(i)->text(0) == parts.last()) return group->child(i);
                }
            }
            ADD_FAILURE() << "no row " << path.toStdString();
            return nullptr;
        }
        const QList<QTreeWidgetItem*> found = tree->findItems(path, Qt::MatchExactly | Qt::MatchRecursive);
        EXPECT_EQ(found.size(), 1) << path.toStdString();
        return found.value(0);
    }
    void select(const QString& name) { dialog.form().groupTree->setCurrentItem(row(name)); }

    // One line per row: name and the two other columns, networks indented.
    QStringList rows() const {
        QStringList out;
        QTreeWidget* tree = dialog.form().groupTree;
        for (QTreeWidgetItemIterator it(tree); *it != nullptr; ++it) {
            const QTreeWidgetItem* item = *it;
            out << QStringLiteral("%1%2|%3|%4")
                       .arg(item->parent() != nullptr ? "  " : "", item->text(0), item->text(1),
                            item->text(2));
        }
        return out;
    }

    QString selected() const {
        const QList<QTreeWidgetItem*> items = dialog.form().groupTree->selectedItems();
        if (items.isEmpty()) return QString();
        const QTreeWidgetItem* item = items.first();
        return (item->parent() != nullptr ? item->parent()->text(0) + "/" : QString()) + item->text(0);
    }

    // Up, Down and Delete enabled, as "1"/"0".
    QString buttons() const {
        QString out;
        for (QWidget* button : {static_cast<QWidget*>(dialog.form().moveNetworkUpBtn),
                                static_cast<QWidget*>(dialog.form().moveNetworkDownBtn),
                                static_cast<QWidget*>(dialog.form().deleteBtn)}) {
            out += button->isEnabled() ? "1" : "0";
        }
        return out;
    }

    GroupItemList list;
    Locations dialog;
    RecordingTransport pipe;
    ScriptedModalRunner runner;
};

TEST_F(LocationsTest, FormAndTree) {
    const Ui::LocationsClass& form = dialog.form();
    EXPECT_EQ(dialog.objectName(), "LocationsClass");
    EXPECT_EQ(dialog.windowTitle(), "Connection Groups");
    EXPECT_EQ(dialog.windowModality(), Qt::ApplicationModal);
    EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::WindowSystemMenuHint));
    EXPECT_EQ(form.groupBox->title(), "Connection Groups");
    EXPECT_EQ(form.groupTree->headerItem()->text(0), "Group/Connection");
    EXPECT_EQ(form.groupTree->headerItem()->text(1), "Privileges");
    EXPECT_EQ(form.groupTree->headerItem()->text(2), "Global");
    EXPECT_EQ(form.groupTree->columnWidth(0), 140);
    EXPECT_EQ(form.moveNetworkUpBtn->accessibleName(), "Move selected network up");
    EXPECT_EQ(form.moveNetworkDownBtn->accessibleName(), "Move selected network down");
    EXPECT_EQ((QStringList{form.deleteBtn->text(), form.addLocBtn->text(), form.locationscloseBtn->text(),
                           form.helpButton->text()}),
              (QStringList{"&Delete", "&Add Group", "&Close", "Help"}));
    EXPECT_EQ(rows(), (QStringList{"G1|*Active Group*|", "  A|Administrator Network|Yes",
                                   "  B|User Network|No", "G2||", "  C|User Network|No"}));
    EXPECT_TRUE(row("G1")->isExpanded());
    EXPECT_EQ(buttons(), "000") << "nothing selected";
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    saveScreenshot(dialog, "Locations");
}

TEST_F(LocationsTest, WhatTheSelectedRowAllows) {
    const QPair<QString, QString> cases[] = {
        {"G1", "000"}, {"A", "000"}, {"B", "111"}, {"G2", "001"}, {"C", "111"},
    };
    for (const auto& [name, expected] : cases) {
        select(name);
        EXPECT_EQ(buttons(), expected) << name.toStdString();
    }
    EXPECT_EQ(dialog.selectionKind(), Locations::NetworkRow);

    // A group with an administrator network of its own cannot go; one whose are all global can.
    use({{"G1", {network("B")}},
         {"G2", {network("C"), network("D", "administrator", false)}},
         {"G3", {network("E", "administrator", true)}}});
    select("G2");
    EXPECT_EQ(buttons(), "000");
    select("G3");
    EXPECT_EQ(buttons(), "001");
}

TEST_F(LocationsTest, MovesAcrossAndWithinGroups) {
    struct Case {
        const char* what;
        Groups groups;
        QString network;
        bool up;
        QStringList frames;
    };
    const Groups withAdministratorBetween = {
        {"G1", {network("B"), network("A", "administrator", true), network("D")}}, {"G2", {network("C")}}};
    const Groups duplicates = {
        {"G1", {network("B")}}, {"G2", {network("B"), network("X")}}, {"G3", {network("X")}}};
    const Case cases[] = {
        {"Down from the last place of a group",
         STANDARD,
         "B",
         false,
         {"changeNetworkRequest groupName=G1 networkName=B newGroupName=G2 priority=top"}},
        {"Up from the first place of a group",
         STANDARD,
         "C",
         true,
         {"changeNetworkRequest groupName=G2 networkName=C newGroupName=G1 priority=bottom"}},
        {"Up past an administrator network to the top", STANDARD, "B", true, {}},
        {"Down at the end", STANDARD, "C", false, {}},
        {"Down past an administrator network",
         withAdministratorBetween,
         "B",
         false,
         {"changeNetworkRequest groupName=G1 networkName=B priority=increment"}},
        {"Up past an administrator network",
         withAdministratorBetween,
         "D",
         true,
         {"changeNetworkRequest groupName=G1 networkName=D priority=decrement"}},
        {"Down past a group holding the name",
         duplicates,
         "G1/B",
         false,
         {"changeNetworkRequest groupName=G1 networkName=B newGroupName=G3 priority=top"}},
        {"Up past a group holding the name",
         duplicates,
         "G3/X",
         true,
         {"changeNetworkRequest groupName=G3 networkName=X newGroupName=G1 priority=bottom"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        use(c.groups);
        select(c.network);
        (c.up ? dialog.form().moveNetworkUpBtn : dialog.form().moveNetworkDownBtn)->click();
        EXPECT_EQ(described(pipe), c.frames);
        EXPECT_EQ(dialog.cursor().shape(), c.frames.isEmpty() ? Qt::ArrowCursor : Qt::WaitCursor);
    }
}

TEST_F(LocationsTest, TheMovedNetworkIsSelectedAgainWhenTheListComesBack) {
    select("B");
    dialog.form().moveNetworkDownBtn->click();
    ASSERT_EQ(pipe.frames().size(), 1);
    list = groupList({{"G1", {network("A", "administrator", true)}}, {"G2", {network("B"), network("C")}}},
                     "G1");
    dialog.fill(&list);
    EXPECT_EQ(selected(), "G2/B");
    EXPECT_EQ(dialog.cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(buttons(), "111");

    // An abandoned move forgets the names, so the next list selects nothing.
    use({{"G1", {network("B")}}, {"G2", {network("B")}}});
    select("G1/B");
    dialog.form().moveNetworkDownBtn->click();
    EXPECT_TRUE(pipe.frames().isEmpty());
    dialog.fill(&list);
    EXPECT_EQ(selected(), "");
}

TEST_F(LocationsTest, AnEmptyListLeavesTheTree) {
    GroupItemList empty;
    dialog.fill(&empty);
    EXPECT_EQ(rows().size(), 5);
}

TEST_F(LocationsTest, AddGroup) {
    struct Case {
        bool confirm;
        QString typed;
        QStringList frames;
    };
    const Case cases[] = {
        {true, "   ", {}},
        {false, "Travel", {}},
        {true,
         "  Travel ",
         {"addGroupRequest groupName=  Travel ", "getNetworksInGroupRequest groupName=  Travel "}},
    };
    for (const Case& c : cases) {
        pipe.clear();
        c.confirm ? runner.answerText(c.typed) : runner.cancelText();
        dialog.form().addLocBtn->click();
        EXPECT_EQ(described(pipe), c.frames) << c.typed.toStdString();
    }
    ASSERT_EQ(runner.runs().size(), 3);
    EXPECT_EQ(runner.runs().first().title, "Add New Connection Group");
    EXPECT_EQ(runner.runs().first().text, "Group name:");
    EXPECT_TRUE(runner.problems().isEmpty());
}

TEST_F(LocationsTest, DeleteAGroupOrANetwork) {
    QSignalSpy back(&dialog, &Locations::GroupReturnToAuto);
    dialog.form().deleteBtn->setEnabled(true);
    dialog.form().deleteBtn->click();
    EXPECT_TRUE(pipe.frames().isEmpty()) << "nothing selected since the dialog was opened";

    select("G2");
    dialog.form().deleteBtn->click();
    select("B");
    dialog.form().deleteBtn->click();
    EXPECT_EQ(described(pipe), (QStringList{"removeGroupRequest groupName=G2",
                                            "removeNetworkRequest groupName=G1 networkName=B"}));
    ASSERT_EQ(back.size(), 1);
    EXPECT_EQ(back.first().first().toString(), "B");
}

// Every text of the rows translated, "User" too: the rows still say what they are.
class RowWords : public QTranslator {
public:
    QString translate(const char*, const char* source, const char*, int) const override {
        static const QMap<QString, QString> words{{"User Network", "Eigenes Netz"},
                                                  {"Administrator Network", "Netz der Verwaltung"},
                                                  {"*Active Group*", "*Aktive Gruppe*"},
                                                  {"Yes", "Ja"},
                                                  {"No", "Nein"}};
        return words.value(QString::fromUtf8(source));
    }
    bool isEmpty() const override { return false; }
};

TEST_F(LocationsTest, ATranslationWithoutUserChangesNothing) {
    RowWords words;
    QCoreApplication::installTranslator(&words);
    use(STANDARD);
    QCoreApplication::removeTranslator(&words);
    EXPECT_EQ(rows(), (QStringList{"G1|*Aktive Gruppe*|", "  A|Netz der Verwaltung|Ja",
                                   "  B|Eigenes Netz|Nein", "G2||", "  C|Eigenes Netz|Nein"}));
    const QPair<QString, QString> cases[] = {
        {"G1", "000"}, {"A", "000"}, {"B", "111"}, {"G2", "001"}, {"C", "111"}};
    for (const auto& [name, expected] : cases) {
        select(name);
        EXPECT_EQ(buttons(), expected) << name.toStdString();
    }
    dialog.form().moveNetworkUpBtn->click();
    dialog.form().deleteBtn->click();
    EXPECT_EQ(described(pipe),
              (QStringList{"changeNetworkRequest groupName=G2 networkName=C newGroupName=G1 priority=bottom",
                           "removeNetworkRequest groupName=G2 networkName=C"}));
}

TEST_F(LocationsTest, CloseHidesAndHelpShowsItsPage) {
    orvik::QtHelp::loadIndex(QStringLiteral(GUI_WINDOWS_HELP_DIR "/windows.xml"));
    Locations withHelp;
    QSignalSpy visible(&withHelp, &Locations::visibleChanged);
    withHelp.showDialog();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&withHelp));
    withHelp.form().helpButton->click();
    orvik::HelpWidget* page = orvik::QtHelp::instance().helpWindow();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->findChild<QTextBrowser*>("text")->toPlainText().contains("Active Group"));
    withHelp.form().locationscloseBtn->click();
    EXPECT_FALSE(withHelp.isVisible());
    EXPECT_EQ(withHelp.result(), QDialog::Accepted);
    EXPECT_EQ(visible.size(), 2);
}

}  // namespace
}  // namespace tamsel::test
