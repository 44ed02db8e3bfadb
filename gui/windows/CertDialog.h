#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

#include "gui/client/Certificate.h"

namespace Ui {
class CertDialogClass;
}

// The chooser in which the user picks one of the client certificates the service offers, with the
// PIN of its smart card where it has one. Created once, without a parent, by the controller, which
// sets the request's context, then its list, then shows the dialog. A newer request takes a visible
// chooser over, so the hash answered always belongs to the list shown.
class CertDialog : public QDialog {
    Q_OBJECT

public:
    explicit CertDialog(QWidget* parent = nullptr);
    ~CertDialog() override;

    // Keeps the group, network and sequence number the answer goes to.
    void setRequestContext(const Certificate& request);
    // Refills the chooser; the first certificate becomes current. An empty list cannot be confirmed.
    void setCertificateList(const QList<CertificateEntry>& entries);

    void setVisible(bool visible) override;

    const QString& sequenceNumber() const { return m_sequenceNumber; }
    const Ui::CertDialogClass& form() const { return *m_form; }

signals:
    void helpRequested();
    void visibleChanged(bool visible);

public slots:
    // Answers with the certificate at `index`, and the PIN when one was typed; an index outside the
    // list sends nothing.
    void ReturnCert(int index);

private slots:
    void on_certName_currentIndexChanged(int index);
    void on_OkBtn_clicked();
    void on_cancelBtn_clicked();

private:
    void showSmartCard(bool shown);
    void clearDetails();
    // The list's text of a certificate: its name, and its source where another has the same name.
    static QString itemText(const CertificateEntry& entry, const QList<CertificateEntry>& entries);

    std::unique_ptr<Ui::CertDialogClass> m_form;
    QStringList m_hashes;
    QStringList m_issuedTo;
    QStringList m_issuedBy;
    QStringList m_expiryDates;
    QStringList m_serialNumbers;
    QStringList m_smartCardNames;
    QString m_pin;
    QString m_groupName;
    QString m_networkName;
    QString m_sequenceNumber;
};
