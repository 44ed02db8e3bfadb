#include "NetworkItemList.h"

#include "QtSoapMessage.h"

bool NetworkItemList::parse(const QByteArray& message) {
    QtSoapMessage soap;
    if (!soap.setContent(message)) return false;
    const QtSoapElement method = soap.method();
    m_networks.clear();
    m_sequenceNumber = method[QStringLiteral("sequenceNumber")].text();
    m_groupName = method[QStringLiteral("groupName")].text();
    const QtSoapElement list = method[QStringLiteral("networkList")];
    if (!list.isArray()) return true;
    for (const QtSoapElement& item : list.items()) {
        NetworkItem network;
        network.ssid = item[QStringLiteral("ssid")].text();
        network.networkName = item[QStringLiteral("networkName")].text();
        network.networkCreator = item[QStringLiteral("networkCreator")].text();
        network.isGlobal = item[QStringLiteral("isGlobal")].toBool();
        network.associationAndEncryptionMode = item[QStringLiteral("associationAndEncryptionMode")].text();
        const QtSoapElement vpn = item[QStringLiteral("vpnParameters")];
        network.autoConnectVpn = vpn[QStringLiteral("autoConnectVpn")].toBool();
        network.connectionEntry = vpn[QStringLiteral("connectionEntry")].text();
        network.eapMethod = item[QStringLiteral("eapMethod")].text();
        network.credentialType = item[QStringLiteral("credentialType")].text();
        network.runScriptSpec = item[QStringLiteral("runScriptSpec")].text();
        m_networks.append(network);
    }
    return true;
}

bool NetworkItemList::removeNetwork(const QString& networkName) {
    for (qsizetype i = 0; i < m_networks.size(); ++i) {
        if (m_networks.at(i).networkName == networkName) {
            m_networks.removeAt(i);
            return true;
        }
    }
    return false;
}
