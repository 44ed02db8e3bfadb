#include <QDeadlineTimer>
#include <QFile>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <functional>

#include "gui/orvik/HelpWidget.h"
#include "gui/orvik/QtHelp.h"
#include "gui/windows/GenWepKey.h"
#include "tests/gui/support/Screenshot.h"
#include "tests/gui/windows/FormChecks.h"
#include "tests/gui/windows/KeyInfoFixture.h"
#include "tests/support/TempHome.h"

namespace tamsel::test {
namespace {

QStringList items(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
    return out;
}

TEST(KeyInfoForm, NamesTextsAndLimits) {
    KeyInfo editor;
    const Ui::KeyInfoClass& form = editor.form();
    EXPECT_EQ(editor.objectName(), "KeyInfoClass");
    EXPECT_EQ(editor.windowTitle(), "Enter Connection Info");
    // At least the form's width: wider where its fields' texts need it.
    EXPECT_GE(editor.width(), 318);
    EXPECT_EQ(editor.height(), 515);
    EXPECT_EQ(editor.windowModality(), Qt::ApplicationModal);
    EXPECT_TRUE(editor.windowFlags().testFlag(Qt::WindowSystemMenuHint));
    EXPECT_FALSE(editor.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
    EXPECT_EQ(form.nameText->maxLength(), 40);
    EXPECT_EQ(form.ssidText->maxLength(), 32);
    EXPECT_FALSE(form.ssidText->isEnabled());
    EXPECT_TRUE(form.ssidText->isReadOnly());
    EXPECT_EQ(form.nameText->accessibleName(), "Descriptive Name");
    EXPECT_EQ(form.ssidText->accessibleName(), "SSID Name");
    EXPECT_EQ(form.keyText->accessibleName(), "Enter Key");
    EXPECT_EQ(form.vpnComboBox->accessibleName(), "Select V P N Entry Point");
    EXPECT_EQ(form.groupBox->title(), "Connect");
    EXPECT_EQ(form.groupBox_2->title(), "802.1X Configuration");
    EXPECT_EQ(form.vpnGroupBox->title(), "VPN Settings");
    EXPECT_EQ(form.groupBox_3->title(), "Script");
    EXPECT_EQ(form.label->text(), "Enter Information for New Connection.");
    EXPECT_TRUE(form.label->font().bold());
    EXPECT_EQ(form.label_3->text(), "When this network is connected run the follow script:");
    EXPECT_EQ(form.generateBtn->text(), "Generate Router WEP key");
    EXPECT_EQ(form.checkBox->text(), "Show key");
    EXPECT_EQ(form.autoVpn->text(), "Automatically connect to VPN");
    EXPECT_EQ(form.scriptButton->text(), "Run Script...");
    EXPECT_EQ((QStringList{form.okButton->text(), form.cancelButton->text(), form.helpButton->text()}),
              (QStringList{"&OK", "&Cancel", "Help"}));
}

TEST(KeyInfoNames, EapMethodNamesBothWaysAndErrorForTheRest) {
    const QPair<QString, QString> cases[] = {
        {"LEAP", "leap"},      {"leap", "LEAP"},        {"PEAP", "eapPeap"},
        {"eapTls", "EAP-TLS"}, {"EAP-TTLS", "eapTtls"}, {"eapFast", "EAP-FAST"},
        {"peap", "Error"},     {"eapMd5", "Error"},     {"", "Error"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(KeyInfo::eapMethodName(text), expected) << text.toStdString();
}

// The connect action on a row, with every answer the user may give to the exclusive-connection box.
TEST_F(KeyInfoFixture, ConnectDecision) {
    struct Case {
        const char* what;
        bool automatic;
        QString current;
        QString row;
        bool exclusive;
        QString answer;
        bool boxShown;
        QStringList frames;
        QString signal;
    };
    const QString lab = "connectToNetworkRequest networkName=Lab connectionMode=";
    const Case cases[] = {
        {"manual mode, another network current, Yes",
         false,
         "Home",
         "Lab",
         false,
         "Yes",
         true,
         {lab + "manual"},
         "SetManualMode(Lab)"},
        {"manual mode, another network current, No",
         false,
         "Home",
         "Lab",
         false,
         "No",
         true,
         {},
         "returnToAutoMode"},
        {"manual mode, the current network",
         false,
         "Lab",
         "Lab",
         false,
         "",
         false,
         {lab + "auto"},
         "returnToAutoMode"},
        {"automatic mode, the current network", true, "Lab", "Lab", false, "", false, {lab + "auto"}, ""},
        {"automatic mode, another wireless network current",
         true,
         "Home",
         "Lab",
         false,
         "",
         false,
         {lab + "auto"},
         ""},
        {"automatic mode, nothing current", true, "", "Lab", false, "", false, {}, ""},
        {"automatic mode, nothing current, exclusive",
         true,
         "",
         "Lab",
         true,
         "",
         false,
         {lab + "manual"},
         "SetManualMode(Lab)"},
        {"manual mode, exclusive",
         false,
         "Home",
         "Lab",
         true,
         "",
         false,
         {lab + "manual"},
         "SetManualMode(Lab)"},
        {"automatic mode, nothing current, a wired row",
         true,
         "",
         "Desk",
         false,
         "",
         false,
         {"connectToNetworkRequest networkName=Desk connectionMode=auto"},
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedModalRunner box;
        if (!c.answer.isEmpty()) box.click(c.answer);
        autoModeFlag = c.automatic;
        model.removeScanRows();
        if (!c.current.isEmpty()) setCurrent(c.current);
        pipe.clear();
        QStringList signalsSeen;
        auto manual = QObject::connect(&editor, &KeyInfo::SetManualMode, [&](const QString& name) {
            signalsSeen << "SetManualMode(" + name + ")";
        });
        auto back =
            QObject::connect(&editor, &KeyInfo::returnToAutoMode, [&] { signalsSeen << "returnToAutoMode"; });
        select(c.row);

        EXPECT_TRUE(editor.ProcessConnectDlg(c.exclusive));

        QObject::disconnect(manual);
        QObject::disconnect(back);
        EXPECT_EQ(described(pipe), c.frames);
        EXPECT_EQ(signalsSeen.join(' '), c.signal);
        ASSERT_EQ(box.runs().size(), c.boxShown ? 1 : 0);
        EXPECT_TRUE(box.problems().isEmpty()) << box.problems().join('\n').toStdString();
        if (c.boxShown) {
            const ModalRun& run = box.runs().first();
            EXPECT_EQ(run.title, "Connect Request");
            EXPECT_EQ(run.icon, QMessageBox::Warning);
            EXPECT_EQ(run.buttons, (QStringList{"Yes", "No"}));
            EXPECT_TRUE(
                run.text.startsWith("Do you want to attempt an exclusive connection to Lab?\n\nWarning: You "
                                    "are already connected to Home, if you proceed"));
        }
        EXPECT_FALSE(editor.isVisible());
    }
}

TEST_F(KeyInfoFixture, AScannedOpenNetworkIsAddedAtOnceWithoutTheEditor) {
    setCurrent("Home");
    select("Cafe");
    EXPECT_TRUE(editor.ProcessConnectDlg(false));
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(described(pipe),
              (QStringList{"getServiceStateRequest",
                           "addNetworkRequest groupName=Office networkName=Cafe ssid=Cafe networkMedia=wifi "
                           "associationAndEncryptionMode=openNoEncryption runScriptSpec=",
                           "connectToNetworkRequest networkName=Cafe connectionMode=auto"}));
}

TEST_F(KeyInfoFixture, AScannedSecuredNetworkOpensTheEditorWithItsOwnTypes) {
    struct Case {
        QString row;
        QStringList types;
        bool generator;
    };
    const Case cases[] = {
        {"Shop", {"WEP", "Shared WEP"}, true},
        {"Mixed", {"WPA2 Personal AES", "WEP"}, false},
        {"Corp", {"WPA2 Enterprise AES"}, false},
    };
    for (const Case& c : cases) {
        select(c.row);
        EXPECT_TRUE(editor.ProcessConnectDlg(false));
        EXPECT_TRUE(editor.isVisible()) << c.row.toStdString();
        EXPECT_EQ(items(form().keyType), c.types);
        EXPECT_EQ(form().nameText->text(), c.row);
        EXPECT_EQ(form().ssidText->text(), c.row);
        EXPECT_EQ(!form().generateBtn->isHidden(), c.generator) << c.row.toStdString();
        editor.close();
    }
    EXPECT_TRUE(pipe.frames().isEmpty());
}

TEST_F(KeyInfoFixture, TheAdministratorsEapMethodsAreOfferedWithTheirCredentials) {
    editor.MapAddSSIDInfoData();
    form().keyType->setCurrentText("WPA2 Enterprise AES");
    EXPECT_EQ(form().eapMethod->count(), 0) << "no policy yet";
    editor.close();

    editor.setAllowedEapMethods({"eapPeap", "eapTls", "eapMd5"});
    EXPECT_EQ(editor.allowedEapMethods(), (QStringList{"PEAP", "EAP-TLS"}));
    select("Corp");
    editor.ProcessConnectDlg(false);
    EXPECT_EQ(items(form().eapMethod), (QStringList{"PEAP", "EAP-TLS"}));
    EXPECT_EQ(items(form().credentials), (QStringList{"password", "certificate", "token"}));
    form().eapMethod->setCurrentText("EAP-TLS");
    EXPECT_EQ(items(form().credentials), (QStringList{"certificate"}));
    EXPECT_EQ(form().label->text(), "Select EAP method and credential type.");
    EXPECT_TRUE(form().keyText->isHidden());
}

TEST_F(KeyInfoFixture, PropertiesOfAnAdministratorNetworkCannotBeChanged) {
    giveVpnEntries({"E1", "E2"});
    editor.enableRunScript(true);
    editor.setAllowedEapMethods({"eapPeap", "eapTls"});
    select("Work");
    editor.ShowPropertiesDlg();
    ASSERT_TRUE(editor.isVisible());
    saveScreenshot(editor, "KeyInfoAdministrator");
    EXPECT_EQ(form().label->text(), "These values for administrator networks cannot be changed by the user.");
    EXPECT_EQ(items(form().keyType), (QStringList{"WPA2 Enterprise AES"}));
    EXPECT_EQ(form().eapMethod->currentText(), "PEAP");
    EXPECT_EQ(form().credentials->currentText(), "password");
    for (QWidget* field :
         {static_cast<QWidget*>(form().nameText), static_cast<QWidget*>(form().ssidText),
          static_cast<QWidget*>(form().keyType), static_cast<QWidget*>(form().keyText),
          static_cast<QWidget*>(form().eapMethod), static_cast<QWidget*>(form().credentials),
          static_cast<QWidget*>(form().scriptButton), static_cast<QWidget*>(form().scriptName)}) {
        EXPECT_FALSE(field->isEnabled()) << field->objectName().toStdString();
    }
    EXPECT_TRUE(form().autoVpn->isEnabled());
    EXPECT_TRUE(form().vpnComboBox->isEnabled());
    EXPECT_TRUE(form().checkBox->isHidden());
}

// The editor keeps nothing of the administrator's network it showed last: each later use offers the
// script where the policy allows it, and the editable fields again.
TEST_F(KeyInfoFixture, EachUseAfterAnAdministratorsNetworkSetsTheScriptFromThePolicy) {
    const struct {
        const char* use;
        std::function<void()> open;
    } uses[] = {
        {"a scanned network",
         [&] {
             select("Shop");
             editor.ProcessConnectDlg(false);
         }},
        {"a new network", [&] { editor.MapAddSSIDInfoData(); }},
        {"a user's network",
         [&] {
             select("Home");
             editor.ShowPropertiesDlg();
         }},
    };
    for (const bool allowed : {true, false}) {
        editor.enableRunScript(allowed);
        for (const auto& use : uses) {
            select("Work");
            editor.ShowPropertiesDlg();
            ASSERT_FALSE(form().scriptButton->isEnabled());
            editor.close();
            use.open();
            ASSERT_TRUE(editor.isVisible()) << use.use;
            for (QWidget* field :
                 {static_cast<QWidget*>(form().scriptButton), static_cast<QWidget*>(form().scriptName),
                  static_cast<QWidget*>(form().groupBox_3)})
                EXPECT_EQ(field->isEnabled(), allowed) << use.use << " " << field->objectName().toStdString();
            EXPECT_EQ(form().scriptButton->isVisible(), allowed) << use.use;
            EXPECT_TRUE(form().nameText->isEnabled()) << use.use;
            editor.close();
        }
    }
}

TEST_F(KeyInfoFixture, PropertiesOfAWiredNetworkHideTheSsidAndKeyRows) {
    select("Desk");
    editor.ShowPropertiesDlg();
    const QStringList rows{"label_2", "ssidText", "label_4", "keyText", "checkBox"};
    EXPECT_EQ(shown(editor, rows), QStringList());
    editor.close();
    select("Home");
    editor.ShowPropertiesDlg();
    EXPECT_EQ(shown(editor, rows), (QStringList{"label_2", "ssidText", "label_4", "keyText", "checkBox"}));
    EXPECT_EQ(form().vpnComboBox->currentText(), "") << "no entries offered";
    EXPECT_TRUE(form().autoVpn->isChecked());
}

TEST_F(KeyInfoFixture, AClickIntoTheKeyFieldClearsThePlaceholder) {
    select("Home");
    editor.ShowPropertiesDlg();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    EXPECT_EQ(form().keyText->text(), "<click to change your key>");
    EXPECT_EQ(form().keyText->echoMode(), QLineEdit::Normal);
    QTest::mouseClick(form().keyText, Qt::LeftButton);
    EXPECT_EQ(form().keyText->text(), "");
    form().checkBox->setChecked(false);
    EXPECT_EQ(form().keyText->echoMode(), QLineEdit::Password);
}

TEST_F(KeyInfoFixture, TheGeneratorsKeyLandsInTheKeyField) {
    select("Shop");
    editor.ProcessConnectDlg(false);
    form().generateBtn->click();
    EXPECT_TRUE(editor.generator().isVisible());
    emit editor.generator().copyHexString("0123456789");
    EXPECT_EQ(form().keyText->text(), "0123456789");
    editor.generator().close();
}

TEST_F(KeyInfoFixture, AVpnChoiceIsStoredForTheCurrentNetworkThenConnected) {
    giveVpnEntries({"E1", "E2"});
    setCurrent("Home");
    editor.SetVpnDefaults("true", "E2");
    EXPECT_TRUE(form().autoVpn->isChecked());
    EXPECT_EQ(form().vpnComboBox->currentText(), "E2");
    EXPECT_EQ(described(pipe), (QStringList{"changeNetworkRequest groupName=Office networkName=Home "
                                            "vpnParameters={connectionEntry=E2 autoConnectVpn=true}",
                                            "connectVpnRequest"}));
    EXPECT_TRUE(editor.currentHasVpnEntry()) << "Home has the entry E1";
    setCurrent("Lab");
    EXPECT_FALSE(editor.currentHasVpnEntry());
}

TEST_F(KeyInfoFixture, TheScriptChooserOffersScriptsAndAllFiles) {
    editor.enableRunScript(true);
    editor.MapAddSSIDInfoData();
    runner.answerFile("/opt/tools/vpn-up.sh");
    form().scriptButton->click();
    EXPECT_EQ(form().scriptName->text(), "/opt/tools/vpn-up.sh");
    runner.answerFile("");
    form().scriptButton->click();
    EXPECT_EQ(form().scriptName->text(), "/opt/tools/vpn-up.sh") << "cancel keeps the script";
    ASSERT_EQ(runner.runs().size(), 2);
    EXPECT_EQ(runner.runs().first().title,
              "Select a Script or application to run when this network is connected");
    EXPECT_EQ(runner.runs().first().text, "Scripts (*.exe *.bat *.cmd);;All files (*)");
}

// A script that writes the number of its arguments into a file of the test's home.
class KeyInfoScriptTest : public KeyInfoFixture {
protected:
    void SetUp() override {
        KeyInfoFixture::SetUp();
        output = QString::fromStdString(home.file("ran"));
        const std::string out = output.toStdString();
        script = QString::fromStdString(
            home.write("connected.sh",
                       "#!/bin/sh\necho $# > '" + out + ".part' && mv '" + out + ".part' '" + out + "'\n"));
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // What the script wrote, once it has run; empty when it did not within the deadline.
    QByteArray scriptOutput() const {
        QDeadlineTimer deadline(10000);
        while (!QFile::exists(output) && !deadline.hasExpired()) QTest::qWait(10);
        QFile file(output);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    TempHome home{"keyinfo-script", TempHome::Use::FOLDER};
    QString script;
    QString output;
};

// Whether a start is tried shows at once: a script that does not exist brings up the error box.
TEST_F(KeyInfoScriptTest, ScriptsRunByCreatorAndPolicy) {
    const QString missing = QString::fromStdString(home.file("gone.sh"));
    fill({withExtras(configured("Home", "HomeNet", "wpa2PersonalAes"), missing),
          withExtras(configured("Work", "CorpNet", "wpa2EnterpriseAes", "administrator"), script),
          configured("Lab", "LabNet", "wpa2PersonalAes")});
    QMessageBox& box = editor.scriptErrorBox();

    editor.enableRunScript(false);
    setCurrent("Home");
    editor.runScript(model.index(rowOf("Home"), 0));
    EXPECT_FALSE(box.isVisible()) << "a user's script is not tried while the policy forbids it";

    setCurrent("Work");
    editor.runScript(model.index(rowOf("Work"), 0));
    EXPECT_EQ(scriptOutput(), "0\n") << "an administrator's script runs, without arguments";
    EXPECT_FALSE(box.isVisible());

    editor.enableRunScript(true);
    setCurrent("Home");
    editor.runScript(model.index(rowOf("Home"), 0));
    EXPECT_TRUE(box.isVisible()) << "allowed now, so tried";
    box.close();

    setCurrent("Lab");
    editor.runScript(model.index(rowOf("Lab"), 0));
    EXPECT_FALSE(box.isVisible()) << "no script, nothing tried";
}

TEST_F(KeyInfoScriptTest, AScriptThatCannotStartShowsTheErrorOnce) {
    const QString missing = QString::fromStdString(home.file("gone.sh"));
    const QString folder = QString::fromStdString(home.path());
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner);
    editor.enableRunScript(true);
    const struct {
        QString path;
        const char* fault;
    } cases[] = {{missing, "does not exist"}, {script, "is not executable"}, {folder, "is not executable"}};
    for (const auto& [path, fault] : cases) {
        SCOPED_TRACE(path.toStdString());
        fill({withExtras(configured("Home", "HomeNet", "wpa2PersonalAes"), path)});
        setCurrent("Home");
        editor.runScript(model.index(rowOf("Home"), 0));
        QMessageBox& box = editor.scriptErrorBox();
        ASSERT_TRUE(box.isVisible());
        EXPECT_FALSE(box.isModal());
        EXPECT_EQ(box.windowTitle(), "Run Script Error");
        EXPECT_EQ(box.icon(), QMessageBox::Critical);
        EXPECT_EQ(box.text(),
                  QString("The script or application that should run when this network connects %1. "
                          "Please contact your system administrator.")
                      .arg(fault));
        box.setText("seen");
        editor.runScript(model.index(rowOf("Home"), 0));
        EXPECT_EQ(box.text(), "seen") << "nothing new while the box is up";
        box.close();
    }
    EXPECT_FALSE(QFile::exists(output)) << "a file without execute permission is not run";
}

TEST_F(KeyInfoFixture, HelpAndVisibility) {
    orvik::QtHelp::loadIndex(QStringLiteral(GUI_WINDOWS_HELP_DIR "/windows.xml"));
    KeyInfo withHelp;
    QSignalSpy visible(&withHelp, &KeyInfo::visibleChanged);
    QSignalSpy help(&withHelp, &KeyInfo::helpRequested);
    withHelp.MapAddSSIDInfoData();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&withHelp));
    ASSERT_EQ(visible.size(), 1);
    EXPECT_TRUE(visible.first().first().toBool());
    withHelp.form().helpButton->click();
    EXPECT_EQ(help.size(), 1);
    orvik::HelpWidget* page = orvik::QtHelp::instance().helpWindow();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->findChild<QTextBrowser*>("text")->toPlainText().contains("click to change your key"));
    withHelp.form().cancelButton->click();
    EXPECT_FALSE(withHelp.isVisible());
    EXPECT_EQ(withHelp.result(), 0);
    EXPECT_FALSE(visible.last().first().toBool());
}

}  // namespace
}  // namespace tamsel::test
