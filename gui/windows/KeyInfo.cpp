#include "gui/windows/KeyInfo.h"

#include <QEvent>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <algorithm>

#include "gui/client/SecurityTables.h"
#include "gui/client/SoapRequest.h"
#include "gui/orvik/QtHelp.h"
#include "gui/windows/AutoModeFlag.h"
#include "gui/windows/GenWepKey.h"
#include "gui/windows/KeyInfoForm.h"
#include "gui/windows/ModalRunner.h"
#include "gui/windows/ScanModel.h"
#include "gui/windows/TextFit.h"
#include "gui/windows/VpnConnection.h"

namespace {

const QString ADMINISTRATOR = QStringLiteral("administrator");
const QString OPEN_NETWORK = QStringLiteral("Open(non-secured)");
const QString SELECT_SECURITY_TYPE = QStringLiteral("-- Select Security Type --");
const QString SHARED_WEP = QStringLiteral("Shared WEP");

struct EapName {
    const char* display;
    const char* wire;
};

constexpr EapName EAP_NAMES[] = {
    {"LEAP", "leap"},        {"PEAP", "eapPeap"},     {"EAP-TLS", "eapTls"},
    {"EAP-TTLS", "eapTtls"}, {"EAP-FAST", "eapFast"},
};

struct CredentialChoices {
    const char* eapMethod;
    QStringList choices;
};

const QList<CredentialChoices>& credentialChoices() {
    static const QList<CredentialChoices> table = {
        {"LEAP", {"password"}},
        {"PEAP", {"password", "certificate", "token"}},
        {"EAP-TLS", {"certificate"}},
        {"EAP-TTLS", {"password"}},
        {"EAP-FAST", {"password", "certificate", "token"}},
    };
    return table;
}

bool has(const QString& text, const char* part, Qt::CaseSensitivity cs = Qt::CaseSensitive) {
    return text.contains(QLatin1String(part), cs);
}

}  // namespace

const QString KeyInfo::KEY_PLACEHOLDER = QStringLiteral("<click to change your key>");

KeyInfo::KeyInfo(QWidget* parent)
    : QDialog(parent),
      m_form(std::make_unique<Ui::KeyInfoClass>()),
      m_generator(std::make_unique<GenWepKey>()),
      m_scriptError(std::make_unique<QMessageBox>()) {
    m_form->setupUi(this);
    setWindowFlags(Qt::WindowSystemMenuHint);
    connect(m_form->okButton, &QPushButton::clicked, this, &KeyInfo::getKeyInfo);
    connect(m_form->cancelButton, &QPushButton::clicked, this, &KeyInfo::close);
    connect(m_form->keyType, &QComboBox::currentIndexChanged, this, &KeyInfo::keyTypeChange);
    connect(m_form->autoVpn, &QCheckBox::stateChanged, this, &KeyInfo::dialogChanged);
    connect(m_form->vpnComboBox, &QComboBox::currentIndexChanged, this, &KeyInfo::dialogChanged);
    connect(m_form->ssidText, &QLineEdit::textChanged, this, &KeyInfo::ssidChanged);
    connect(m_form->helpButton, &QPushButton::clicked, this, &KeyInfo::helpRequested);
    connect(m_form->generateBtn, &QPushButton::clicked, this, &KeyInfo::ShowGenWepKey);
    connect(m_generator.get(), &GenWepKey::copyHexString, this, &KeyInfo::putHexKey);
    connect(m_form->eapMethod, &QComboBox::currentIndexChanged, this, &KeyInfo::eapChoiceChanged);
    connect(m_form->credentials, &QComboBox::currentIndexChanged, this, &KeyInfo::CredentialTypeChanged);
    connect(m_form->scriptButton, &QPushButton::clicked, this, &KeyInfo::SpecifyScript);
    connect(m_form->scriptName, &QLineEdit::textChanged, this, &KeyInfo::SpecifyScriptText);
    m_form->keyText->installEventFilter(this);
    fitTexts();
    // The script error informs; it must not hold up the rest of the program.
    m_scriptError->setModal(false);
    orvik::QtHelp::registerDialog(this, QStringLiteral("helpBindings"));
}

KeyInfo::~KeyInfo() = default;

void KeyInfo::fitTexts() {
    QStringList types;
    for (const SecurityType& type : securityTypeTable()) types << type.displayName;
    TextFit::fitComboBox(m_form->keyType, types);
    QStringList methods;
    for (const EapName& row : EAP_NAMES) methods << QLatin1String(row.display);
    TextFit::fitComboBox(m_form->eapMethod, methods);
    QStringList credentialTypes;
    for (const CredentialChoices& row : credentialChoices()) credentialTypes << row.choices;
    TextFit::fitComboBox(m_form->credentials, credentialTypes);
    TextFit::fitLineEdit(m_form->keyText, KEY_PLACEHOLDER);
    TextFit::fitWindowTitle(this);
    // Rows come and go with the security type, so the window keeps one size: the form's, or wider
    // when the fields need it.
    setFixedWidth(std::max(minimumWidth(), minimumSizeHint().width()));
}

void KeyInfo::setVisible(bool visible) {
    QDialog::setVisible(visible);
    emit visibleChanged(visible);
}

void KeyInfo::accept() {
    done(1);
}

void KeyInfo::reject() {
    done(0);
}

QString KeyInfo::eapMethodName(const QString& name) {
    for (const EapName& row : EAP_NAMES) {
        if (name == QLatin1String(row.display)) return QLatin1String(row.wire);
        if (name == QLatin1String(row.wire)) return QLatin1String(row.display);
    }
    return QStringLiteral("Error");
}

int KeyInfo::securityTypeIndex(const QString& displayName) {
    const QList<SecurityType>& table = securityTypeTable();
    for (int i = 0; i < table.size(); ++i) {
        if (table.at(i).displayName == displayName) return i;
    }
    return 0;
}

void KeyInfo::setMessage(const QString& text) {
    m_form->label->setText(text);
}

void KeyInfo::selectVpnEntry(const QString& entry) {
    // No entry of that text leaves the box on none, which reads as "no entry chosen".
    m_form->vpnComboBox->setCurrentIndex(m_form->vpnComboBox->findText(entry));
}

void KeyInfo::enableScriptWidgets(bool enabled) {
    for (QWidget* widget :
         {static_cast<QWidget*>(m_form->groupBox_3), static_cast<QWidget*>(m_form->scriptButton),
          static_cast<QWidget*>(m_form->scriptName), static_cast<QWidget*>(m_form->label_3)}) {
        widget->setEnabled(enabled);
    }
}

void KeyInfo::copyCachedRow() {
    m_name = m_cached.name;
    m_creator = m_cached.creator;
    m_ssid = m_cached.ssid;
    m_security = m_cached.security;
}

void KeyInfo::setModel(ScanModel* model) {
    m_model = model;
}

void KeyInfo::setVpnCapable(bool capable) {
    m_vpnCapable = capable;
    m_form->vpnComboBox->setVisible(capable);
    m_form->autoVpn->setVisible(capable);
    m_form->vpnGroupBox->setVisible(capable);
}

void KeyInfo::setVpnEntries(VpnConnection* vpn) {
    if (vpn == nullptr) return;
    m_form->autoVpn->setChecked(false);
    m_form->vpnComboBox->clear();
    m_form->vpnComboBox->addItems(vpn->connectionEntries());
    m_form->autoVpn->setEnabled(vpn->isAutomatedVpnCapable());
    m_form->vpnComboBox->setEnabled(vpn->isAutomatedVpnCapable());
    m_eapChanged = false;
}

void KeyInfo::enableRunScript(bool allowed) {
    for (QWidget* widget :
         {static_cast<QWidget*>(m_form->groupBox_3), static_cast<QWidget*>(m_form->scriptButton),
          static_cast<QWidget*>(m_form->scriptName), static_cast<QWidget*>(m_form->label_3)}) {
        widget->setVisible(allowed);
    }
    enableScriptWidgets(allowed);
    m_runScriptsAllowed = allowed;
}

void KeyInfo::setAllowedEapMethods(const QStringList& wireNames) {
    m_allowedEapMethods.clear();
    for (const QString& wire : wireNames) {
        const QString display = eapMethodName(wire);
        if (display != QLatin1String("Error")) m_allowedEapMethods.append(display);
    }
}

bool KeyInfo::currentHasVpnEntry() const {
    return m_model != nullptr && !m_model->currentRowConnectionEntry().isEmpty();
}

void KeyInfo::MapKeyInfoData(ScanModel* model, const QModelIndex& index) {
    if (model == nullptr || index.row() < 0 || index.column() < 0) return;
    const auto shown = [model, row = index.row()](int column) { return model->index(row, column).data(); };
    m_cached.name = shown(ScanModel::NameColumn).toString();
    m_cached.ssid = shown(ScanModel::SsidColumn).toString();
    m_cached.creator = shown(ScanModel::CreatorColumn).toString();
    m_cached.security = shown(ScanModel::ModesColumn).toString();
    m_cached.configured = shown(ScanModel::ConfiguredCopyColumn).toBool();
    m_cached.autoConnectVpn = shown(ScanModel::AutoConnectVpnColumn).toBool();
    m_cached.connectionEntry = shown(ScanModel::ConnectionEntryColumn).toString();
    m_cached.eapMethod = shown(ScanModel::EapMethodColumn).toString();
    m_cached.credentialType = shown(ScanModel::CredentialTypeColumn).toString();
    m_cached.script = shown(ScanModel::RunScriptColumn).toString();
}

void KeyInfo::SetActiveGroup(const QString& name) {
    m_activeGroup = name;
}

void KeyInfo::ShowGenWepKey() {
    m_generator->ShowWindow();
}

void KeyInfo::putHexKey(const QString& key) {
    m_form->keyText->setText(key);
}

void KeyInfo::on_checkBox_stateChanged(int state) {
    m_form->keyText->setEchoMode(state == Qt::Checked ? QLineEdit::Normal : QLineEdit::Password);
    m_form->keyText->setFocus();
}

bool KeyInfo::eventFilter(QObject* object, QEvent* event) {
    // A click into the key field starts a new key, so the placeholder never has to be erased by hand.
    if (object == m_form->keyText && event->type() == QEvent::MouseButtonRelease) {
        m_form->keyText->clear();
        return true;
    }
    return QDialog::eventFilter(object, event);
}

void KeyInfo::dialogChanged() {
    m_vpnChanged = true;
}

void KeyInfo::ssidChanged() {
    m_ssidChanged = true;
}

void KeyInfo::SpecifyScriptText(const QString&) {
    m_scriptChanged = true;
}

void KeyInfo::CredentialTypeChanged() {
    m_eapChanged = true;
}

void KeyInfo::SetVpnDefaults(const QString& choice, const QString& entry) {
    m_form->autoVpn->setChecked(choice.contains(QLatin1String("true")));
    m_form->vpnComboBox->setCurrentIndex(m_form->vpnComboBox->findText(entry));
    keyTypeChange();
    m_editorShown = false;

    SoapRequest change(QStringLiteral("changeNetworkRequest"));
    change.addRequestParam(QStringLiteral("groupName"), m_activeGroup);
    change.addRequestParam(QStringLiteral("networkName"),
                           m_model != nullptr ? m_model->currentRowName() : QString());
    addVpnParameters(change, entry, choice);
    change.endRequest();
    change.sendRequest();
    SoapRequest::send(QStringLiteral("connectVpnRequest"));
}

void KeyInfo::addVpnParameters(SoapRequest& request, const QString& entry, const QString& automatic) {
    request.openElement(QStringLiteral("vpnParameters"));
    request.addRequestParam(QStringLiteral("connectionEntry"), entry);
    request.addRequestParam(QStringLiteral("autoConnectVpn"), automatic);
    request.closeElement(QStringLiteral("vpnParameters"));
}

void KeyInfo::MapAddSSIDInfoData() {
    m_name.clear();
    m_creator.clear();
    m_ssid.clear();
    m_security.clear();
    m_key.clear();
    m_form->keyType->clear();

    m_form->nameText->setFocus();
    for (QWidget* widget : {static_cast<QWidget*>(m_form->ssidText), static_cast<QWidget*>(m_form->nameText),
                            static_cast<QWidget*>(m_form->keyType), static_cast<QWidget*>(m_form->keyText)}) {
        widget->setEnabled(true);
    }
    m_form->nameText->clear();
    m_form->ssidText->clear();
    m_form->keyText->setEchoMode(QLineEdit::Password);
    m_form->checkBox->setChecked(false);
    m_cached.configured = false;

    for (const SecurityType& type : securityTypeTable()) m_form->keyType->addItem(type.displayName);

    m_form->ssidText->setReadOnly(false);
    m_form->keyText->setMaxLength(64);
    m_form->ssidText->show();
    m_form->label_2->show();
    m_form->generateBtn->hide();
    m_form->autoVpn->setChecked(false);
    selectVpnEntry(QString());

    enableScriptWidgets(m_runScriptsAllowed);
    // A new network starts without a script, whatever the editor showed before.
    m_form->scriptName->clear();
    // The VPN choice made here is written with the new network.
    m_editorShown = true;
    show();
    raise();
    activateWindow();
}

void KeyInfo::ShowPropertiesDlg() {
    copyCachedRow();
    m_form->keyType->clear();
    m_form->ssidText->setText(m_ssid);
    m_form->nameText->setText(m_name);
    m_nameBeforeEdit = m_name;
    m_form->nameText->setEnabled(true);
    m_form->nameText->setFocus();
    m_form->ssidText->setEnabled(false);
    m_form->scriptName->setText(m_cached.script);
    m_form->autoVpn->setChecked(m_cached.autoConnectVpn);
    selectVpnEntry(m_cached.connectionEntry);

    QString type = m_security;
    if (!has(m_security, "Open")) type.replace(QLatin1Char('-'), QLatin1Char(' '));
    if (!type.isEmpty()) {
        m_form->keyText->setEnabled(true);
        m_form->keyType->addItem(type);
    } else {
        m_form->keyType->clear();
        m_form->keyText->setEchoMode(QLineEdit::Normal);
        m_form->keyText->setEnabled(false);
        m_form->label_4->hide();
        m_form->keyText->hide();
    }
    // A configured network keeps its security type.
    m_form->keyType->setEnabled(false);

    m_form->generateBtn->setVisible(has(m_securityType, "wep", Qt::CaseInsensitive));
    update();
    keyTypeChange();

    m_form->keyText->setEchoMode(QLineEdit::Normal);
    // Filling in the stored values is no change of the user's.
    m_eapChanged = false;
    m_ssidChanged = false;
    m_scriptChanged = false;
    m_form->keyText->setText(KEY_PLACEHOLDER);
    m_form->checkBox->setChecked(true);

    const bool administrator = m_creator == ADMINISTRATOR;
    m_form->eapMethod->setEnabled(!administrator);
    m_form->credentials->setEnabled(!administrator);
    enableScriptWidgets(!administrator && m_runScriptsAllowed);
    if (administrator) {
        for (QWidget* widget :
             {static_cast<QWidget*>(m_form->nameText), static_cast<QWidget*>(m_form->ssidText),
              static_cast<QWidget*>(m_form->keyType), static_cast<QWidget*>(m_form->keyText)}) {
            widget->setEnabled(false);
        }
        setMessage(tr("These values for administrator networks cannot be changed by the user."));
        for (QWidget* widget :
             {static_cast<QWidget*>(m_form->label_4), static_cast<QWidget*>(m_form->keyText),
              static_cast<QWidget*>(m_form->ssidText), static_cast<QWidget*>(m_form->label_2)}) {
            widget->show();
        }
        m_form->checkBox->hide();
    }

    // A wired network has no SSID and no key.
    const bool wired = m_ssid.isEmpty();
    for (QWidget* widget :
         {static_cast<QWidget*>(m_form->label_4), static_cast<QWidget*>(m_form->keyText),
          static_cast<QWidget*>(m_form->ssidText), static_cast<QWidget*>(m_form->label_2)}) {
        widget->setVisible(!wired);
    }
    if (wired) m_form->checkBox->hide();

    if (has(m_securityType, "open", Qt::CaseInsensitive)) {
        m_form->label_4->hide();
        m_form->keyText->hide();
        m_form->checkBox->hide();
    } else if (has(m_securityType, "Enterprise")) {
        m_form->keyText->hide();
        m_form->label_4->hide();
    }

    m_form->keyText->setMaxLength(64);
    m_editorShown = true;
    m_vpnChanged = false;
    show();
    raise();
    activateWindow();
}

void KeyInfo::keyTypeChange() {
    m_securityType = m_form->keyType->currentText();
    m_securityTypeIndex = securityTypeIndex(m_securityType);

    m_form->keyText->setInputMask(QString());
    m_form->keyText->clear();
    m_form->keyText->show();
    m_form->label_4->show();
    m_form->nameText->setEnabled(true);
    m_form->keyText->setEnabled(true);
    for (QWidget* widget :
         {static_cast<QWidget*>(m_form->generateBtn), static_cast<QWidget*>(m_form->groupBox_2),
          static_cast<QWidget*>(m_form->eapMethod), static_cast<QWidget*>(m_form->credentials)}) {
        widget->hide();
    }
    m_form->autoVpn->setEnabled(true);
    m_form->vpnComboBox->setEnabled(true);

    if (m_securityType == SELECT_SECURITY_TYPE || m_securityType == OPEN_NETWORK) {
        setMessage(tr("Enter Information for New Connection."));
        for (QWidget* widget :
             {static_cast<QWidget*>(m_form->keyText), static_cast<QWidget*>(m_form->label_4),
              static_cast<QWidget*>(m_form->checkBox), static_cast<QWidget*>(m_form->generateBtn)}) {
            widget->hide();
        }
        return;
    }
    if (has(m_securityType, "wep", Qt::CaseInsensitive)) {
        setMessage(
            tr("A 40/64 bit WEP keys must be 5 ASCII characters or 10 hex digits. A 104/128 bit WEP keys "
               "must be 13 "
               "ASCII characters or 26 hex digits."));
        m_form->generateBtn->show();
        m_form->checkBox->show();
        return;
    }
    if (has(m_securityType, "Personal", Qt::CaseInsensitive)) {
        setMessage(
            tr("The Personal Key must be entered as 8 - 63 ASCII characters or exactly 64 hex digits."));
        m_form->checkBox->show();
        return;
    }
    if (has(m_securityType, "Enterprise")) {
        setMessage(tr("Select EAP method and credential type."));
        m_form->keyText->setEnabled(false);
        m_form->eapMethod->clear();
        m_form->eapMethod->addItems(m_allowedEapMethods);
        for (QWidget* widget :
             {static_cast<QWidget*>(m_form->eapMethod), static_cast<QWidget*>(m_form->credentials),
              static_cast<QWidget*>(m_form->groupBox_2)}) {
            widget->show();
            widget->setEnabled(true);
        }
        for (QWidget* widget :
             {static_cast<QWidget*>(m_form->keyText), static_cast<QWidget*>(m_form->label_4),
              static_cast<QWidget*>(m_form->checkBox), static_cast<QWidget*>(m_form->generateBtn)}) {
            widget->hide();
        }
        if (!m_cached.eapMethod.isEmpty())
            m_form->eapMethod->setCurrentIndex(
                m_form->eapMethod->findText(eapMethodName(m_cached.eapMethod)));
        if (!m_cached.credentialType.isEmpty())
            m_form->credentials->setCurrentIndex(m_form->credentials->findText(m_cached.credentialType));
    }
}

void KeyInfo::eapChoiceChanged() {
    // Filling a disabled box by program is no choice of the user's.
    if (m_form->eapMethod->isEnabled()) m_eapChanged = true;
    const QString method = m_form->eapMethod->currentText();
    for (const CredentialChoices& row : credentialChoices()) {
        if (method == QLatin1String(row.eapMethod)) {
            m_form->credentials->clear();
            m_form->credentials->addItems(row.choices);
            return;
        }
    }
}

void KeyInfo::SpecifyScript() {
    const QString chosen = ModalRunner::current().getOpenFileName(
        this, tr("Select a Script or application to run when this network is connected"),
        m_form->scriptName->text(), tr("Scripts (*.exe *.bat *.cmd);;All files (*)"));
    if (!chosen.isEmpty()) m_form->scriptName->setText(chosen);
    m_scriptChanged = true;
}

bool KeyInfo::ProcessConnectDlg(bool exclusive) {
    copyCachedRow();
    const QString currentName = m_model != nullptr ? m_model->currentRowName() : QString();
    const QString currentSsid = m_model != nullptr ? m_model->currentRowSsid() : QString();
    m_key.clear();
    m_form->keyType->clear();
    // A network that announces no security mode has an empty list, not one empty mode.
    QStringList types = m_security.isEmpty() ? QStringList() : m_security.split(QLatin1Char(' '));
    m_form->keyText->setEchoMode(QLineEdit::Password);
    m_form->checkBox->setChecked(false);
    m_form->ssidText->setEnabled(false);
    bool send = false;

    if (m_security != OPEN_NETWORK) {
        m_form->nameText->setText(m_name.isEmpty() ? m_ssid : m_name);
        m_form->ssidText->setText(m_ssid);
        m_form->keyType->clear();
        for (QString& type : types) {
            if (has(type, "WEP") || has(type, "Personal") || has(type, "Enterprise"))
                type.replace(QLatin1Char('-'), QLatin1Char(' '));
        }
        if (!types.isEmpty()) {
            m_form->keyType->addItems(types);
            if (has(types.first(), "WEP")) m_form->keyType->addItem(SHARED_WEP);
            keyTypeChange();
        } else {
            setMessage(tr("There are no security methods available for this ssid."));
        }
    }

    m_editorShown = false;
    if (has(m_security, "Enterprise")) {
        m_form->eapMethod->setEnabled(true);
        m_form->credentials->setEnabled(true);
    }
    const bool bothEmpty = m_ssid.isEmpty() && currentSsid.isEmpty();
    const bool separator = ScanModel::isSeparatorText(m_name);

    if (m_cached.configured) {
        const bool prompt =
            !currentSsid.isEmpty() && autoModeFlag ? false : !separator && !currentName.isEmpty();
        if (prompt && !exclusive && m_name != currentName && !bothEmpty) {
            QMessageBox box(
                QMessageBox::Warning, tr("Connect Request"),
                tr("Do you want to attempt an exclusive connection to %1?\n\nWarning: You are already "
                   "connected to %2, if you proceed you will lose network connectivity until a new "
                   "connection can be established to %1! Selecting 'No' will allow the client to "
                   "automatically select the network.")
                    .arg(m_name, currentName),
                QMessageBox::NoButton, this);
            QAbstractButton* yes = box.addButton(tr("Yes"), QMessageBox::AcceptRole);
            box.addButton(tr("No"), QMessageBox::RejectRole);
            ModalRunner::current().exec(box);
            if (box.clickedButton() == yes) {
                exclusive = true;
            } else {
                exclusive = false;
                send = true;
            }
        }
        if (send || (currentSsid.isEmpty() && autoModeFlag && !exclusive)) {
            send = m_name == currentName || bothEmpty;
        } else {
            send = true;
        }
        if (send && !separator) {
            SoapRequest::send(QStringLiteral("connectToNetworkRequest"),
                              {{QStringLiteral("networkName"), m_name},
                               {QStringLiteral("connectionMode"),
                                exclusive ? QStringLiteral("manual") : QStringLiteral("auto")}});
            if (exclusive) emit SetManualMode(m_name);
        }
        if (!exclusive && !autoModeFlag) emit returnToAutoMode();
        return true;
    }

    m_form->keyType->setEnabled(true);
    m_form->autoVpn->setChecked(false);
    selectVpnEntry(QString());
    if (has(m_security, "Enterprise")) {
        m_form->checkBox->hide();
    } else {
        m_form->nameText->setEnabled(true);
        m_form->keyType->setEnabled(true);
    }
    m_form->autoVpn->setEnabled(true);
    m_form->vpnComboBox->setEnabled(true);
    m_form->generateBtn->setVisible(has(m_securityType, "wep", Qt::CaseInsensitive));
    // The editor may have shown an administrator's network last, with the script locked.
    enableScriptWidgets(m_runScriptsAllowed);
    // A new network starts without a script, whatever the editor showed before.
    m_form->scriptName->clear();
    if (m_security != OPEN_NETWORK) {
        m_form->nameText->setFocus();
        m_form->keyText->setMaxLength(64);
        m_editorShown = true;
        show();
        raise();
        activateWindow();
    } else {
        m_securityType = OPEN_NETWORK;
        addNetwork();
    }
    return true;
}

void KeyInfo::runScript(const QModelIndex& index) {
    if (!index.isValid()) return;
    const QString script = index.sibling(index.row(), ScanModel::RunScriptColumn).data().toString();
    if (script.isEmpty()) return;
    const QString creator = m_model != nullptr ? m_model->currentRowCreator() : QString();
    if (creator == QLatin1String("user") && !m_runScriptsAllowed) return;

    // Started as a program of its own, without a shell: only an executable file can run.
    const QFileInfo file(script);
    const bool runnable = file.isFile() && file.isExecutable();
    if (runnable && QProcess::startDetached(script, {})) return;
    if (m_scriptError->isVisible()) return;
    // The administrator mends a missing file and a missing permission differently: say which.
    QString fault = tr("does not exist");
    if (runnable) {
        fault = tr("could not be started");
    } else if (file.exists()) {
        fault = tr("is not executable");
    }
    m_scriptError->setWindowTitle(tr("Run Script Error"));
    m_scriptError->setText(
        tr("The script or application that should run when this network connects %1. Please "
           "contact your system administrator.")
            .arg(fault));
    m_scriptError->setIcon(QMessageBox::Critical);
    m_scriptError->show();
    m_scriptError->activateWindow();
}
