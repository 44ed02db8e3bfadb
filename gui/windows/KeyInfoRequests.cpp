// What the profile editor does when the user presses OK: the checks of the entries and the add and
// change requests they lead to.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "gui/client/SecurityTables.h"
#include "gui/client/SoapRequest.h"
#include "gui/windows/AutoModeFlag.h"
#include "gui/windows/KeyInfo.h"
#include "gui/windows/KeyInfoForm.h"
#include "gui/windows/ScanModel.h"

namespace {

const QString ADMINISTRATOR = QStringLiteral("administrator");
const QString OPEN_NETWORK = QStringLiteral("Open(non-secured)");

bool has(const QString& text, const char* part, Qt::CaseSensitivity cs = Qt::CaseSensitive) {
    return text.contains(QLatin1String(part), cs);
}

QString boolText(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

}  // namespace

void KeyInfo::getKeyInfo() {
    if (m_creator == ADMINISTRATOR && !m_eapChanged && !m_vpnChanged && !m_scriptChanged) {
        close();
        return;
    }

    m_name = m_form->nameText->text();
    m_securityType = m_form->keyType->currentText();
    m_key = m_form->keyText->text();
    m_securityTypeIndex = securityTypeIndex(m_securityType);
    m_ssid = m_form->ssidText->text();

    if (m_ssid.isEmpty() && m_creator != ADMINISTRATOR) {
        setMessage(tr("Please fill in SSID name."));
        return;
    }
    if (m_key.isEmpty() && (has(m_securityType, "Personal") || has(m_securityType, "WEP"))) {
        setMessage(tr("The key is blank. Choose cancel if you don't want to change the key."));
        return;
    }
    if (m_securityType == QLatin1String("-- Select Security Type --")) {
        setMessage(tr("Please choose the security type."));
        return;
    }
    if (m_form->autoVpn->isChecked() && m_form->vpnComboBox->currentText().isEmpty()) {
        setMessage(tr("Please select VPN Entry or uncheck Auto connect to VPN."));
        return;
    }
    if (!has(m_securityType, "Open") && !has(m_securityType, "Enterprise") && m_key != KEY_PLACEHOLDER &&
        !validateKey()) {
        return;
    }

    const int result = m_cached.configured ? changeNetwork() : addNetwork();
    if (result == 0) {
        close();
        m_eapChanged = false;
        m_vpnChanged = false;
    } else if (result == -1) {
        close();
    } else {
        m_eapChanged = false;
        m_vpnChanged = false;
    }
}

bool KeyInfo::validateKey() {
    const qsizetype length = m_key.size();
    if (has(m_securityType, "Personal")) {
        if (length >= 8 && length <= 63) {
            m_asciiKey = true;
            return true;
        }
        if (length == 64) {
            if (isHexKey()) {
                m_asciiKey = false;
                return true;
            }
            setMessage(tr("Please re-enter your key.  Hex key is invalid."));
            return false;
        }
        setMessage(tr("Please re-enter your key. It is the wrong length."));
        return false;
    }
    if (length == 5 || length == 13) {
        m_asciiKey = true;
        return true;
    }
    if (length == 10 || length == 26) {
        if (isHexKey()) {
            m_asciiKey = false;
            return true;
        }
        setMessage(tr("Please re-enter your key.  Hex key is invalid."));
        return false;
    }
    setMessage(tr("Please re-enter your key, it was the wrong length."));
    return false;
}

bool KeyInfo::isHexKey() const {
    for (const QChar c : m_key) {
        const bool hex = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                         (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
                         (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
        if (!hex) return false;
    }
    return true;
}

int KeyInfo::writeSecurityAndSend(SoapRequest& request) {
    if (m_securityType == OPEN_NETWORK) {
        request.addRequestParam(QStringLiteral("associationAndEncryptionMode"),
                                QStringLiteral("openNoEncryption"));
    } else {
        const SecurityType& row = securityTypeTable().at(m_securityTypeIndex);
        request.addRequestParam(QStringLiteral("associationAndEncryptionMode"), row.wireValue);
        QString element = m_asciiKey ? row.asciiKeyElement : row.hexKeyElement;
        const qsizetype length = m_key.size();
        if (element.contains(QLatin1Char('?'))) {
            QString size;
            if (length == 5 || length == 10) {
                size = QStringLiteral("40");
            } else if (length == 13 || length == 26) {
                size = QStringLiteral("128");
            } else {
                return 1;
            }
            element.replace(QLatin1Char('?'), size);
            request.addRequestParam(element, m_key);
        } else if (has(m_securityType, "Personal", Qt::CaseInsensitive)) {
            if (m_asciiKey ? (length < 8 || length > 63) : length != 64) return 1;
            request.addRequestParam(element, m_key);
        } else if (has(m_securityType, "Enterprise", Qt::CaseInsensitive)) {
            request.addRequestParam(QStringLiteral("eapMethod"),
                                    eapMethodName(m_form->eapMethod->currentText()));
            request.addRequestParam(QStringLiteral("credentialType"), m_form->credentials->currentText());
        }
    }
    request.addRequestParam(QStringLiteral("runScriptSpec"), m_form->scriptName->text());
    request.endRequest();

    // The service hears the state request first, then the network request.
    SoapRequest::send(QStringLiteral("getServiceStateRequest"));
    request.sendRequest();
    return 0;
}

bool KeyInfo::isConfiguredName(const QString& name) const {
    if (m_model == nullptr) return false;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->index(row, ScanModel::NameColumn).data().toString() == name)
            return m_model->index(row, ScanModel::ConfiguredCopyColumn).data().toBool();
    }
    return false;
}

QString KeyInfo::unusedName(const QString& base) const {
    QString candidate = base;
    for (int n = 1; isConfiguredName(candidate); ++n)
        candidate = base + QLatin1Char('_') + QString::number(n);
    return candidate;
}

int KeyInfo::addNetwork() {
    SoapRequest request(QStringLiteral("addNetworkRequest"));
    request.addRequestParam(QStringLiteral("groupName"), m_activeGroup);
    const QString currentSsid = m_model != nullptr ? m_model->currentRowSsid() : QString();
    const QString name = unusedName(m_cached.configured || !m_name.isEmpty() ? m_name : m_ssid);
    request.addRequestParam(QStringLiteral("networkName"), name);
    request.addRequestParam(QStringLiteral("ssid"), m_ssid);
    request.addRequestParam(QStringLiteral("networkMedia"), QStringLiteral("wifi"));
    if (m_vpnCapable) {
        const QString entry = m_form->vpnComboBox->currentText();
        if (m_editorShown && !entry.isEmpty())
            addVpnParameters(request, entry, boolText(m_form->autoVpn->isChecked()));
    }
    const int result = writeSecurityAndSend(request);
    // Another wireless network is current in automatic mode: the new one is connected at once, but
    // only when it was added.
    if (result == 0 && !currentSsid.isEmpty() && autoModeFlag) {
        SoapRequest::send(QStringLiteral("connectToNetworkRequest"),
                          {{QStringLiteral("networkName"), name},
                           {QStringLiteral("connectionMode"), QStringLiteral("auto")}});
    }
    return result;
}

int KeyInfo::changeNetwork() {
    const QString name = m_form->nameText->text();
    const bool renamed = name != m_nameBeforeEdit;
    const bool keyReplaced = m_key != KEY_PLACEHOLDER;
    const bool otherChanges = renamed || keyReplaced || m_eapChanged || m_scriptChanged;
    if (!otherChanges && !m_vpnChanged) return -1;

    SoapRequest request(QStringLiteral("changeNetworkRequest"));
    request.addRequestParam(QStringLiteral("groupName"), m_activeGroup);
    request.addRequestParam(QStringLiteral("networkName"), m_nameBeforeEdit);
    if (renamed) request.addRequestParam(QStringLiteral("newNetworkName"), unusedName(name));
    if (m_ssidChanged) {
        request.addRequestParam(QStringLiteral("ssid"), m_ssid);
        m_ssidChanged = false;
    }
    if (m_vpnChanged) {
        const QString entry = m_form->vpnComboBox->currentText();
        if (!entry.isEmpty()) {
            addVpnParameters(request, entry, boolText(m_form->autoVpn->isChecked()));
            m_vpnChanged = false;
        } else if (!otherChanges) {
            // A VPN setting without an entry point is no setting; the rest still goes out.
            return -1;
        }
    }
    if (has(m_securityType, "Enterprise", Qt::CaseInsensitive)) {
        request.addRequestParam(QStringLiteral("eapMethod"), eapMethodName(m_form->eapMethod->currentText()));
        request.addRequestParam(QStringLiteral("credentialType"), m_form->credentials->currentText());
    }
    if (m_scriptChanged) {
        // An emptied field removes the script, so it is sent empty too.
        request.addRequestParam(QStringLiteral("runScriptSpec"), m_form->scriptName->text());
        m_scriptChanged = false;
    }
    if (keyReplaced) return writeSecurityAndSend(request);
    request.endRequest();
    request.sendRequest();
    return 0;
}
