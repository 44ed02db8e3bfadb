#include <QTest>
#include <functional>

#include "tests/gui/windows/KeyInfoFixture.h"

namespace tamsel::test {
namespace {

QString repeated(const char* text, int length) {
    QString out;
    while (out.size() < length) out += QLatin1String(text);
    return out.left(length);
}

// OK on a network typed in by hand: what each entry gives, an element of the request or a message.
TEST_F(KeyInfoFixture, OkOnANewNetwork) {
    struct Case {
        QString type;
        QString ssid;
        QString key;
        QString sent;
        QString message;
    };
    const QString hex26 = repeated("0123456789abcdef", 26);
    const QString hex64 = repeated("0123456789ABCDEF", 64);
    const Case cases[] = {
        {"WEP", "S", "abcde", "associationAndEncryptionMode=openStaticWep wepAscii40Key=abcde", ""},
        {"WEP", "S", hex26, "associationAndEncryptionMode=openStaticWep wepHex128Key=" + hex26, ""},
        {"WEP", "S", "0123456789", "associationAndEncryptionMode=openStaticWep wepHex40Key=0123456789", ""},
        {"Shared WEP", "S", "abcdefghijklm",
         "associationAndEncryptionMode=sharedStaticWep wepAscii128Key=abcdefghijklm", ""},
        {"WEP", "S", repeated("0123456789abcdeg", 26), "", "Please re-enter your key.  Hex key is invalid."},
        {"WEP", "S", "abcdefgh", "", "Please re-enter your key, it was the wrong length."},
        {"WPA2 Personal AES", "S", "abcdefg", "", "Please re-enter your key. It is the wrong length."},
        {"WPA2 Personal AES", "S", repeated("x", 63),
         "associationAndEncryptionMode=wpa2PersonalAes wpaAsciiKey=" + repeated("x", 63), ""},
        {"WPA Personal TKIP", "S", hex64, "associationAndEncryptionMode=wpaPersonalTkip wpaHexKey=" + hex64,
         ""},
        {"WPA2 Personal AES", "S", repeated("g", 64), "", "Please re-enter your key.  Hex key is invalid."},
        {"WPA2 Personal AES", "S", "", "",
         "The key is blank. Choose cancel if you don't want to change the key."},
        {"WEP", "", "abcde", "", "Please fill in SSID name."},
        {"-- Select Security Type --", "S", "", "", "Please choose the security type."},
        {"Open(non-secured)", "S", "", "associationAndEncryptionMode=openNoEncryption", ""},
        {"Quillan Enterprise TKIP", "S", "",
         "associationAndEncryptionMode=quillanEnterpriseTkip eapMethod=eapFast credentialType=token", ""},
    };
    editor.setAllowedEapMethods({"eapPeap", "eapFast"});
    for (const Case& c : cases) {
        SCOPED_TRACE((c.type + " " + c.key).toStdString());
        pipe.clear();
        editor.MapAddSSIDInfoData();
        form().nameText->setText("N");
        form().ssidText->setText(c.ssid);
        form().keyType->setCurrentText(c.type);
        form().keyText->setText(c.key);
        if (c.type.contains("Enterprise")) {
            form().eapMethod->setCurrentText("EAP-FAST");
            form().credentials->setCurrentText("token");
        }
        clickOk();
        if (c.message.isEmpty()) {
            EXPECT_EQ(described(pipe),
                      (QStringList{"getServiceStateRequest",
                                   "addNetworkRequest groupName=Office networkName=N ssid=" + c.ssid +
                                       " networkMedia=wifi " + c.sent + " runScriptSpec="}));
            EXPECT_FALSE(editor.isVisible());
        } else {
            EXPECT_EQ(form().label->text(), c.message);
            EXPECT_TRUE(pipe.frames().isEmpty());
            EXPECT_TRUE(editor.isVisible());
        }
        editor.close();
    }
}

TEST_F(KeyInfoFixture, NamesTakenByConfiguredNetworksGetANumber) {
    struct Case {
        QString typed;
        QString ssid;
        QString sent;
    };
    const Case cases[] = {
        {"Home", "Elsewhere", "Home_1"}, {"Lab", "Elsewhere", "Lab_2"}, {"", "Cafe", "Cafe"},
        {"", "Home", "Home_1"},          {"Cafe", "Cafe", "Cafe"},
    };
    fill({configured("Home", "HomeNet", "wpa2PersonalAes"), configured("Lab", "LabNet", "wpa2PersonalAes"),
          configured("Lab_1", "LabNet", "wpa2PersonalAes")});
    for (const Case& c : cases) {
        pipe.clear();
        editor.MapAddSSIDInfoData();
        form().nameText->setText(c.typed);
        form().ssidText->setText(c.ssid);
        form().keyType->setCurrentText("Open(non-secured)");
        clickOk();
        ASSERT_EQ(pipe.messages().size(), 2);
        EXPECT_EQ(pipe.messages().at(1).child("networkName"), c.sent) << c.typed.toStdString();
    }

    select("Lab");
    editor.ShowPropertiesDlg();
    pipe.clear();
    form().nameText->setText("Home");
    clickOk();
    EXPECT_EQ(described(pipe),
              (QStringList{"changeNetworkRequest groupName=Office networkName=Lab newNetworkName=Home_1"}));
}

TEST_F(KeyInfoFixture, AddingInAutomaticModeWhileConnectedAddsThenConnects) {
    setCurrent("Home");
    editor.MapAddSSIDInfoData();
    form().nameText->setText("Guest");
    form().ssidText->setText("GuestNet");
    form().keyType->setCurrentText("WPA2 Personal AES");
    form().keyText->setText("secret-key");
    clickOk();
    EXPECT_EQ(pipe.methods(),
              (QStringList{"getServiceStateRequest", "addNetworkRequest", "connectToNetworkRequest"}));
    EXPECT_EQ(describe(pipe.messages().at(2)),
              "connectToNetworkRequest networkName=Guest connectionMode=auto");
    // The state request carries the later number: the add request was numbered when it was begun.
    EXPECT_EQ(pipe.messages().at(0).sequenceNumber.toInt(), pipe.messages().at(1).sequenceNumber.toInt() + 1);
}

TEST_F(KeyInfoFixture, ATypedInNetworkKeepsItsVpnChoice) {
    giveVpnEntries({"E1", "E2"});
    // The connect action on a configured network clears the editor-shown flag before this.
    select("Lab");
    editor.ProcessConnectDlg(false);
    ASSERT_TRUE(pipe.frames().isEmpty());
    editor.MapAddSSIDInfoData();
    form().nameText->setText("Guest");
    form().ssidText->setText("GuestNet");
    form().keyType->setCurrentText("Open(non-secured)");
    form().vpnComboBox->setCurrentText("E2");
    form().autoVpn->setChecked(true);
    clickOk();
    ASSERT_EQ(pipe.messages().size(), 2);
    EXPECT_EQ(describe(pipe.messages().at(1)),
              "addNetworkRequest groupName=Office networkName=Guest ssid=GuestNet networkMedia=wifi "
              "vpnParameters={connectionEntry=E2 autoConnectVpn=true} "
              "associationAndEncryptionMode=openNoEncryption "
              "runScriptSpec=");
}

TEST_F(KeyInfoFixture, AutomaticVpnNeedsAnEntry) {
    giveVpnEntries({"E1"});
    editor.MapAddSSIDInfoData();
    form().ssidText->setText("GuestNet");
    form().keyType->setCurrentText("Open(non-secured)");
    form().autoVpn->setChecked(true);
    clickOk();
    EXPECT_EQ(form().label->text(), "Please select VPN Entry or uncheck Auto connect to VPN.");
    EXPECT_TRUE(pipe.frames().isEmpty());
}

// The properties of a configured network: what OK sends for each change.
TEST_F(KeyInfoFixture, OkOnTheProperties) {
    struct Case {
        const char* what;
        QString network;
        std::function<void()> change;
        QStringList frames;
        bool closed;
    };
    giveVpnEntries({"E1", "E2"});
    editor.enableRunScript(true);
    editor.setAllowedEapMethods({"eapPeap", "eapTls"});
    fill({withExtras(configured("Home", "HomeNet", "wpa2PersonalAes"), "/opt/home.sh", "E1", true),
          withExtras(configured("Work", "CorpNet", "wpa2EnterpriseAes", "administrator"), "/opt/work.sh"),
          configured("Lab", "LabNet", "wpa2PersonalAes")});
    const Case cases[] = {
        {"nothing changed, with a script", "Home", [] {}, {}, true},
        {"nothing changed, an administrator network with a script", "Work", [] {}, {}, true},
        {"only the VPN entry",
         "Lab",
         [&] { form().vpnComboBox->setCurrentText("E2"); },
         {"changeNetworkRequest groupName=Office networkName=Lab vpnParameters={connectionEntry=E2 "
          "autoConnectVpn=false}"},
         true},
        {"automatic VPN unchecked with no entry chosen",
         "Lab",
         [&] {
             form().autoVpn->setChecked(true);
             form().autoVpn->setChecked(false);
         },
         {},
         true},
        {"renamed, and the VPN touched without an entry",
         "Lab",
         [&] {
             form().nameText->setText("Lab2");
             form().autoVpn->setChecked(true);
             form().autoVpn->setChecked(false);
         },
         {"changeNetworkRequest groupName=Office networkName=Lab newNetworkName=Lab2"},
         true},
        {"the script emptied",
         "Home",
         [&] { form().scriptName->clear(); },
         {"changeNetworkRequest groupName=Office networkName=Home runScriptSpec="},
         true},
        {"the administrator's VPN setting",
         "Work",
         [&] {
             form().vpnComboBox->setCurrentText("E1");
             form().autoVpn->setChecked(true);
         },
         {"changeNetworkRequest groupName=Office networkName=Work vpnParameters={connectionEntry=E1 "
          "autoConnectVpn=true} eapMethod=eapPeap credentialType=password"},
         true},
        {"a new key",
         "Lab",
         [&] {
             QTest::mouseClick(form().keyText, Qt::LeftButton);
             QTest::keyClicks(form().keyText, "new-secret");
         },
         {"getServiceStateRequest",
          "changeNetworkRequest groupName=Office networkName=Lab "
          "associationAndEncryptionMode=wpa2PersonalAes "
          "wpaAsciiKey=new-secret runScriptSpec="},
         true},
        {"a new key and a new script: the service reads the first of repeated children",
         "Home",
         [&] {
             form().scriptName->setText("/opt/new.sh");
             QTest::mouseClick(form().keyText, Qt::LeftButton);
             QTest::keyClicks(form().keyText, "new-secret");
         },
         {"getServiceStateRequest",
          "changeNetworkRequest groupName=Office networkName=Home runScriptSpec=/opt/new.sh "
          "associationAndEncryptionMode=wpa2PersonalAes wpaAsciiKey=new-secret runScriptSpec=/opt/new.sh"},
         true},
        {"a new key that is too short",
         "Lab",
         [&] {
             QTest::mouseClick(form().keyText, Qt::LeftButton);
             QTest::keyClicks(form().keyText, "short");
         },
         {},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        select(c.network);
        editor.ShowPropertiesDlg();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
        pipe.clear();
        c.change();
        clickOk();
        EXPECT_EQ(described(pipe), c.frames);
        EXPECT_EQ(editor.isVisible(), !c.closed);
        editor.close();
    }
}

// A key of the wrong size for its element is dropped unsent; nothing may then be connected either.
TEST_F(KeyInfoFixture, ANetworkThatWasNotAddedIsNotConnected) {
    setCurrent("Home");
    editor.MapAddSSIDInfoData();
    form().ssidText->setText("GuestNet");
    form().keyType->setCurrentText("WPA2 Personal AES");
    form().keyText->setText(QString(64, QLatin1Char('a')));
    clickOk();
    ASSERT_EQ(pipe.methods().size(), 3);
    pipe.clear();

    // The placeholder typed as a key is taken as "unchanged" and is not checked, while the key
    // flag still says hexadecimal from the key before: the request cannot be written.
    editor.MapAddSSIDInfoData();
    form().ssidText->setText("OtherNet");
    form().keyType->setCurrentText("WPA2 Personal AES");
    form().keyText->setText(KeyInfo::KEY_PLACEHOLDER);
    clickOk();
    EXPECT_TRUE(pipe.frames().isEmpty());
    EXPECT_TRUE(editor.isVisible());
}

TEST_F(KeyInfoFixture, ANewNetworkDoesNotInheritTheScriptShownBefore) {
    editor.enableRunScript(true);
    fill({withExtras(configured("Home", "HomeNet", "wpa2PersonalAes"), "/opt/home.sh")});
    select("Home");
    editor.ShowPropertiesDlg();
    EXPECT_EQ(form().scriptName->text(), "/opt/home.sh");
    editor.close();

    select("Cafe");
    editor.ProcessConnectDlg(false);
    ASSERT_EQ(pipe.messages().size(), 2);
    EXPECT_EQ(pipe.messages().at(1).child("runScriptSpec"), "");

    editor.enableRunScript(false);
    select("Home");
    editor.ShowPropertiesDlg();
    editor.close();
    pipe.clear();
    editor.MapAddSSIDInfoData();
    form().ssidText->setText("GuestNet");
    form().keyType->setCurrentText("Open(non-secured)");
    clickOk();
    ASSERT_EQ(pipe.messages().size(), 2);
    EXPECT_EQ(pipe.messages().at(1).child("runScriptSpec"), "") << "also while scripts are not offered";
}

}  // namespace
}  // namespace tamsel::test
