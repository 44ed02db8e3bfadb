#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

// The administrator's policy (getAdministratorPolicyResponse). Owned by the service client, which
// forwards the three signals unchanged.
class AdminPolicy : public QObject {
    Q_OBJECT
public:
    explicit AdminPolicy(QObject* parent = nullptr) : QObject(parent) {}

    // False when the message does not parse; then nothing changes and nothing is emitted.
    bool parse(const QByteArray& message);

    const QString& sequenceNumber() const { return m_sequenceNumber; }
    bool noWireless() const { return m_noWireless; }
    const QStringList& allowedEapMethods() const { return m_allowedEapMethods; }

signals:
    void NoWireless(bool noWireless);
    void VpnEnabledSignal(bool enabled);
    void RunScriptEnabledSignal(bool enabled);

private:
    QString m_sequenceNumber;
    bool m_noWireless = false;
    QStringList m_allowedEapMethods;
};
