#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "gui/client/Credentials.h"
#include "gui/windows/CredDialog.h"
#include "gui/windows/CredDialogForm.h"
#include "tests/gui/support/QtPrinters.h"
#include "tests/gui/support/RecordingTransport.h"
#include "tests/gui/support/Screenshot.h"
#include "tests/gui/support/ServiceMessage.h"
#include "tests/gui/windows/FormChecks.h"

namespace tamsel::test {
namespace {

using Children = QList<QPair<QString, QString>>;

QByteArray element(const char* name, const QString& text) {
    if (text.isEmpty()) return {};
    return QByteArray("<") + name + ">" + text.toUtf8() + "</" + name + ">\n";
}

// A getUsernameAndPasswordRequest of the service for network "CorpNet" in group "Office".
Credentials networkRequest(const QString& passwordType, const QString& sequenceNumber = "42",
                           const QString& usernamePrompt = {}, const QString& passwordPrompt = {},
                           const QString& network = "CorpNet") {
    Credentials request;
    EXPECT_TRUE(request.parse(serviceMessage(
        "getUsernameAndPasswordRequest",
        element("sequenceNumber", sequenceNumber) + element("groupName", "Office") +
            element("networkName", network) + element("passwordType", passwordType) +
            element("usernamePrompt", usernamePrompt) + element("passwordPrompt", passwordPrompt))));
    return request;
}

// A getVpnCredentialsRequest: no group, network or password type.
Credentials vpnRequest(const QString& passwordPrompt, const QString& sequenceNumber = "77") {
    Credentials request;
    EXPECT_TRUE(request.parse(serviceMessage(
        "getVpnCredentialsRequest",
        element("sequenceNumber", sequenceNumber) + element("passwordPrompt", passwordPrompt))));
    return request;
}

const QStringList ROWS = {"label",           "userNameText",    "label_2", "passwordText",
                          "label_4",         "newPasswordText", "label_5", "verifyPasswordText",
                          "passwordCheckBox"};

void type(const CredDialog& dialog, const QString& user, const QString& password, const QString& fresh = {},
          const QString& verify = {}) {
    const auto& f = dialog.form();
    f.userNameText->setText(user);
    f.passwordText->setText(password);
    f.newPasswordText->setText(fresh);
    f.verifyPasswordText->setText(verify);
}

TEST(CredDialogForm, NamesTextsAndOrder) {
    CredDialog dialog;
    const auto& f = dialog.form();
    EXPECT_EQ(dialog.objectName(), "CredDialogClass");
    EXPECT_EQ(dialog.windowTitle(), "Credentials");
    EXPECT_EQ(dialog.size(), QSize(239, 201));
    EXPECT_EQ(dialog.windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(dialog.parent(), nullptr);
    EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::WindowSystemMenuHint));
    EXPECT_FALSE(dialog.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
    EXPECT_EQ(
        (QStringList{f.label_3->text(), f.label->text(), f.label_2->text(), f.label_4->text(),
                     f.label_5->text(), f.passwordCheckBox->text(), f.OkBtn->text(), f.cancelBtn->text()}),
        (QStringList{"", "Username:", "Password:", "New Password:", "Verify Password:", "Show password",
                     "&OK", "&Cancel"}));
    EXPECT_EQ((QStringList{f.userNameText->accessibleName(), f.passwordText->accessibleName(),
                           f.newPasswordText->accessibleName(), f.verifyPasswordText->accessibleName()}),
              (QStringList{"Username", "Password", "New Password", "Verify Password"}));
    for (QLineEdit* secret : {f.passwordText, f.newPasswordText, f.verifyPasswordText})
        EXPECT_EQ(secret->echoMode(), QLineEdit::Password) << secret->objectName().toStdString();
    EXPECT_EQ(f.label->buddy(), f.userNameText);
    EXPECT_EQ(f.label_2->buddy(), f.passwordText);
    EXPECT_TRUE(f.OkBtn->isDefault());
    EXPECT_EQ(f.label_3->focusPolicy(), Qt::StrongFocus);
    EXPECT_TRUE(f.label_3->wordWrap());
    EXPECT_EQ(dialog.focusWidget(), f.userNameText);
    EXPECT_EQ(tabChain(dialog),
              (QStringList{"label_3", "userNameText", "passwordText", "newPasswordText", "verifyPasswordText",
                           "passwordCheckBox", "OkBtn", "cancelBtn"}));
}

// What each kind of request shows: title, prompt, rows, check box and the field that has the focus.
TEST(CredDialogPrepare, EachRequestKindSetsUpTheWindow) {
    struct Case {
        const char* what;
        Credentials request;
        QString title;
        QString prompt;
        QStringList rows;
        QString userLabel;
        QString passwordLabel;
        QString checkBox;
        QString focus;
    };
    const QStringList both = {"label", "userNameText", "label_2", "passwordText", "passwordCheckBox"};
    const Case cases[] = {
        {"username",
         networkRequest("username"),
         "Credentials",
         "Please enter your username for the network: CorpNet.",
         {"label", "userNameText"},
         "Username:",
         "Password:",
         "Show Password",
         "userNameText"},
        {"password",
         networkRequest("password"),
         "Credentials",
         "Please enter your password for the network: CorpNet.",
         {"label_2", "passwordText", "passwordCheckBox"},
         "Username:",
         "Password:",
         "Show Password",
         "passwordText"},
        {"retry", networkRequest("passwordRetry"), "Credentials",
         "Password was incorrect for the network: CorpNet, please try again.", both,
         "Username:", "Password:", "Show Password", "passwordText"},
        {"change", networkRequest("passwordChange"), "Credentials",
         "Please change your password for the network: CorpNet.", ROWS,
         "Username:", "Old Password:", "Show Password", "userNameText"},
        {"other type", networkRequest("passwordOtp"), "Credentials",
         "Please enter your username and password for the network: CorpNet.", both,
         "Username:", "Password:", "Show Password", "userNameText"},
        {"service's labels", networkRequest("passwordRetry", "42", "Badge:", "Passcode:"), "Credentials",
         "Password was incorrect for the network: CorpNet, please try again.", both,
         "Badge:", "Passcode:", "Show Password", "passwordText"},
        {"VPN PIN", vpnRequest("PIN"), "VPN Credentials", "Please enter your VPN credentials.", both,
         "Username:", "PIN", "Show PIN", "userNameText"},
        {"VPN password", vpnRequest("Password"), "VPN Credentials", "Please enter your VPN credentials.",
         both, "Username:", "Password", "Show Password", "userNameText"},
        {"VPN plain", vpnRequest(""), "VPN Credentials", "Please enter your VPN credentials.", both,
         "Username:", "Password:", "Show Password", "userNameText"},
    };
    for (const Case& c : cases) {
        CredDialog dialog;
        dialog.prepare(c.request);
        dialog.show();
        saveScreenshot(dialog, QStringLiteral("CredDialog-%1").arg(c.what).replace(' ', '-'));
        const auto& f = dialog.form();
        EXPECT_EQ(dialog.windowTitle(), c.title) << c.what;
        EXPECT_EQ(f.label_3->text(), c.prompt) << c.what;
        EXPECT_EQ(shown(dialog, ROWS), c.rows) << c.what;
        EXPECT_EQ(f.label->text(), c.userLabel) << c.what;
        EXPECT_EQ(f.label_2->text(), c.passwordLabel) << c.what;
        EXPECT_EQ(f.passwordCheckBox->text(), c.checkBox) << c.what;
        ASSERT_NE(dialog.focusWidget(), nullptr) << c.what;
        EXPECT_EQ(dialog.focusWidget()->objectName(), c.focus) << c.what;
        EXPECT_TRUE(dialog.isPending()) << c.what;
    }
}

TEST(CredDialogAnswer, OkSendsTheAnswerOfItsKindWithTheRequestsNumber) {
    struct Case {
        const char* what;
        Credentials request;
        QStringList typed;  // user, password, new, verify
        QString method;
        Children children;
    };
    const Case cases[] = {
        {"password",
         networkRequest("password", "42"),
         {"", "s3cret", "", ""},
         "getUsernameAndPasswordResponse",
         {{"groupName", "Office"},
          {"networkName", "CorpNet"},
          {"passwordType", "password"},
          {"username", ""},
          {"password", "s3cret"}}},
        {"retry",
         networkRequest("passwordRetry", "43"),
         {"ann", "a<b&'c'", "", ""},
         "getUsernameAndPasswordResponse",
         {{"groupName", "Office"},
          {"networkName", "CorpNet"},
          {"passwordType", "passwordRetry"},
          {"username", "ann"},
          {"password", "a<b&'c'"}}},
        {"username only",
         networkRequest("username", "44"),
         {"ann", "", "", ""},
         "getUsernameAndPasswordResponse",
         {{"groupName", "Office"},
          {"networkName", "CorpNet"},
          {"passwordType", "username"},
          {"username", "ann"},
          {"password", ""}}},
        {"change",
         networkRequest("passwordChange", "45"),
         {"ann", "old1", "new2", "new2"},
         "getUsernameAndPasswordResponse",
         {{"groupName", "Office"},
          {"networkName", "CorpNet"},
          {"passwordType", "passwordChange"},
          {"username", "ann"},
          {"password", "new2"},
          {"oldPassword", "old1"}}},
        {"VPN",
         vpnRequest("PIN", "77"),
         {"ann", "1234", "", ""},
         "getVpnCredentialsResponse",
         {{"username", "ann"}, {"password", "1234"}}},
    };
    for (const Case& c : cases) {
        RecordingTransport pipe;
        CredDialog dialog;
        QSignalSpy reset(&dialog, &CredDialog::ResetVpnButton);
        dialog.prepare(c.request);
        dialog.show();
        type(dialog, c.typed[0], c.typed[1], c.typed[2], c.typed[3]);
        QTest::mouseClick(dialog.form().OkBtn, Qt::LeftButton);

        const QList<SentMessage> sent = pipe.messages();
        ASSERT_EQ(sent.size(), 1) << c.what;
        EXPECT_EQ(sent[0].method, c.method) << c.what;
        EXPECT_EQ(sent[0].sequenceNumber, c.request.sequenceNumber()) << c.what;
        EXPECT_EQ(sent[0].children, c.children) << c.what;
        EXPECT_FALSE(dialog.isVisible()) << c.what;
        EXPECT_FALSE(dialog.isPending()) << c.what;
        EXPECT_EQ(dialog.form().label_3->text(), "") << c.what;

        // Closing an answered prompt adds nothing.
        dialog.show();
        dialog.close();
        EXPECT_EQ(pipe.frames().size(), 1) << c.what;
        EXPECT_EQ(reset.size(), 0) << c.what;
    }
}

TEST(CredDialogAnswer, ANewPasswordThatDoesNotMatchItsVerificationIsAskedAgain) {
    RecordingTransport pipe;
    CredDialog dialog;
    dialog.prepare(networkRequest("passwordChange", "45"));
    dialog.show();
    type(dialog, "ann", "old1", "new2", "new3");
    QTest::mouseClick(dialog.form().OkBtn, Qt::LeftButton);

    const auto& f = dialog.form();
    EXPECT_TRUE(pipe.frames().isEmpty());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.isPending());
    EXPECT_EQ(f.label_3->text(), "The new password and its verification do not match.");
    EXPECT_EQ(f.newPasswordText->text() + f.verifyPasswordText->text(), "");
    EXPECT_EQ(f.userNameText->text() + "|" + f.passwordText->text(), "ann|old1");

    type(dialog, "ann", "old1", "new3", "new3");
    QTest::mouseClick(f.OkBtn, Qt::LeftButton);
    ASSERT_EQ(pipe.messages().size(), 1);
    EXPECT_EQ(pipe.messages()[0].child("password"), "new3");
    EXPECT_EQ(pipe.messages()[0].child("oldPassword"), "old1");
}

// Cancel, the close button and Escape turn a VPN prompt down with the service; a network prompt
// is dropped without a word.
TEST(CredDialogCancel, AVpnPromptTurnedDownDisconnectsTheVpn) {
    enum class Way { CancelButton, CloseButton, Escape };
    const std::pair<Way, const char*> ways[] = {
        {Way::CancelButton, "cancel button"}, {Way::CloseButton, "close button"}, {Way::Escape, "Escape"}};
    for (const auto& [way, what] : ways) {
        for (const bool vpn : {true, false}) {
            RecordingTransport pipe;
            CredDialog dialog;
            QSignalSpy reset(&dialog, &CredDialog::ResetVpnButton);
            for (int round = 0; round < 2; ++round) {
                dialog.prepare(vpn ? vpnRequest("Password", "900") : networkRequest("password", "900"));
                dialog.show();
                ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
                switch (way) {
                    case Way::CancelButton:
                        QTest::mouseClick(dialog.form().cancelBtn, Qt::LeftButton);
                        break;
                    case Way::CloseButton:
                        dialog.close();
                        break;
                    case Way::Escape:
                        QTest::keyClick(&dialog, Qt::Key_Escape);
                        break;
                }
                EXPECT_FALSE(dialog.isVisible()) << what;
                EXPECT_FALSE(dialog.isPending()) << what;
            }
            if (!vpn) {
                EXPECT_TRUE(pipe.frames().isEmpty()) << what;
                EXPECT_EQ(reset.size(), 0) << what;
                continue;
            }
            const QList<SentMessage> sent = pipe.messages();
            ASSERT_EQ(sent.size(), 2) << what;
            for (const SentMessage& m : sent) {
                EXPECT_EQ(m.method, "disconnectVpnRequest") << what;
                EXPECT_TRUE(m.children.isEmpty()) << what;
            }
            // Requests of the tray program's own: fresh numbers, not the prompt's.
            EXPECT_NE(sent[0].sequenceNumber, "900") << what;
            EXPECT_EQ(sent[1].sequenceNumber.toUInt(), sent[0].sequenceNumber.toUInt() + 1) << what;
            ASSERT_EQ(reset.size(), 2) << what;
            EXPECT_FALSE(reset.at(0).at(0).toBool()) << what;
        }
    }
}

TEST(CredDialogPrepare, ShowPasswordSwitchesAllThreeFields) {
    CredDialog dialog;
    dialog.prepare(networkRequest("passwordChange"));
    dialog.show();
    const auto& f = dialog.form();
    const auto modes = [&f] {
        return QList<QLineEdit::EchoMode>{f.passwordText->echoMode(), f.newPasswordText->echoMode(),
                                          f.verifyPasswordText->echoMode()};
    };
    f.userNameText->setFocus();
    f.passwordCheckBox->setChecked(true);
    EXPECT_EQ(modes(), QList<QLineEdit::EchoMode>(3, QLineEdit::Normal));
    EXPECT_EQ(dialog.focusWidget(), f.passwordText);
    f.passwordCheckBox->setChecked(false);
    EXPECT_EQ(modes(), QList<QLineEdit::EchoMode>(3, QLineEdit::Password));
}

// A password shown for one prompt is hidden again for the next, whatever kind the next asks.
TEST(CredDialogPrepare, EachPromptStartsWithThePasswordHidden) {
    RecordingTransport pipe;
    CredDialog dialog;
    const auto& f = dialog.form();
    for (const Credentials& next :
         {networkRequest("password"), networkRequest("passwordChange"), vpnRequest("PIN")}) {
        dialog.prepare(networkRequest("usernameAndPassword"));
        dialog.show();
        f.passwordCheckBox->setChecked(true);
        ASSERT_EQ(f.passwordText->echoMode(), QLineEdit::Normal);
        QTest::mouseClick(f.OkBtn, Qt::LeftButton);

        dialog.prepare(next);
        dialog.show();
        EXPECT_FALSE(f.passwordCheckBox->isChecked()) << next.passwordType().toStdString();
        for (const QLineEdit* field : {f.passwordText, f.newPasswordText, f.verifyPasswordText})
            EXPECT_EQ(field->echoMode(), QLineEdit::Password) << field->objectName().toStdString();
        dialog.hide();
    }
}

// A request that arrives while the prompt is up takes it over: shown and answered as the newest.
TEST(CredDialogPrepare, ANewerRequestTakesTheVisiblePromptOver) {
    RecordingTransport pipe;
    CredDialog dialog;
    const auto& f = dialog.form();
    dialog.prepare(networkRequest("password", "42", {}, {}, "CorpNet"));
    dialog.show();
    type(dialog, "ann", "typed-for-corp");

    dialog.prepare(vpnRequest("PIN", "77"));
    EXPECT_EQ(dialog.windowTitle(), "VPN Credentials");
    EXPECT_EQ(f.label_3->text(), "Please enter your VPN credentials.");
    EXPECT_EQ(f.passwordText->text(), "");
    EXPECT_EQ(f.userNameText->text(), "ann");
    EXPECT_EQ(shown(dialog, {"label", "userNameText"}), (QStringList{"label", "userNameText"}));
    f.passwordText->setText("1234");
    QTest::mouseClick(f.OkBtn, Qt::LeftButton);

    ASSERT_EQ(pipe.messages().size(), 1);
    EXPECT_EQ(pipe.messages()[0].method, "getVpnCredentialsResponse");
    EXPECT_EQ(pipe.messages()[0].sequenceNumber, "77");
    EXPECT_EQ(pipe.messages()[0].children, (Children{{"username", "ann"}, {"password", "1234"}}));

    // Two network requests: the second network is named and answered.
    pipe.clear();
    dialog.prepare(networkRequest("password", "50", {}, {}, "CorpNet"));
    dialog.show();
    type(dialog, "ann", "x");
    dialog.prepare(networkRequest("passwordRetry", "51", {}, {}, "LabNet"));
    EXPECT_EQ(f.label_3->text(), "Password was incorrect for the network: LabNet, please try again.");
    EXPECT_EQ(f.passwordText->text(), "");
    f.passwordText->setText("y");
    QTest::mouseClick(f.OkBtn, Qt::LeftButton);
    ASSERT_EQ(pipe.messages().size(), 1);
    EXPECT_EQ(pipe.messages()[0].sequenceNumber, "51");
    EXPECT_EQ(pipe.messages()[0].child("networkName"), "LabNet");
    EXPECT_EQ(pipe.messages()[0].child("passwordType"), "passwordRetry");
}

TEST(CredDialogPrepare, TheServicesLabelsLastForTheirOwnRequestOnly) {
    CredDialog dialog;
    dialog.prepare(networkRequest("password", "42", "Badge:", "Passcode:"));
    dialog.prepare(networkRequest("passwordRetry", "43"));
    EXPECT_EQ(dialog.form().label->text(), "Username:");
    EXPECT_EQ(dialog.form().label_2->text(), "Password:");
}

}  // namespace
}  // namespace tamsel::test
