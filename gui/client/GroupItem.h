#pragma once

#include <QMetaType>

#include "gui/client/NetworkItemList.h"

// One connection group: its name and networks, and whether it is the service's active group.
class GroupItem {
public:
    GroupItem() = default;
    explicit GroupItem(const QString& name) : m_networks(name) {}

    const QString& name() const { return m_networks.groupName(); }
    const NetworkItemList& networks() const { return m_networks; }
    NetworkItemList& networks() { return m_networks; }
    bool isActive() const { return m_active; }
    void setActive(bool active) { m_active = active; }

private:
    NetworkItemList m_networks;
    bool m_active = false;
};

Q_DECLARE_METATYPE(GroupItem)
