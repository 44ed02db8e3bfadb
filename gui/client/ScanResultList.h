#pragma once

#include <QList>

#include "ScanEntry.h"
#include "SignalStrength.h"

// The parsed scan list, owned by the service client. This holds the container the merge works on;
// reading a getScanListResponse into it and its ordering rules belong to the scan list model.
class ScanResultList {
public:
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
