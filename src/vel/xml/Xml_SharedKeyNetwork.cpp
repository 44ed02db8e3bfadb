#include "vel/xml/Xml_SharedKeyNetwork.h"

#include "vel/libxml2/XmlParentNode.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"
#include "vel/xml/Xml_SharedKey.h"

using E = XmlElements;

void Xml_SharedKeyNetwork::Read(const SharedXmlNode& node, const XmlNetwork& network) {
    SharedXmlNode connection = node.findChild(E::MACHINE_CONNECTION);
    network.impl()->m_connectionKind = XmlNetworkImpl::CONNECTION_MACHINE;
    if (connection.isNull()) {
        connection = node.findChild(E::USER_CONNECTION);
        network.impl()->m_connectionKind = XmlNetworkImpl::CONNECTION_USER;
    }
    if (connection.isNull()) {
        vel::xmlError(XmlMessages::TWO_TAGS_REQUIRED, E::MACHINE_CONNECTION, E::USER_CONNECTION);
    }
    Xml_SharedKey::Read(connection, network);
}

void Xml_SharedKeyNetwork::Write(XmlParentBase& parent, const XmlNetwork& network) {
    XmlParentNode shared(parent.addChild(E::SHARED_KEY_NETWORK));
    const bool machine = network.impl()->m_connectionKind == XmlNetworkImpl::CONNECTION_MACHINE;
    XmlParentNode connection(shared.addChild(machine ? E::MACHINE_CONNECTION : E::USER_CONNECTION));
    Xml_SharedKey::Write(connection, network);
}
