// Every window of the tray program opened at its own size in the program's font, filled as a user
// meets it: no label, button, box, field, column or title cuts its text.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QInputDialog>
#include <QStatusBar>
#include <QTest>
#include <functional>

#include "gui/client/Credentials.h"
#include "gui/windows/AboutDialog.h"
#include "gui/windows/CertDialog.h"
#include "gui/windows/CredDialog.h"
#include "gui/windows/GenWepKey.h"
#include "gui/windows/GenWepKeyForm.h"
#include "gui/windows/Locations.h"
#include "gui/windows/LocationsForm.h"
#include "gui/windows/ModalRunner.h"
#include "gui/windows/NetworkStatus.h"
#include "gui/windows/ScanListWidget.h"
#include "gui/windows/SmartPinDialog.h"
#include "gui/windows/TrayIconControlDialog.h"
#include "gui/windows/TrayIconControlDialogForm.h"
#include "gui/windows/VpnConnection.h"
#include "gui/windows/ZornLocation.h"
#include "tests/gui/windows/ClippedTexts.h"
#include "tests/gui/windows/GroupFixture.h"
#include "tests/gui/windows/KeyInfoFixture.h"

namespace tamsel::test {
namespace {

// Shows the window and lets its layouts and deferred measurements settle.
void open(QWidget& window) {
    window.show();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

QString lines(const QStringList& found) {
    return found.isEmpty() ? QString() : "\n  " + found.join("\n  ");
}

// The list of the screenshots: a renamed network, an administrator's, a wired one, and the
// scanned networks below the separator.
void fillAsAtTheOffice(ScanModel& model) {
    update(model, merged({configured("Home WEP renamed", "home-wep", "openStaticWep"),
                          configured("Corp-WiFi", "corp", "wpa2EnterpriseAes", "administrator"),
                          configured("Wired PEAP", "", "")},
                         {scanned("guest", {"openNoEncryption"}, 3), scanned("home-wep", {"wep"}, 2),
                          scanned("Neighbours' long network name", {"wpa2PersonalAes"}, 1)}));
    model.updateStatus(stateEvent("Corp-WiFi", "Authenticating", "-52", "6"));
}

TEST(WindowLayout, TheMainWindowShowsEveryColumnAndKeepsItsWidthAsTheStatusGrows) {
    ScanModel model;
    TrayIconControlDialog window(&model);
    fillAsAtTheOffice(model);
    window.updateStatusTip("Connection: Corp-WiFi    Status: Authenticating");
    open(window);
    const QLabel* status = window.statusLabel();
    EXPECT_EQ(clippedTexts(window, {status}), QStringList())
        << lines(clippedTexts(window, {status})).toStdString();
    EXPECT_FALSE(window.form().scanTreeView->horizontalScrollBar()->isVisible())
        << "the Status column is behind a scroll bar";

    const int width = window.width();
    QString text = "Connection: Corp-WiFi    Status: Connected    Strength: Excellent    IP: 192.0.2.20";
    for (const char* more :
         {"    VPN: Connected", "    VPN IP: 198.51.100.7", "    Gateway: vpn.example.com"}) {
        text += more;
        window.updateStatusTip(text);
        QCoreApplication::processEvents();
        EXPECT_EQ(window.width(), width) << text.toStdString();
        EXPECT_EQ(status->toolTip(), text) << "the whole status is at hand where the line is cut";
    }
}

// The editor in each of its uses: a new network, a user's and an administrator's network's
// properties, a scanned WEP network to connect.
TEST_F(KeyInfoFixture, EveryUseOfTheEditorShowsItsTextsWhole) {
    editor.enableRunScript(true);
    editor.setAllowedEapMethods({"eapPeap", "eapTls", "eapTtls", "eapFast"});
    const struct {
        const char* use;
        std::function<void()> open;
    } uses[] = {
        {"a new network", [&] { editor.MapAddSSIDInfoData(); }},
        {"a user's network",
         [&] {
             select("Home");
             editor.ShowPropertiesDlg();
         }},
        {"an administrator's network",
         [&] {
             select("Work");
             editor.ShowPropertiesDlg();
         }},
        {"a scanned WEP network",
         [&] {
             select("Shop");
             editor.ProcessConnectDlg(false);
         }},
    };
    for (const auto& use : uses) {
        use.open();
        open(editor);
        const QStringList found = clippedTexts(editor);
        EXPECT_EQ(found, QStringList()) << use.use << lines(found).toStdString();
        editor.close();
    }
}

TEST(WindowLayout, EveryDialogShowsItsTextsWhole) {
    RecordingTransport pipe;
    ScriptedModalRunner runner;
    GroupItemList groups =
        groupList({{"Office", {network("Corp-WiFi", "administrator", true), network("Home WEP")}},
                   {"Travel", {network("Hotel")}}},
                  "Office");
    ScanModel model;
    fillAsAtTheOffice(model);

    CredDialog prompt;
    SmartPinDialog pin;
    GenWepKey generator;
    Locations locations;
    CertDialog certificates;
    ZornLocation location;
    NetworkStatus status;
    VpnConnection vpn;
    AboutDialog about;
    std::unique_ptr<QInputDialog> addGroup;
    const auto credentials = [&](const char* passwordType) {
        Credentials request;
        EXPECT_TRUE(request.parse(
            serviceMessage("getUsernameAndPasswordRequest",
                           QByteArray("<sequenceNumber>4</sequenceNumber>\n<groupName>Office</groupName>\n"
                                      "<networkName>Wired PEAP</networkName>\n<passwordType>") +
                               passwordType + "</passwordType>")));
        prompt.prepare(request);
        return &prompt;
    };
    const struct {
        const char* window;
        std::function<QWidget*()> open;
    } windows[] = {
        {"the prompt for a user name and password", [&] { return credentials("usernameAndPassword"); }},
        {"the prompt for a password change", [&] { return credentials("passwordChange"); }},
        {"the prompt after a wrong password", [&] { return credentials("passwordRetry"); }},
        {"the VPN prompt",
         [&] {
             Credentials request;
             EXPECT_TRUE(request.parse(
                 serviceMessage("getVpnCredentialsRequest",
                                "<sequenceNumber>5</sequenceNumber>\n<passwordPrompt>PIN</passwordPrompt>")));
             prompt.prepare(request);
             return &prompt;
         }},
        {"the PIN prompt",
         [&] {
             pin.showForNetwork("SC1", "Office", "Wired PEAP");
             return &pin;
         }},
        {"the WEP generator with a 128 bit key",
         [&] {
             generator.ShowWindow();
             generator.form().lineEdit->setText("a pass phrase of the router");
             generator.form().pushButton->click();
             EXPECT_EQ(generator.form().lineEdit_2->text().size(), 26);
             return &generator;
         }},
        {"the groups",
         [&] {
             locations.fill(&groups);
             return &locations;
         }},
        {"the query for a new group's name",
         [&] {
             runner.cancelText();
             locations.form().addLocBtn->click();
             const ModalRun asked = runner.runs().last();
             addGroup =
                 ModalRunner::textDialog(nullptr, asked.title, asked.text, QLineEdit::Normal, QString());
             return addGroup.get();
         }},
        {"the certificate chooser", [&] { return &certificates; }},
        {"the location", [&] { return &location; }},
        {"the connection status",
         [&] {
             status.updateFromModel(&model);
             status.updateFromStateEvent(stateEvent("Corp-WiFi", "Authenticating", "-52", "6"));
             return &status;
         }},
        {"the VPN settings", [&] { return &vpn; }},
        {"the about box", [&] { return &about; }},
    };
    for (const auto& entry : windows) {
        QWidget* window = entry.open();
        open(*window);
        // The pass phrase is the user's to type: a long one scrolls in its field.
        const QStringList found = clippedTexts(*window, {generator.form().lineEdit});
        EXPECT_EQ(found, QStringList()) << entry.window << lines(found).toStdString();
        window->hide();
    }
}

}  // namespace
}  // namespace tamsel::test
