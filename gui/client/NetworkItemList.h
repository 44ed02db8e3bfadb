#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>

#include "gui/client/NetworkItem.h"

// The networks of one group (getNetworksInGroupResponse).
class NetworkItemList {
public:
    NetworkItemList() = default;
    explicit NetworkItemList(const QString& groupName) : m_groupName(groupName) {}

    // False when the message does not parse; the record is then unchanged.
    bool parse(const QByteArray& message);

    const QString& groupName() const { return m_groupName; }
    void setGroupName(const QString& name) { m_groupName = name; }
    const QString& sequenceNumber() const { return m_sequenceNumber; }

    int count() const { return static_cast<int>(m_networks.size()); }
    const NetworkItem& at(int index) const { return m_networks.at(index); }
    const QList<NetworkItem>& networks() const { return m_networks; }
    void setNetworks(const QList<NetworkItem>& networks) { m_networks = networks; }
    void append(const NetworkItem& network) { m_networks.append(network); }
    // Removes the first network of that name; true when one was removed.
    bool removeNetwork(const QString& networkName);

private:
    QString m_groupName;
    QString m_sequenceNumber;
    QList<NetworkItem> m_networks;
};

Q_DECLARE_METATYPE(NetworkItemList)
