#pragma once

#include <QDialog>
#include <QString>
#include <memory>

#include "gui/client/Credentials.h"

namespace Ui {
class CredDialogClass;
}

// The prompt in which the user answers the service's requests for a user name and password (also a
// retry or a password change) and for VPN credentials. Created once, without a parent, by the
// controller; each request is handed over with prepare, then the dialog is shown. A request that
// arrives while the prompt is visible takes it over: what is shown and answered is always the newest.
class CredDialog : public QDialog {
    Q_OBJECT

public:
    explicit CredDialog(QWidget* parent = nullptr);
    ~CredDialog() override;

    // Keeps the request and sets the window up for it; the caller shows and activates it.
    void prepare(const Credentials& request);

    bool isPending() const { return m_pending; }
    // "VpnCredentials" after a VPN request, else the request's own password type.
    const QString& passwordType() const { return m_passwordType; }
    const QString& sequenceNumber() const { return m_request.sequenceNumber(); }

    const Ui::CredDialogClass& form() const { return *m_form; }

signals:
    // False when a VPN credential prompt is cancelled.
    void ResetVpnButton(bool enabled);

public slots:
    // Escape cancels a pending request as the Cancel button does.
    void reject() override;

private slots:
    void on_OkBtn_clicked();
    void on_cancelBtn_clicked();
    void on_passwordCheckBox_stateChanged(int state);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showRows(bool userName, bool password, bool changeRows);
    void showPasswords(bool shown);
    void sendAnswer();
    // Tells the service a VPN prompt was turned down; a network prompt is dropped silently.
    void cancelRequest();

    std::unique_ptr<Ui::CredDialogClass> m_form;
    // The request being answered, and the kind of prompt it asked for.
    Credentials m_request;
    QString m_passwordType;
    bool m_pending = false;
};
