#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>

// One certificate the service offers to choose from.
struct CertificateEntry {
    QString certificateHash;
    QString certificateName;
    QString issuedTo;
    QString issuedBy;
    QString expiryDate;
    QString serialNumber;
    // Empty for a certificate that is not on a smart card.
    QString smartCardName;
};

// The service's getCertificateRequest.
class Certificate {
public:
    // False when the message does not parse; the record is then unchanged.
    bool parse(const QByteArray& message);

    const QString& groupName() const { return m_groupName; }
    const QString& networkName() const { return m_networkName; }
    const QString& sequenceNumber() const { return m_sequenceNumber; }
    const QList<CertificateEntry>& entries() const { return m_entries; }

private:
    QString m_groupName;
    QString m_networkName;
    QString m_sequenceNumber;
    QList<CertificateEntry> m_entries;
};

Q_DECLARE_METATYPE(CertificateEntry)
Q_DECLARE_METATYPE(Certificate)
