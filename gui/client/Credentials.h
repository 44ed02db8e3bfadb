#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QString>

// The service's getUsernameAndPasswordRequest or getVpnCredentialsRequest, as the credential prompt
// needs it. A VPN request leaves passwordType empty.
class Credentials {
public:
    // False when the message does not parse; the record is then unchanged.
    bool parse(const QByteArray& message);

    const QString& groupName() const { return m_groupName; }
    const QString& networkName() const { return m_networkName; }
    const QString& sequenceNumber() const { return m_sequenceNumber; }
    const QString& passwordType() const { return m_passwordType; }
    const QString& usernamePrompt() const { return m_usernamePrompt; }
    const QString& passwordPrompt() const { return m_passwordPrompt; }

private:
    QString m_groupName;
    QString m_networkName;
    QString m_sequenceNumber;
    QString m_passwordType;
    QString m_usernamePrompt;
    QString m_passwordPrompt;
};

Q_DECLARE_METATYPE(Credentials)
