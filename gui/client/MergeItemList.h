#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

#include "gui/client/MergeItem.h"
#include "gui/client/NetworkItemList.h"
#include "gui/client/ScanResultList.h"

// The rows of the "Available Connections" list: configured networks, a separator, then the scanned
// networks that match no configured one.
class MergeItemList {
public:
    // Name of the row between configured and scanned networks.
    static const QString SEPARATOR_NAME;

    int count() const { return static_cast<int>(m_items.size()); }
    const MergeItem& at(int index) const { return m_items.at(index); }
    bool isEmpty() const { return m_items.isEmpty(); }
    void clear() { m_items.clear(); }
    void removeAt(int index) { m_items.removeAt(index); }

    // Rebuilds the rows from the active group's networks and the scan list; marks the scan entries
    // that a configured network claimed.
    void merge(ScanResultList& scanList, const NetworkItemList& networks);
    // Index of the configured row of that name, or of the scanned row of that SSID; -1 when none,
    // or when a row of the other kind carrying that name or SSID comes first.
    int indexOf(const QString& name, const QString& ssid, bool configured) const;

private:
    void appendScanned(const ScanEntry& entry);

    QList<MergeItem> m_items;
};

Q_DECLARE_METATYPE(MergeItemList)
