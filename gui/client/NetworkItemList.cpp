#include "gui/client/NetworkItemList.h"

#include "platform/qtsoap/QtSoapMessage.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiElements.h"

bool NetworkItemList::parse(const QByteArray& message) {
    QtSoapMessage soap;
    if (!soap.setContent(message)) return false;
    const QtSoapElement method = soap.method();
    m_networks.clear();
    m_sequenceNumber = method[QLatin1String(ConnApiConstants::SEQUENCE_NUMBER_ELEMENT)].text();
    m_groupName = method[QLatin1String(ConnApiElements::GROUP_NAME)].text();
    const QtSoapElement list = method[QLatin1String(ConnApiElements::NETWORK_LIST)];
    if (!list.isArray()) return true;
    for (const QtSoapElement& item : list.items()) {
        NetworkItem network;
        network.ssid = item[QLatin1String(ConnApiElements::SSID)].text();
        network.networkName = item[QLatin1String(ConnApiElements::NETWORK_NAME)].text();
        network.networkCreator = item[QLatin1String(ConnApiElements::NETWORK_CREATOR)].text();
        network.isGlobal = item[QLatin1String(ConnApiElements::IS_GLOBAL)].toBool();
        network.associationAndEncryptionMode =
            item[QLatin1String(ConnApiElements::ASSOCIATION_AND_ENCRYPTION_MODE)].text();
        const QtSoapElement vpn = item[QLatin1String(ConnApiElements::VPN_PARAMETERS)];
        network.autoConnectVpn = vpn[QLatin1String(ConnApiElements::AUTO_CONNECT_VPN)].toBool();
        network.connectionEntry = vpn[QLatin1String(ConnApiElements::CONNECTION_ENTRY)].text();
        network.eapMethod = item[QLatin1String(ConnApiElements::EAP_METHOD)].text();
        network.credentialType = item[QLatin1String(ConnApiElements::CREDENTIAL_TYPE)].text();
        network.runScriptSpec = item[QLatin1String(ConnApiElements::RUN_SCRIPT_SPEC)].text();
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
