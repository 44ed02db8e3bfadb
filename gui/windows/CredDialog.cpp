#include "gui/windows/CredDialog.h"

#include <QCloseEvent>
#include <QSignalBlocker>

#include "gui/client/SoapRequest.h"
#include "gui/windows/CredDialogForm.h"
#include "gui/windows/TextFit.h"

namespace {

const QString VPN_CREDENTIALS = QStringLiteral("VpnCredentials");
const QString USERNAME = QStringLiteral("username");
const QString PASSWORD = QStringLiteral("password");
const QString PASSWORD_RETRY = QStringLiteral("passwordRetry");
const QString PASSWORD_CHANGE = QStringLiteral("passwordChange");

}  // namespace

CredDialog::CredDialog(QWidget* parent) : QDialog(parent), m_form(std::make_unique<Ui::CredDialogClass>()) {
    m_form->setupUi(this);
    setWindowFlags(Qt::WindowSystemMenuHint);
    m_form->userNameText->setFocus();
}

CredDialog::~CredDialog() = default;

void CredDialog::prepare(const Credentials& request) {
    m_request = request;
    m_passwordType = request.passwordType();
    const QString& network = m_request.networkName();
    m_pending = true;
    setWindowTitle(tr("Credentials"));

    // Passwords typed for an earlier request never go with this one; the user name stays.
    m_form->passwordText->clear();
    m_form->newPasswordText->clear();
    m_form->verifyPasswordText->clear();

    Ui::CredDialogClass& f = *m_form;
    f.label_3->setText(tr("Please enter your username and password for the network: %1.").arg(network));
    f.label_3->setFocusPolicy(Qt::StrongFocus);
    showRows(true, true, false);
    f.passwordCheckBox->show();
    // Labels a previous request's own prompts replaced start from the defaults again.
    f.label->setText(tr("Username:"));
    f.label_2->setText(tr("Password:"));
    f.userNameText->setFocus();
    f.passwordCheckBox->setText(tr("Show Password"));
    // Each prompt starts hidden: a password shown for the last one must not show the next in clear.
    {
        const QSignalBlocker quiet(f.passwordCheckBox);
        f.passwordCheckBox->setChecked(false);
    }
    showPasswords(false);

    if (!m_request.usernamePrompt().isEmpty()) f.label->setText(m_request.usernamePrompt());
    if (!m_request.passwordPrompt().isEmpty()) f.label_2->setText(m_request.passwordPrompt());

    if (m_passwordType.isEmpty()) {
        m_passwordType = VPN_CREDENTIALS;
        f.label_3->setText(tr("Please enter your VPN credentials."));
        setWindowTitle(tr("VPN Credentials"));
        if (m_request.passwordPrompt() == QLatin1String("PIN")) {
            f.passwordCheckBox->setText(tr("Show PIN"));
        } else if (m_request.passwordPrompt() == QLatin1String("Password")) {
            f.passwordCheckBox->setText(tr("Show Password"));
        }
    }

    if (m_passwordType == USERNAME) {
        f.label_3->setText(tr("Please enter your username for the network: %1.").arg(network));
        f.passwordCheckBox->hide();
        showRows(true, false, false);
    } else if (m_passwordType == PASSWORD) {
        f.label_3->setText(tr("Please enter your password for the network: %1.").arg(network));
        showRows(false, true, false);
        f.passwordText->setFocus();
    } else if (m_passwordType == PASSWORD_RETRY) {
        f.label_3->setText(tr("Password was incorrect for the network: %1, please try again.").arg(network));
        f.passwordText->setFocus();
    } else if (m_passwordType == PASSWORD_CHANGE) {
        f.label_3->setText(tr("Please change your password for the network: %1.").arg(network));
        f.label_2->setText(tr("Old Password:"));
        showRows(true, true, true);
        f.userNameText->setFocus();
    }
    // The rows and the message differ from one prompt to the next: the window takes the room they need.
    TextFit::fitWindow(this);
}

void CredDialog::showRows(bool userName, bool password, bool changeRows) {
    Ui::CredDialogClass& f = *m_form;
    f.label->setVisible(userName);
    f.userNameText->setVisible(userName);
    f.label_2->setVisible(password);
    f.passwordText->setVisible(password);
    for (QWidget* widget : {static_cast<QWidget*>(f.label_4), static_cast<QWidget*>(f.newPasswordText),
                            static_cast<QWidget*>(f.label_5), static_cast<QWidget*>(f.verifyPasswordText)}) {
        widget->setVisible(changeRows);
    }
}

void CredDialog::on_OkBtn_clicked() {
    if (m_passwordType == PASSWORD_CHANGE &&
        m_form->newPasswordText->text() != m_form->verifyPasswordText->text()) {
        // A mistyped new password would lock the user out: ask again instead of sending it.
        m_form->label_3->setText(tr("The new password and its verification do not match."));
        m_form->newPasswordText->clear();
        m_form->verifyPasswordText->clear();
        m_form->newPasswordText->setFocus();
        return;
    }
    m_pending = false;
    sendAnswer();
    m_form->label_3->clear();
    close();
}

void CredDialog::sendAnswer() {
    const QString userName = m_form->userNameText->text();
    const QString password = m_form->passwordText->text();
    const QString newPassword = m_form->newPasswordText->text();

    if (m_passwordType == VPN_CREDENTIALS) {
        SoapRequest answer(QStringLiteral("getVpnCredentialsResponse"), m_request.sequenceNumber());
        answer.addRequestParam(QStringLiteral("username"), userName);
        answer.addRequestParam(QStringLiteral("password"), password);
        answer.endRequest();
        answer.sendRequest();
        return;
    }

    SoapRequest answer(QStringLiteral("getUsernameAndPasswordResponse"), m_request.sequenceNumber());
    answer.addRequestParam(QStringLiteral("groupName"), m_request.groupName());
    answer.addRequestParam(QStringLiteral("networkName"), m_request.networkName());
    answer.addRequestParam(QStringLiteral("passwordType"), m_passwordType);
    answer.addRequestParam(QStringLiteral("username"), userName);
    if (m_passwordType == PASSWORD_CHANGE) {
        answer.addRequestParam(QStringLiteral("password"), newPassword);
        answer.addRequestParam(QStringLiteral("oldPassword"), password);
    } else {
        answer.addRequestParam(QStringLiteral("password"), password);
    }
    answer.endRequest();
    answer.sendRequest();
}

void CredDialog::on_cancelBtn_clicked() {
    cancelRequest();
    close();
}

void CredDialog::cancelRequest() {
    if (m_passwordType == VPN_CREDENTIALS) {
        emit ResetVpnButton(false);
        SoapRequest request(QStringLiteral("disconnectVpnRequest"));
        request.endRequest();
        request.sendRequest();
    }
    m_pending = false;
}

void CredDialog::reject() {
    if (m_pending) cancelRequest();
    QDialog::reject();
}

void CredDialog::closeEvent(QCloseEvent* event) {
    if (m_pending) cancelRequest();
    QDialog::closeEvent(event);
}

void CredDialog::on_passwordCheckBox_stateChanged(int state) {
    showPasswords(state != 0);
    m_form->passwordText->setFocus();
}

void CredDialog::showPasswords(bool shown) {
    const QLineEdit::EchoMode mode = shown ? QLineEdit::Normal : QLineEdit::Password;
    m_form->passwordText->setEchoMode(mode);
    m_form->newPasswordText->setEchoMode(mode);
    m_form->verifyPasswordText->setEchoMode(mode);
}
