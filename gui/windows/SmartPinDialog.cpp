#include "gui/windows/SmartPinDialog.h"

#include "gui/client/SoapRequest.h"
#include "gui/windows/SmartPinDialogForm.h"

SmartPinDialog::SmartPinDialog(QWidget* parent)
    : QDialog(parent), m_form(std::make_unique<Ui::SmartPinDialogClass>()) {
    m_form->setupUi(this);
    setWindowFlags(Qt::WindowSystemMenuHint);
}

SmartPinDialog::~SmartPinDialog() = default;

void SmartPinDialog::showForNetwork(const QString& cardName, const QString& groupName,
                                    const QString& networkName) {
    m_form->pinName->setText(cardName);
    m_form->Pin->clear();
    m_form->Pin->setFocus();
    // Kept as received: the service finds the network by these names, whatever their script.
    m_groupName = groupName;
    m_networkName = networkName;
    show();
    raise();
    activateWindow();
}

void SmartPinDialog::on_OKButton_clicked() {
    // The prompt is handed no request number, so the answer takes a number of our own.
    SoapRequest answer(QStringLiteral("getSmartCardPinResponse"));
    answer.addRequestParam(QStringLiteral("groupName"), m_groupName);
    answer.addRequestParam(QStringLiteral("networkName"), m_networkName);
    answer.addRequestParam(QStringLiteral("pin"), m_form->Pin->text());
    answer.endRequest();
    answer.sendRequest();
    close();
}

void SmartPinDialog::on_pushButton_clicked() {
    close();
}
