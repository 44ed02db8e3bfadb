#pragma once

#include <gtest/gtest.h>

#include <QList>
#include <QPair>
#include <QString>

#include "gui/client/GroupItemList.h"
#include "gui/client/NetworkItemList.h"
#include "tests/gui/support/ServiceMessage.h"

namespace tamsel::test {

inline NetworkItem network(const QString& name, const QString& creator = "user", bool global = false) {
    NetworkItem n;
    n.networkName = name;
    n.networkCreator = creator;
    n.isGlobal = global;
    return n;
}

using Groups = QList<QPair<QString, QList<NetworkItem>>>;

// A group list as the service client keeps it: the groups, the active one, each group's networks.
inline GroupItemList groupList(const Groups& groups, const QString& active) {
    QByteArray names;
    for (const auto& group : groups) names += "<groupName>" + group.first.toUtf8() + "</groupName>";
    GroupItemList list;
    EXPECT_TRUE(list.parse(serviceMessage(
        "getGroupsResponse",
        "<sequenceNumber>1</sequenceNumber>\n<groupList type=\"array\">" + names + "</groupList>")));
    EXPECT_TRUE(list.setActiveGroup(serviceMessage(
        "getActiveGroupResponse",
        "<sequenceNumber>2</sequenceNumber>\n<groupName>" + active.toUtf8() + "</groupName>")));
    for (const auto& [name, networks] : groups) {
        NetworkItemList items(name);
        for (const NetworkItem& n : networks) items.append(n);
        list.setGroupNetworks(items);
    }
    return list;
}

}  // namespace tamsel::test
