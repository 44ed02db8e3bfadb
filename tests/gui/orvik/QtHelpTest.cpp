#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QtCore/QCoreApplication>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtTest/QTest>
#include <QtWidgets/QDialog>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTextBrowser>
#include <QtWidgets/QToolTip>
#include <memory>

#include "gui/orvik/Exception.h"
#include "gui/orvik/HelpWidget.h"
#include "gui/orvik/QtHelp.h"

namespace orvik {
namespace {

using ::testing::HasSubstr;

const QString HELP_FOLDER = QStringLiteral(ORVIK_TEST_DATA "/help/");

// A dialog as the tray program's windows make them: it asks for help by signal and reports every change
// of its visibility.
class HelpedDialog : public QDialog {
    Q_OBJECT

public:
    explicit HelpedDialog(const QString& name) {
        setObjectName(name);
        ssidLabel = new QLabel("ssid", this);
        ssidLabel->setObjectName("ssidLabel");
        brokenLabel = new QLabel("broken", this);
        brokenLabel->setObjectName("brokenLabel");
        plainLabel = new QLabel("plain", this);
        plainLabel->setObjectName("plainLabel");
        keyButton = new QPushButton("key", this);
        keyButton->setObjectName("keyButton");
        QtHelp::registerDialog(this, "helpBindings");
    }

    void setVisible(bool visible) override {
        QDialog::setVisible(visible);
        emit visibleChanged(visible);
    }

    QLabel* ssidLabel;
    QLabel* brokenLabel;
    QLabel* plainLabel;
    QPushButton* keyButton;

signals:
    void helpRequested();
    void visibleChanged(bool visible);
};

class QtHelpTest : public ::testing::Test {
protected:
    void SetUp() override { QtHelp::loadIndex(HELP_FOLDER + "help.xml"); }

    void TearDown() override {
        dialogs.clear();
        if (help().helpWindow() != nullptr) {
            help().helpWindow()->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static QtHelp& help() { return QtHelp::instance(); }

    HelpedDialog* dialog(const QString& name, const QRect& geometry) {
        dialogs.push_back(std::make_unique<HelpedDialog>(name));
        HelpedDialog* d = dialogs.back().get();
        d->setGeometry(geometry);
        d->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(d));
        return d;
    }

    static QString shownText() {
        const HelpWidget* window = help().helpWindow();
        if (window == nullptr) {
            return "<no help window>";
        }
        return window->findChild<QTextBrowser*>("text")->toPlainText();
    }

    // The page stack as (reference, dialog) pairs.
    static std::vector<std::pair<QString, QWidget*>> stack() {
        std::vector<std::pair<QString, QWidget*>> out;
        for (const auto& page : help().pages()) {
            out.emplace_back(page.reference, page.widget.data());
        }
        return out;
    }

    static QRect screen() { return QGuiApplication::primaryScreen()->geometry(); }

    std::vector<std::unique_ptr<HelpedDialog>> dialogs;
};

TEST_F(QtHelpTest, HelpWindowShowsTheBoundPageBesideItsDialog) {
    HelpedDialog* profile = dialog("ProfileDialog", QRect(60, 80, 200, 150));
    emit profile->helpRequested();

    HelpWidget* window = help().helpWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->parentWidget(), profile);
    EXPECT_EQ(window->windowTitle(), "Help");
    EXPECT_THAT(shownText().toStdString(), HasSubstr("A profile names the network to join"));
    EXPECT_EQ(window->frameGeometry().left(), profile->frameGeometry().right());
    EXPECT_EQ(window->frameGeometry().top(), profile->frameGeometry().top());
    EXPECT_EQ(window->frameGeometry().height(), profile->frameGeometry().height());
    EXPECT_EQ(window->frameGeometry().width(), profile->frameGeometry().width())
        << "no wider than its dialog";
    EXPECT_EQ(stack(), (std::vector<std::pair<QString, QWidget*>>{{"ProfileDialog", profile}}));
}

TEST_F(QtHelpTest, BoundLabelsShowTheirPageAndBoundButtonsATooltip) {
    HelpedDialog* d = dialog("ProfileDialog", QRect(100, 100, 300, 200));
    EXPECT_TRUE(d->ssidLabel->wordWrap());
    EXPECT_THAT(d->ssidLabel->text().toStdString(),
                HasSubstr("The SSID is the name the access point announces."));
    EXPECT_EQ(d->plainLabel->text(), "plain");
    EXPECT_FALSE(d->plainLabel->wordWrap());
    EXPECT_EQ(d->brokenLabel->text(), "<html><body>Help file " + HELP_FOLDER + "pages/missing.html" +
                                          " for reference [brokenLabel] cannot be loaded</body></html>");

    QCursor::setPos(300, 300);
    d->keyButton->click();
    EXPECT_THAT(QToolTip::text().toStdString(), HasSubstr("Enter the pre-shared key of the network."));
    // Showing the dialog prepared a hidden help window; the button's help does not show it.
    ASSERT_NE(help().helpWindow(), nullptr);
    EXPECT_FALSE(help().helpWindow()->isVisible());
}

TEST_F(QtHelpTest, UnboundReferenceShowsTheNotFoundPage) {
    HelpedDialog* d = dialog("UnknownDialog", QRect(100, 100, 300, 200));
    emit d->helpRequested();
    EXPECT_EQ(shownText(), "Help reference for [UnknownDialog] cannot be found.");
}

TEST_F(QtHelpTest, WithoutAnIndexLabelsAndButtonsGetNoHelp) {
    EXPECT_THROW(QtHelp::loadIndex(HELP_FOLDER + "absent.xml"), Exception);
    HelpedDialog* d = dialog("ProfileDialog", QRect(100, 100, 300, 200));
    EXPECT_EQ(d->ssidLabel->text(), "ssid");
    EXPECT_EQ(d->brokenLabel->text(), "broken");
    EXPECT_FALSE(d->ssidLabel->wordWrap());
}

TEST_F(QtHelpTest, PageStackKeepsOneEntryPerDialogAndPage) {
    HelpedDialog* a = dialog("ProfileDialog", QRect(0, 0, 200, 150));
    HelpedDialog* b = dialog("GroupsDialog", QRect(400, 300, 200, 150));
    using Stack = std::vector<std::pair<QString, QWidget*>>;

    emit a->helpRequested();
    emit a->helpRequested();
    EXPECT_EQ(stack(), (Stack{{"ProfileDialog", a}}));
    emit b->helpRequested();
    EXPECT_EQ(stack(), (Stack{{"ProfileDialog", a}, {"GroupsDialog", b}}));
    EXPECT_EQ(help().helpWindow()->parentWidget(), b);
    EXPECT_THAT(shownText().toStdString(), HasSubstr("Groups collect networks"));
    emit a->helpRequested();
    EXPECT_EQ(stack(), (Stack{{"ProfileDialog", a}}));
    EXPECT_EQ(help().helpWindow()->parentWidget(), a);
}

TEST_F(QtHelpTest, ClosingTheOwningDialogGoesBackAPageOrClosesTheWindow) {
    HelpedDialog* a = dialog("ProfileDialog", QRect(0, 0, 200, 150));
    HelpedDialog* b = dialog("GroupsDialog", QRect(400, 300, 200, 150));
    emit a->helpRequested();
    emit b->helpRequested();

    b->reject();
    ASSERT_NE(help().helpWindow(), nullptr);
    EXPECT_TRUE(help().helpWindow()->isVisible());
    EXPECT_EQ(help().helpWindow()->parentWidget(), a);
    EXPECT_THAT(shownText().toStdString(), HasSubstr("A profile names the network"));
    EXPECT_EQ(stack().size(), 1u);

    a->accept();
    EXPECT_EQ(help().helpWindow(), nullptr);
    EXPECT_TRUE(help().pages().isEmpty());
}

TEST_F(QtHelpTest, ClosingADialogThatDoesNotOwnTheWindowChangesNothing) {
    HelpedDialog* a = dialog("ProfileDialog", QRect(0, 0, 200, 150));
    HelpedDialog* b = dialog("GroupsDialog", QRect(400, 300, 200, 150));
    emit a->helpRequested();
    emit b->helpRequested();
    a->reject();
    EXPECT_EQ(help().helpWindow()->parentWidget(), b);
    EXPECT_EQ(stack().size(), 2u);
}

TEST_F(QtHelpTest, ADialogShownWithoutHelpWindowPreparesAHiddenOne) {
    auto d = std::make_unique<HelpedDialog>("ProfileDialog");
    d->setGeometry(QRect(50, 50, 200, 150));
    d->show();
    ASSERT_NE(help().helpWindow(), nullptr);
    EXPECT_FALSE(help().helpWindow()->isVisible());
    EXPECT_EQ(stack(), (std::vector<std::pair<QString, QWidget*>>{{"ProfileDialog", d.get()}}));
    dialogs.push_back(std::move(d));
}

struct FollowCase {
    const char* index;
    bool followsToTheNewDialog;
};

TEST_F(QtHelpTest, AWindowAtItsPlaceFollowsButAMovedOneStays) {
    const FollowCase cases[] = {{"help.xml", true}, {"help-loose.xml", false}};
    for (const auto& c : cases) {
        QtHelp::loadIndex(HELP_FOLDER + c.index);
        HelpedDialog* a = dialog("ProfileDialog", QRect(20, 20, 200, 150));
        HelpedDialog* b = dialog("GroupsDialog", QRect(450, 300, 200, 150));
        emit a->helpRequested();
        const QRect besideA = help().helpWindow()->frameGeometry();
        emit b->helpRequested();
        const QRect after = help().helpWindow()->frameGeometry();
        if (c.followsToTheNewDialog) {
            EXPECT_EQ(after.left(), b->frameGeometry().right()) << c.index;
            EXPECT_EQ(after.top(), b->frameGeometry().top()) << c.index;
        } else {
            EXPECT_EQ(after, besideA) << c.index;
        }
        TearDown();
    }
}

TEST_F(QtHelpTest, AMovedWindowThatCoversTheNewDialogIsPutBesideIt) {
    QtHelp::loadIndex(HELP_FOLDER + "help-loose.xml");
    HelpedDialog* a = dialog("ProfileDialog", QRect(20, 20, 200, 150));
    HelpedDialog* b = dialog("GroupsDialog", QRect(230, 40, 200, 150));
    emit a->helpRequested();
    ASSERT_TRUE(help().helpWindow()->frameGeometry().intersects(b->frameGeometry()));
    emit b->helpRequested();
    EXPECT_EQ(help().helpWindow()->frameGeometry().left(), b->frameGeometry().right());
}

TEST_F(QtHelpTest, AWindowThatWouldRunOffTheScreenPushesItsDialogLeft) {
    const int screenRight = screen().right();
    HelpedDialog* d = dialog("ProfileDialog", QRect(screenRight - 250, 100, 200, 150));
    const int leftBefore = d->frameGeometry().left();
    emit d->helpRequested();
    const QRect window = help().helpWindow()->frameGeometry();
    EXPECT_EQ(window.right(), screenRight);
    EXPECT_LT(d->frameGeometry().left(), leftBefore);
    EXPECT_EQ(window.left(), d->frameGeometry().right());
}

TEST_F(QtHelpTest, PagesAskedForDirectlyShowOnlyWhenToldTo) {
    addHelpSection("helpBindings");
    addHelpSection("noSuchSection");  // ignored

    showHelpPage("GroupsDialog", nullptr);
    ASSERT_NE(help().helpWindow(), nullptr);
    EXPECT_FALSE(help().helpWindow()->isVisible()) << "the two-argument form only prepares the window";

    showHelpPage("GroupsDialog", nullptr, true);
    EXPECT_TRUE(help().helpWindow()->isVisible());
    EXPECT_EQ(help().helpWindow()->parentWidget(), nullptr);
    EXPECT_THAT(shownText().toStdString(), HasSubstr("Groups collect networks"));
    EXPECT_EQ(stack(), (std::vector<std::pair<QString, QWidget*>>{{"GroupsDialog", nullptr}}));
}

TEST_F(QtHelpTest, PagesOfADestroyedDialogAreDropped) {
    HelpedDialog* a = dialog("ProfileDialog", QRect(0, 0, 200, 150));
    HelpedDialog* b = dialog("GroupsDialog", QRect(400, 300, 200, 150));
    emit a->helpRequested();
    emit b->helpRequested();
    dialogs.erase(dialogs.begin());  // destroys a
    EXPECT_EQ(stack(), (std::vector<std::pair<QString, QWidget*>>{{"GroupsDialog", b}}));
    b->reject();
    EXPECT_EQ(help().helpWindow(), nullptr) << "no earlier page is left to go back to";
}

TEST_F(QtHelpTest, AClosedWindowsDeferredDeletionSparesItsSuccessor) {
    HelpedDialog* a = dialog("ProfileDialog", QRect(0, 0, 200, 150));
    emit a->helpRequested();
    help().helpWindow()->close();
    EXPECT_EQ(help().helpWindow(), nullptr);
    emit a->helpRequested();
    HelpWidget* successor = help().helpWindow();
    ASSERT_NE(successor, nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(help().helpWindow(), successor);
    EXPECT_EQ(stack().size(), 1u);
}

}  // namespace
}  // namespace orvik

#include "QtHelpTest.moc"
