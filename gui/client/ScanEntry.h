#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>

// One scanned network (one SSID) of the service's scan list.
class ScanEntry {
public:
    ScanEntry() = default;
    ScanEntry(const QString& ssid, const QString& bssid, const QStringList& securityModes,
              const QString& kind, const QString& channel, int signalLevel)
        : m_ssid(ssid),
          m_bssid(bssid),
          m_securityModes(securityModes),
          m_kind(kind),
          m_channel(channel),
          m_signalLevel(signalLevel) {}

    const QString& ssid() const { return m_ssid; }
    const QString& bssid() const { return m_bssid; }
    // Strongest first.
    const QStringList& securityModes() const { return m_securityModes; }
    const QString& kind() const { return m_kind; }
    const QString& channel() const { return m_channel; }
    int signalLevel() const { return m_signalLevel; }
    void setSignalLevel(int level) { m_signalLevel = level; }

    // Set by the merge when a configured network claims this entry.
    bool isMatched() const { return m_matched; }
    void setMatched(bool matched) { m_matched = matched; }

private:
    QString m_ssid;
    QString m_bssid;
    QStringList m_securityModes;
    QString m_kind;
    QString m_channel;
    int m_signalLevel = 0;
    bool m_matched = false;
};

Q_DECLARE_METATYPE(ScanEntry)
