#include "gui/windows/CertDialog.h"

#include "gui/client/SoapRequest.h"
#include "gui/orvik/QtHelp.h"
#include "gui/windows/CertDialogForm.h"

CertDialog::CertDialog(QWidget* parent) : QDialog(parent), m_form(std::make_unique<Ui::CertDialogClass>()) {
    m_form->setupUi(this);
    setWindowFlags(Qt::WindowSystemMenuHint);
    connect(m_form->helpButton, &QPushButton::clicked, this, &CertDialog::helpRequested);
    orvik::QtHelp::registerDialog(this, QStringLiteral("helpBindings"));
}

CertDialog::~CertDialog() = default;

void CertDialog::setVisible(bool visible) {
    QDialog::setVisible(visible);
    emit visibleChanged(visible);
}

void CertDialog::setRequestContext(const Certificate& request) {
    m_groupName = request.groupName();
    m_networkName = request.networkName();
    m_sequenceNumber = request.sequenceNumber();
}

void CertDialog::setCertificateList(const QList<CertificateEntry>& entries) {
    // Even while visible: the context was already replaced, so the list must follow it.
    m_form->certName->clear();
    for (QStringList* list :
         {&m_hashes, &m_issuedTo, &m_issuedBy, &m_expiryDates, &m_serialNumbers, &m_smartCardNames}) {
        list->clear();
    }
    m_form->smartPin->clear();
    clearDetails();
    m_form->OkBtn->setEnabled(!entries.isEmpty());
    if (entries.isEmpty()) return;

    QStringList names;
    for (const CertificateEntry& entry : entries) {
        names.append(itemText(entry, entries));
        m_hashes.append(entry.certificateHash);
        m_issuedTo.append(entry.issuedTo);
        m_issuedBy.append(entry.issuedBy);
        m_expiryDates.append(entry.expiryDate);
        m_serialNumbers.append(entry.serialNumber);
        m_smartCardNames.append(entry.smartCardName);
    }
    m_form->label->setText(tr("Choose Certificate for the connection %1:").arg(m_networkName));
    m_form->certName->addItems(names);
    if (entries.first().certificateName.isEmpty()) {
        m_form->smartName->hide();
        m_form->smartPin->hide();
    }
}

QString CertDialog::itemText(const CertificateEntry& entry, const QList<CertificateEntry>& entries) {
    int sameName = 0;
    for (const CertificateEntry& other : entries)
        if (other.certificateName == entry.certificateName) ++sameName;
    if (sameName < 2) return entry.certificateName;
    // Certificates of one name differ by where they live: the user's store or a named card.
    const QString source = entry.smartCardName.isEmpty() ? tr("certificate store") : entry.smartCardName;
    return tr("%1 (%2)").arg(entry.certificateName, source);
}

void CertDialog::clearDetails() {
    for (QLabel* value :
         {m_form->issueToText, m_form->issueByText, m_form->expDate, m_form->serialNo, m_form->smartName}) {
        value->clear();
    }
    showSmartCard(false);
}

void CertDialog::showSmartCard(bool shown) {
    for (QWidget* widget :
         {static_cast<QWidget*>(m_form->label_7), static_cast<QWidget*>(m_form->smartName),
          static_cast<QWidget*>(m_form->label_6), static_cast<QWidget*>(m_form->smartPin)}) {
        widget->setVisible(shown);
    }
}

void CertDialog::on_certName_currentIndexChanged(int index) {
    if (index < 0 || index >= m_hashes.size()) return;
    m_form->issueToText->setText(m_issuedTo.at(index));
    m_form->issueByText->setText(m_issuedBy.at(index));
    m_form->expDate->setText(m_expiryDates.at(index));
    m_form->serialNo->setText(m_serialNumbers.at(index));
    const QString& card = m_smartCardNames.at(index);
    if (card.isEmpty()) {
        showSmartCard(false);
        return;
    }
    m_form->smartName->setText(card);
    m_form->smartPin->setEchoMode(QLineEdit::Password);
    m_form->smartPin->clear();
    showSmartCard(true);
}

void CertDialog::on_OkBtn_clicked() {
    m_pin = m_form->smartPin->text();
    ReturnCert(m_form->certName->currentIndex());
    close();
}

void CertDialog::ReturnCert(int index) {
    if (index < 0 || index >= m_hashes.size()) return;
    SoapRequest answer(QStringLiteral("getCertificateResponse"), m_sequenceNumber);
    answer.addRequestParam(QStringLiteral("groupName"), m_groupName);
    answer.addRequestParam(QStringLiteral("networkName"), m_networkName);
    answer.addRequestParam(QStringLiteral("certificateHash"), m_hashes.at(index));
    if (!m_form->smartPin->text().isEmpty()) answer.addRequestParam(QStringLiteral("pin"), m_pin);
    answer.endRequest();
    answer.sendRequest();
}

void CertDialog::on_cancelBtn_clicked() {
    close();
}
