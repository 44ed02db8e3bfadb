#pragma once
// The service's replies and events the tray tests send, in the service's own form.
#include <QByteArray>
#include <QStringList>

#include "tests/gui/support/ServiceMessage.h"

namespace tamsel::test {

inline QByteArray numbered(const QByteArray& children) {
    return "<sequenceNumber>7</sequenceNumber>\n" + children;
}

inline QByteArray element(const QByteArray& name, const QString& text) {
    QByteArray escaped = text.toUtf8();
    escaped.replace("&", "&amp;").replace("<", "&lt;");
    return "<" + name + ">" + escaped + "</" + name + ">";
}

inline QByteArray groupsReply(const QStringList& groups) {
    QByteArray list;
    for (const QString& group : groups) list += element("groupName", group);
    return serviceMessage("getGroupsResponse",
                          numbered("<groupList type=\"array\">" + list + "</groupList>"));
}

inline QByteArray activeGroupReply(const QString& group) {
    return serviceMessage("getActiveGroupResponse", numbered(element("groupName", group)));
}

// One wireless network per name, on an SSID of the same name.
inline QByteArray networksReply(const QString& group, const QStringList& networks,
                                const QByteArray& mode = "wpa2EnterpriseAes") {
    QByteArray list;
    for (const QString& network : networks) {
        list += "<network>" + element("networkName", network) + element("networkCreator", "user") +
                element("networkMedia", "wifi") + element("ssid", network) +
                element("associationAndEncryptionMode", QString::fromUtf8(mode)) + "</network>";
    }
    return serviceMessage(
        "getNetworksInGroupResponse",
        numbered(element("groupName", group) + "<networkList type=\"array\">" + list + "</networkList>"));
}

inline QByteArray groupNetworkMessage(const QByteArray& method, const QString& group, const QString& network,
                                      const QString& newGroup = QString()) {
    QByteArray children = element("groupName", group) + element("networkName", network);
    if (!newGroup.isEmpty()) children += element("newGroupName", newGroup);
    return serviceMessage(method, numbered(children));
}

inline QByteArray stateEventMessage(const QString& group, const QString& network, const QString& state,
                                    const QString& ip = QString()) {
    return serviceMessage("networkStateEvent",
                          numbered(element("groupName", group) + element("networkName", network) +
                                   element("networkState", state) + element("ipAddress", ip) +
                                   element("signalStrengthInDbm", "-52") + element("channel", "6")));
}

inline QByteArray faultMessage(const QByteArray& errorCode) {
    return "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" "
           "xmlns=\"urn:varnel:tamsel:connapi\"><SOAP-ENV:Body><SOAP-ENV:Fault>"
           "<SOAP-ENV:faultcode>Client</SOAP-ENV:faultcode><SOAP-ENV:faultstring>getGroupsResponse"
           "</SOAP-ENV:faultstring><SOAP-ENV:detail><sequenceNumber>3</sequenceNumber><errorCode>" +
           errorCode +
           "</errorCode><errorString></errorString></SOAP-ENV:detail></SOAP-ENV:Fault>"
           "</SOAP-ENV:Body></SOAP-ENV:Envelope>";
}

// Asks for three requests whose last is the policy: when it has arrived, everything pushed
// before it was handled.
inline QByteArray sentinel() {
    return serviceMessage("configurationChangeEvent", numbered(""));
}

}  // namespace tamsel::test
