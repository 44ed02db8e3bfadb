#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>

#include "gui/client/GroupItem.h"

// The connection groups (getGroupsResponse) and the replies that change them.
class GroupItemList {
public:
    // False when the message does not parse. A reply with no groups keeps the previous ones.
    bool parse(const QByteArray& message);
    // Read sequenceNumber and groupName, or groupName and networkName, of a reply.
    bool readGroupName(const QByteArray& message, QString& groupName);
    bool readGroupAndNetwork(const QByteArray& message, QString& groupName, QString& networkName) const;

    int count() const { return static_cast<int>(m_groups.size()); }
    const GroupItem& at(int index) const { return m_groups.at(index); }
    const QString& sequenceNumber() const { return m_sequenceNumber; }
    // The first group marked active, or null.
    const GroupItem* activeGroup() const;

    // Marks active every group named by the reply's groupName and no other.
    bool setActiveGroup(const QByteArray& message);
    // Appends an empty, inactive group of the reply's groupName; fails on an empty name.
    bool addGroup(const QByteArray& message);
    // Deletes the first group of the reply's groupName; fails on an empty name.
    bool removeGroup(const QByteArray& message);
    // In the first group of that name, removes the first network of that name.
    bool removeNetwork(const QString& groupName, const QString& networkName);
    // Gives the list's networks to the first group of the list's name; that group, or null.
    const GroupItem* setGroupNetworks(const NetworkItemList& list);
    void clear() { m_groups.clear(); }

private:
    GroupItem* findGroup(const QString& name);

    QString m_sequenceNumber;
    QList<GroupItem> m_groups;
};

Q_DECLARE_METATYPE(GroupItemList)
