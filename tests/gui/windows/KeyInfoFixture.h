#pragma once

#include <gtest/gtest.h>

#include <QStringList>

#include "gui/windows/AutoModeFlag.h"
#include "gui/windows/KeyInfo.h"
#include "gui/windows/KeyInfoForm.h"
#include "gui/windows/VpnConnection.h"
#include "platform/qtsoap/QtSoapMessage.h"
#include "tests/gui/support/RecordingTransport.h"
#include "tests/gui/support/ScriptedModalRunner.h"
#include "tests/gui/support/ServiceMessage.h"
#include "tests/gui/windows/ScanFixture.h"

namespace tamsel::test {

// One sent message as "method name=value ...", children in written order; vpnParameters shows its
// own children in braces.
inline QString describe(const SentMessage& message) {
    QStringList parts{message.method};
    QtSoapMessage soap;
    soap.setContent(message.payload);
    for (const QtSoapElement& child : soap.method().items()) {
        if (child.name() == QLatin1String("sequenceNumber")) continue;
        if (child.name() == QLatin1String("vpnParameters")) {
            QStringList inner;
            for (const QtSoapElement& item : child.items()) inner << item.name() + "=" + item.text();
            parts << QStringLiteral("vpnParameters={%1}").arg(inner.join(' '));
        } else {
            parts << child.name() + "=" + child.text();
        }
    }
    return parts.join(' ');
}

inline QStringList described(const RecordingTransport& pipe) {
    QStringList out;
    for (const SentMessage& message : pipe.messages()) out << describe(message);
    return out;
}

inline NetworkItem withExtras(NetworkItem network, const QString& script, const QString& vpnEntry = QString(),
                              bool autoVpn = false) {
    network.runScriptSpec = script;
    network.connectionEntry = vpnEntry;
    network.autoConnectVpn = autoVpn;
    return network;
}

// The editor over a model of the group "Office": configured Home and Lab (user, WPA2 personal),
// Work (administrator, WPA2 enterprise, PEAP with a password), Desk (wired), then the separator and
// the scanned Cafe (open), Shop (WEP), Mixed (WPA2 personal and WEP), Corp (WPA2 enterprise).
class KeyInfoFixture : public ::testing::Test {
protected:
    void SetUp() override {
        autoModeFlag = true;
        NetworkItem work = configured("Work", "CorpNet", "wpa2EnterpriseAes", "administrator");
        work.eapMethod = "eapPeap";
        work.credentialType = "password";
        fill({withExtras(configured("Home", "HomeNet", "wpa2PersonalAes"), "", "E1", true),
              configured("Lab", "LabNet", "wpa2PersonalAes"), work, configured("Desk", "", "")});
        editor.setModel(&model);
        editor.SetActiveGroup("Office");
    }
    void TearDown() override {
        autoModeFlag = true;
        editor.close();
    }

    void fill(const QList<NetworkItem>& networks) {
        const MergeItemList list =
            merged(networks, {scanned("Cafe", {"openNoEncryption"}, 3), scanned("Shop", {"wep"}, 2),
                              scanned("Mixed", {"wpa2PersonalAes", "wep"}, 4),
                              scanned("Corp", {"wpa2EnterpriseAes"}, 2)});
        // The configured rows take their VPN, EAP and script columns from the second list.
        update(model, list);
        update(model, list);
    }

    int rowOf(const QString& name) const {
        for (int row = 0; row < model.rowCount(); ++row) {
            if (model.text(row, ScanModel::NameColumn) == name) return row;
        }
        ADD_FAILURE() << "no row " << name.toStdString();
        return -1;
    }

    void select(const QString& name) { editor.MapKeyInfoData(&model, model.index(rowOf(name), 0)); }
    void setCurrent(const QString& name) { model.updateStatus(stateEvent(name, "Connected")); }

    // The service's VPN capabilities: automated VPN with these entry points.
    void giveVpnEntries(const QStringList& entries) {
        QByteArray items;
        for (const QString& entry : entries)
            items += "<connectionEntry>" + entry.toUtf8() + "</connectionEntry>";
        ASSERT_TRUE(
            vpn.readVpnCapabilities(serviceMessage("getVpnCapabilitiesResponse",
                                                   "<sequenceNumber>4</sequenceNumber>\n"
                                                   "<isAutomatedVpnCapable>true</isAutomatedVpnCapable>\n"
                                                   "<connectionEntries type=\"array\">" +
                                                       items + "</connectionEntries>")));
        editor.setVpnCapable(true);
        editor.setVpnEntries(&vpn);
    }

    const Ui::KeyInfoClass& form() const { return editor.form(); }
    void clickOk() { form().okButton->click(); }

    ScanModel model;
    VpnConnection vpn;
    KeyInfo editor;
    RecordingTransport pipe;
    ScriptedModalRunner runner;
};

}  // namespace tamsel::test
