#include <gtest/gtest.h>

#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/windows/ModalRunner.h"
#include "tests/gui/support/QtPrinters.h"
#include "tests/gui/support/ScriptedModalRunner.h"

namespace tamsel::test {
namespace {

// A dialog that closes on OK only once a name is typed, and warns through the runner otherwise.
class NameDialog : public QDialog {
public:
    NameDialog() {
        setObjectName("NameDialog");
        setWindowTitle("Add Group");
        auto* layout = new QVBoxLayout(this);
        name = new QLineEdit(this);
        layout->addWidget(name);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        layout->addWidget(buttons);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        connect(buttons, &QDialogButtonBox::accepted, this, [this] {
            if (name->text().isEmpty()) {
                ModalRunner::messageBox(this, QMessageBox::Warning, "Add Group", "Type a name.");
                return;
            }
            accept();
        });
    }
    QLineEdit* name;
};

TEST(ScriptedModalRunnerTest, MessageBoxesAreRecordedAndAnsweredByButton) {
    ScriptedModalRunner runner;
    runner.click("No");
    EXPECT_EQ(ModalRunner::messageBox(nullptr, QMessageBox::Question, "Connect Request", "Connect to Lab?",
                                      QMessageBox::Yes | QMessageBox::No),
              QMessageBox::No);
    ASSERT_EQ(runner.runs().size(), 1);
    const ModalRun& run = runner.runs().first();
    EXPECT_EQ(run.kind, ModalRun::Kind::MessageBox);
    EXPECT_EQ(run.title, "Connect Request");
    EXPECT_EQ(run.text, "Connect to Lab?");
    EXPECT_EQ(run.icon, QMessageBox::Question);
    EXPECT_EQ(QSet<QString>(run.buttons.begin(), run.buttons.end()), (QSet<QString>{"Yes", "No"}));
    EXPECT_EQ(run.answer, "No");

    // A box with buttons of its own: the caller reads the button clicked.
    QMessageBox banner(QMessageBox::Warning, "VPN Banner", "Authorised use only.");
    QPushButton* carryOn = banner.addButton("Continue", QMessageBox::AcceptRole);
    banner.addButton("Disconnect", QMessageBox::RejectRole);
    runner.click("Continue");
    ModalRunner::current().exec(banner);
    EXPECT_EQ(banner.clickedButton(), carryOn);
    EXPECT_FALSE(banner.isVisible());
    EXPECT_TRUE(runner.problems().isEmpty());
}

TEST(ScriptedModalRunnerTest, StepsRunUntilTheDialogCloses) {
    ScriptedModalRunner runner;
    NameDialog dialog;
    // OK with no name warns (a nested run) and keeps the dialog open; then a name is typed.
    runner.click("OK");
    runner.click("OK");
    runner.act([](QDialog& d) { static_cast<NameDialog&>(d).name->setText("Travel"); });
    runner.click("OK");
    EXPECT_EQ(ModalRunner::current().exec(dialog), QDialog::Accepted);
    QStringList titles;
    for (const ModalRun& run : runner.runs()) titles << run.objectName + ":" + run.title;
    EXPECT_EQ(titles, (QStringList{"NameDialog:Add Group", ":Add Group"}));
    EXPECT_EQ(runner.runs()[1].text, "Type a name.");
    EXPECT_EQ(runner.unusedSteps(), 0);
    EXPECT_TRUE(runner.problems().isEmpty());
}

TEST(ScriptedModalRunnerTest, ARunWithoutItsAnswerIsRejectedAndReported) {
    ScriptedModalRunner runner;
    NameDialog dialog;
    dialog.name->setText("x");
    runner.answerText("wrong kind");
    EXPECT_EQ(ModalRunner::current().exec(dialog), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
    runner.click("Nowhere");
    EXPECT_EQ(ModalRunner::current().exec(dialog), QDialog::Rejected);
    EXPECT_EQ(ModalRunner::current().exec(dialog), QDialog::Rejected);
    ASSERT_EQ(runner.problems().size(), 3);
    EXPECT_TRUE(runner.problems()[0].contains("\"wrong kind\" does not fit"))
        << runner.problems()[0].toStdString();
    EXPECT_TRUE(runner.problems()[1].contains("\"Nowhere\" not found")) << runner.problems()[1].toStdString();
    EXPECT_TRUE(runner.problems()[2].contains("no scripted answer")) << runner.problems()[2].toStdString();
}

TEST(ScriptedModalRunnerTest, TextAndFileQueries) {
    ScriptedModalRunner runner;
    runner.answerText("Travel");
    runner.cancelText();
    runner.answerFile("/opt/scripts/up.sh");
    runner.answerFile("");
    bool ok = false;
    EXPECT_EQ(ModalRunner::current().getText(nullptr, "Add Group", "Group name:", QLineEdit::Normal, "", &ok),
              "Travel");
    EXPECT_TRUE(ok);
    EXPECT_EQ(ModalRunner::current().getText(nullptr, "Add Group", "Group name:", QLineEdit::Normal, "", &ok),
              "");
    EXPECT_FALSE(ok);
    EXPECT_EQ(ModalRunner::current().getOpenFileName(nullptr, "Choose Script", "/", "Scripts (*.sh)"),
              "/opt/scripts/up.sh");
    EXPECT_EQ(ModalRunner::current().getOpenFileName(nullptr, "Choose Script", "/", "Scripts (*.sh)"), "");
    EXPECT_EQ(runner.runs()[2].text, "Scripts (*.sh)");
    EXPECT_TRUE(runner.problems().isEmpty());
}

TEST(ModalRunnerTest, QtsOwnLoopRunsWhenNoneIsInstalled) {
    {
        ScriptedModalRunner runner;
        EXPECT_EQ(&ModalRunner::current(), &runner);
    }
    NameDialog dialog;
    // The dialog is accepted from inside its own modal loop.
    QTimer::singleShot(0, &dialog, [&dialog] {
        ASSERT_TRUE(dialog.isModal());
        dialog.accept();
    });
    EXPECT_EQ(ModalRunner::current().exec(dialog), QDialog::Accepted);
}

}  // namespace
}  // namespace tamsel::test
