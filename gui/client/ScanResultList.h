#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "gui/client/ScanEntry.h"
#include "gui/client/SignalStrength.h"

// The parsed scan list, owned by the service client: one entry per SSID, open networks first and
// the enterprise modes last, each entry's modes strongest first.
class ScanResultList {
public:
    // Reads a getScanListResponse; the number of entries now held, or 0 when the message does not
    // parse or lists no network (the previous entries then stay).
    int readScanList(const QByteArray& message);

    // Puts `mode` into `modes` by strength; a mode already present, or an unknown one joining a
    // non-empty list, is dropped.
    static void insertSecurityMode(QStringList& modes, const QString& mode);
    // Adds `entry` at its place by security; an SSID already listed only lifts that entry's level.
    void insertEntry(const ScanEntry& entry);

    int count() const { return static_cast<int>(m_entries.size()); }
    const ScanEntry& at(int index) const { return m_entries.at(index); }
    ScanEntry& entry(int index) { return m_entries[index]; }
    void append(const ScanEntry& entry) { m_entries.append(entry); }
    void clear() { m_entries.clear(); }
    void clearMatchedFlags();

    SignalStrength& rater() { return m_rater; }

private:
    QList<ScanEntry> m_entries;
    SignalStrength m_rater;
};
