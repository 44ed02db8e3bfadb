#pragma once

#include <QDialog>
#include <QModelIndex>
#include <QString>
#include <QStringList>
#include <memory>

class GenWepKey;
class QMessageBox;
class ScanModel;
class SoapRequest;
class VpnConnection;

namespace Ui {
class KeyInfoClass;
}

// The network profile editor, "Enter Connection Info". The main window keeps one and uses it to
// enter a network by hand, to show and change a configured network's properties, and as the connect
// action of the available-connections list: a configured network is connected at once, a scanned
// one without a profile is added (at once when open, through the editor when secured). It also
// runs a network's script once the network has connected. Requests go out through SoapRequest; the
// answers come back to the main window and the model, never here.
class KeyInfo : public QDialog {
    Q_OBJECT

public:
    // Shown in the key field of a configured network; a key left at it keeps the stored key.
    static const QString KEY_PLACEHOLDER;

    explicit KeyInfo(QWidget* parent = nullptr);
    ~KeyInfo() override;

    void setModel(ScanModel* model);
    void setVpnCapable(bool capable);
    // Offers the VPN entry points the service reported.
    void setVpnEntries(VpnConnection* vpn);
    void enableRunScript(bool allowed);
    // The administrator's allowed EAP methods by their wire names; the unknown ones are left out.
    void setAllowedEapMethods(const QStringList& wireNames);
    // Whether the network of the last state event has a VPN entry point.
    bool currentHasVpnEntry() const;
    // Starts the script of the row's network, when it has one and policy lets it run.
    void runScript(const QModelIndex& index);

    // The wire name of an EAP method's display name and the other way round; "Error" for any
    // other text.
    static QString eapMethodName(const QString& name);

    void setVisible(bool visible) override;

    const Ui::KeyInfoClass& form() const { return *m_form; }
    const QStringList& allowedEapMethods() const { return m_allowedEapMethods; }
    const QString& activeGroup() const { return m_activeGroup; }
    GenWepKey& generator() const { return *m_generator; }
    QMessageBox& scriptErrorBox() const { return *m_scriptError; }

signals:
    void SetManualMode(const QString& networkName);
    void helpRequested();
    void visibleChanged(bool visible);
    void returnToAutoMode();

public slots:
    void MapKeyInfoData(ScanModel* model, const QModelIndex& index);
    void MapAddSSIDInfoData();
    bool ProcessConnectDlg(bool exclusive);
    void SetActiveGroup(const QString& name);
    void ShowPropertiesDlg();
    void ShowGenWepKey();
    void putHexKey(const QString& key);
    // The user's choice in the VPN settings dialog, for the current network: stored, then the
    // VPN connected.
    void SetVpnDefaults(const QString& choice, const QString& entry);
    void keyTypeChange();
    void dialogChanged();
    void ssidChanged();
    void SpecifyScriptText(const QString& text);
    void on_checkBox_stateChanged(int state);
    // OK: checks the entries and sends the add or change request.
    void getKeyInfo();
    void accept() override;
    void reject() override;
    void eapChoiceChanged();
    void CredentialTypeChanged();
    void SpecifyScript();

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    // The fields of the row last selected in the list, as the list shows them.
    struct CachedRow {
        QString name;
        QString ssid;
        QString creator;
        QString security;
        bool configured = false;
        bool autoConnectVpn = false;
        QString connectionEntry;
        QString eapMethod;
        QString credentialType;
        QString script;
    };

    // The checks and requests behind OK.
    bool validateKey();
    bool isHexKey() const;
    int writeSecurityAndSend(SoapRequest& request);
    bool isConfiguredName(const QString& name) const;
    // `base`, or `base` with "_1", "_2"... appended until no configured network has the name.
    QString unusedName(const QString& base) const;
    int addNetwork();
    int changeNetwork();
    static void addVpnParameters(SoapRequest& request, const QString& entry, const QString& automatic);

    void setMessage(const QString& text);
    void selectVpnEntry(const QString& entry);
    void enableScriptWidgets(bool enabled);
    void copyCachedRow();
    // Widens the fields and the window to their longest texts.
    void fitTexts();
    static int securityTypeIndex(const QString& displayName);

    std::unique_ptr<Ui::KeyInfoClass> m_form;
    std::unique_ptr<GenWepKey> m_generator;
    std::unique_ptr<QMessageBox> m_scriptError;
    ScanModel* m_model = nullptr;
    CachedRow m_cached;

    // The working entries.
    QString m_name;
    QString m_creator;
    QString m_ssid;
    QString m_security;
    QString m_securityType;
    QString m_key;
    int m_securityTypeIndex = 0;
    bool m_asciiKey = false;
    QString m_nameBeforeEdit;
    QString m_activeGroup;

    QStringList m_allowedEapMethods;
    bool m_vpnCapable = false;
    bool m_runScriptsAllowed = false;
    bool m_editorShown = false;

    bool m_eapChanged = false;
    bool m_vpnChanged = false;
    bool m_ssidChanged = false;
    bool m_scriptChanged = false;
};
