#include "gui/windows/VpnConnection.h"

#include "gui/windows/VpnConnectionForm.h"
#include "platform/qtsoap/QtSoapMessage.h"

VpnConnection::VpnConnection(QWidget* parent) : QDialog(parent), m_form(std::make_unique<Ui::VpnClass>()) {
    m_form->setupUi(this);
    setWindowFlags(Qt::WindowSystemMenuHint);
}

VpnConnection::~VpnConnection() = default;

bool VpnConnection::readVpnCapabilities(const QByteArray& message) {
    QtSoapMessage soap;
    if (!soap.setContent(message)) return false;
    const QtSoapElement method = soap.method();
    m_automatedVpnCapable = method[QStringLiteral("isAutomatedVpnCapable")].toBool();
    const QtSoapElement entries = method[QStringLiteral("connectionEntries")];
    if (entries.isArray()) {
        m_connectionEntries.clear();
        for (const QtSoapElement& item : entries.items()) m_connectionEntries.append(item.text());
    }
    m_defaultConnectionEntry = method[QStringLiteral("defaultConnectionEntry")].text();
    return true;
}

QString VpnConnection::connectionEntry(int index) const {
    return m_connectionEntries.value(index);
}

void VpnConnection::appendConnectionEntry(const QString& entry) {
    m_connectionEntries.append(entry);
}

void VpnConnection::clearConnectionEntries() {
    m_connectionEntries.clear();
}

void VpnConnection::showDialog() {
    m_form->autoVpn->setChecked(false);
    m_form->vpnComboBox->clear();
    m_form->vpnComboBox->addItems(m_connectionEntries);
    show();
    raise();
    activateWindow();
}

void VpnConnection::on_okBtn_clicked() {
    emit VpnChangeEvent(m_form->autoVpn->isChecked() ? QStringLiteral("true") : QStringLiteral("false"),
                        m_form->vpnComboBox->currentText());
    close();
}

void VpnConnection::on_cancelBtn_clicked() {
    emit VpnChangeEvent(QStringLiteral("Cancel"), QString());
    close();
}
