#include "vel/xml/Xml_Network.h"

#include "vel/libxml2/XmlParentNode.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"
#include "vel/xml/Xml_AuthenticationNetwork.h"
#include "vel/xml/Xml_NetworkExtension.h"
#include "vel/xml/Xml_OpenNetwork.h"
#include "vel/xml/Xml_SharedKeyNetwork.h"
#include "vel/xml/Xml_WifiNetworkExtension.h"

using E = XmlElements;
using M = XmlMessages;

XmlNetwork Xml_Network::Read(const SharedXmlNode& node, std::int32_t media) {
    XmlNetwork network = XmlNetwork::create();
    XmlNetworkImpl* record = network.impl();
    record->m_media = media;
    network.setCommon(Xml_NetworkExtension::Read(node));
    if (network.isWireless()) network.setWifi(Xml_WifiNetworkExtension::Read(node));

    if (SharedXmlNode open = node.findChild(E::OPEN_NETWORK); open.isNonNull()) {
        record->m_kind = XmlNetworkImpl::KIND_OPEN_OR_SHARED_KEY;
        record->m_association = XmlNetworkImpl::ASSOCIATION_OPEN;
        record->m_encryption = XmlNetworkImpl::ENCRYPTION_NONE;
        record->m_connectionType = Xml_OpenNetwork::Read(open);
    } else if (SharedXmlNode dot1x = node.findChild(E::AUTHENTICATION_NETWORK); dot1x.isNonNull()) {
        record->m_kind = XmlNetworkImpl::KIND_8021X;
        Xml_AuthenticationNetwork::Read(dot1x, media, network);
    } else if (SharedXmlNode shared = node.findChild(E::SHARED_KEY_NETWORK);
               network.isWireless() && shared.isNonNull()) {
        record->m_kind = XmlNetworkImpl::KIND_OPEN_OR_SHARED_KEY;
        Xml_SharedKeyNetwork::Read(shared, network);
    } else if (network.isWireless()) {
        vel::xmlError(M::THREE_TAGS_REQUIRED, E::OPEN_NETWORK, E::SHARED_KEY_NETWORK,
                      E::AUTHENTICATION_NETWORK);
    } else {
        vel::xmlError(M::TWO_TAGS_REQUIRED, E::OPEN_NETWORK, E::AUTHENTICATION_NETWORK);
    }
    return network;
}

void Xml_Network::Write(XmlParentBase& parent, const XmlNetwork& network) {
    XmlParentNode element(parent.addChild(network.isWireless() ? E::WIFI_NETWORK : E::WIRED_NETWORK));
    Xml_NetworkExtension::Write(element, network.common());
    if (network.isWireless()) Xml_WifiNetworkExtension::Write(element, network.wifi());
    if (network.impl()->m_kind == XmlNetworkImpl::KIND_8021X) {
        Xml_AuthenticationNetwork::Write(element, network);
    } else if (network.isOpen()) {
        Xml_OpenNetwork::Write(element, network.impl()->m_connectionType);
    } else {
        Xml_SharedKeyNetwork::Write(element, network);
    }
}
