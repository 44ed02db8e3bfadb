#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QString>

// The service's getConnectionModeResponse.
class Mode {
public:
    // False when the message does not parse; the record is then unchanged.
    bool parse(const QByteArray& message);

    const QString& groupName() const { return m_groupName; }
    const QString& networkName() const { return m_networkName; }
    const QString& sequenceNumber() const { return m_sequenceNumber; }
    const QString& connectionMode() const { return m_connectionMode; }
    bool isManual() const { return m_connectionMode == QLatin1String("manual"); }

private:
    QString m_groupName;
    QString m_networkName;
    QString m_sequenceNumber;
    QString m_connectionMode;
};

Q_DECLARE_METATYPE(Mode)
