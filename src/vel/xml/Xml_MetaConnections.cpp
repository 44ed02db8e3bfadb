#include "vel/xml/Xml_MetaConnections.h"

#include "vel/enumtostring/EnumConversions.h"
#include "vel/libxml2/XmlParentNode.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"

using E = XmlElements;
using M = XmlMessages;

namespace {

MetaConnection readMetaConnection(const SharedXmlNode& node) {
    SharedXmlNode network = vel::xmlRequiredChild(node, E::NETWORK);
    Ascii groupName("");
    if (network.findChild(E::GROUP_NAME).isNonNull()) {
        groupName = vel::xmlRequiredText(network, E::GROUP_NAME);
    } else if (network.findChild(E::GLOBAL_NETWORK).isNull()) {
        vel::xmlError(M::TWO_TAGS_ONE_REQUIRED, E::GROUP_NAME, E::GLOBAL_NETWORK);
    }
    Ascii displayName = vel::xmlRequiredText(network, E::DISPLAY_NAME);
    Ascii entry = vel::xmlRequiredText(node, E::VPN_CONNECTION_ENTRY);
    bool autoConnect = vel::xmlRequiredBool(node, E::AUTO_CONNECT_VPN);
    return MetaConnection::create(groupName, displayName, entry, autoConnect);
}

}  // namespace

std::vector<MetaConnection> Xml_MetaConnections::Read(const SharedXmlNode& node) {
    std::vector<MetaConnection> metaConnections;
    for (SharedXmlNode child = vel::xmlFirstElementChild(node); child.isNonNull();
         child = vel::xmlNextElementSibling(child)) {
        if (!child.hasName(E::META_CONNECTION)) vel::xmlError(M::TAG_IS_INVALID, child.name());
        metaConnections.push_back(readMetaConnection(child));
    }
    return metaConnections;
}

void Xml_MetaConnections::Write(XmlParentBase& parent, const std::vector<MetaConnection>& metaConnections) {
    XmlParentNode element(parent.addChild(E::META_CONNECTIONS));
    for (const MetaConnection& metaConnection : metaConnections) {
        XmlParentNode meta(element.addChild(E::META_CONNECTION));
        XmlParentNode network(meta.addChild(E::NETWORK));
        if (metaConnection.groupName().length() > 0) {
            network.addTextChild(E::GROUP_NAME, metaConnection.groupName().text());
        } else {
            network.addChild(E::GLOBAL_NETWORK);
        }
        network.addTextChild(E::DISPLAY_NAME, metaConnection.networkName().text());
        meta.addTextChild(E::VPN_CONNECTION_ENTRY, metaConnection.connectionEntry().text());
        meta.addTextChild(E::AUTO_CONNECT_VPN, BoolToText(metaConnection.autoConnectVpn()));
    }
}

ElementVector Xml_MetaConnections::toVector(const std::vector<MetaConnection>& metaConnections) {
    ElementVector vector = ElementVector::create();
    for (const MetaConnection& metaConnection : metaConnections) vector.add(metaConnection.m);
    return vector;
}
