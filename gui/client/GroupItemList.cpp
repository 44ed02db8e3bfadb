#include "gui/client/GroupItemList.h"

#include "platform/qtsoap/QtSoapMessage.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiElements.h"

bool GroupItemList::parse(const QByteArray& message) {
    QtSoapMessage soap;
    if (!soap.setContent(message)) return false;
    const QtSoapElement method = soap.method();
    m_sequenceNumber = method[QLatin1String(ConnApiConstants::SEQUENCE_NUMBER_ELEMENT)].text();
    const QtSoapElement list = method[QLatin1String(ConnApiElements::GROUP_LIST)];
    if (!list.isArray()) return true;
    const QList<QtSoapElement> items = list.items();
    if (items.isEmpty()) return true;
    m_groups.clear();
    for (const QtSoapElement& item : items) m_groups.append(GroupItem(item.text()));
    return true;
}

bool GroupItemList::readGroupName(const QByteArray& message, QString& groupName) {
    QtSoapMessage soap;
    if (!soap.setContent(message)) return false;
    const QtSoapElement method = soap.method();
    m_sequenceNumber = method[QLatin1String(ConnApiConstants::SEQUENCE_NUMBER_ELEMENT)].text();
    groupName = method[QLatin1String(ConnApiElements::GROUP_NAME)].text();
    return true;
}

bool GroupItemList::readGroupAndNetwork(const QByteArray& message, QString& groupName,
                                        QString& networkName) const {
    QtSoapMessage soap;
    if (!soap.setContent(message)) return false;
    const QtSoapElement method = soap.method();
    groupName = method[QLatin1String(ConnApiElements::GROUP_NAME)].text();
    networkName = method[QLatin1String(ConnApiElements::NETWORK_NAME)].text();
    return true;
}

const GroupItem* GroupItemList::activeGroup() const {
    for (const GroupItem& group : m_groups) {
        if (group.isActive()) return &group;
    }
    return nullptr;
}

bool GroupItemList::setActiveGroup(const QByteArray& message) {
    QString name;
    if (!readGroupName(message, name)) return false;
    for (GroupItem& group : m_groups) group.setActive(group.name() == name);
    return true;
}

bool GroupItemList::addGroup(const QByteArray& message) {
    QString name;
    if (!readGroupName(message, name) || name.isEmpty()) return false;
    m_groups.append(GroupItem(name));
    return true;
}

bool GroupItemList::removeGroup(const QByteArray& message) {
    QString name;
    if (!readGroupName(message, name) || name.isEmpty()) return false;
    for (qsizetype i = 0; i < m_groups.size(); ++i) {
        if (m_groups.at(i).name() == name) {
            m_groups.removeAt(i);
            break;
        }
    }
    return true;
}

bool GroupItemList::removeNetwork(const QString& groupName, const QString& networkName) {
    GroupItem* group = findGroup(groupName);
    return group != nullptr && group->networks().removeNetwork(networkName);
}

const GroupItem* GroupItemList::setGroupNetworks(const NetworkItemList& list) {
    GroupItem* group = findGroup(list.groupName());
    if (group != nullptr) group->networks().setNetworks(list.networks());
    return group;
}

GroupItem* GroupItemList::findGroup(const QString& name) {
    for (GroupItem& group : m_groups) {
        if (group.name() == name) return &group;
    }
    return nullptr;
}
