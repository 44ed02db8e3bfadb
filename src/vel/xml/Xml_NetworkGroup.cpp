#include "vel/xml/Xml_NetworkGroup.h"

#include "vel/enumtostring/EnumConversions.h"
#include "vel/libxml2/XmlParentNode.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"
#include "vel/xml/Xml_Network.h"

using E = XmlElements;
using C = XmlAuthenticationConstants;

XmlNetworkGroup Xml_NetworkGroup::Read(const SharedXmlNode& node, bool global) {
    XmlNetworkGroup group = XmlNetworkGroup::create();
    XmlNetworkGroupImpl* record = group.impl();
    record->m_global = global;
    if (!global) {
        record->m_name = vel::xmlRequiredText(node, E::GROUP_NAME);
        record->m_allowUserToSeeScanlist = vel::xmlRequiredBool(node, E::ALLOW_USER_TO_SEE_SCANLIST);
    }
    for (SharedXmlNode child = node.firstChild(); child.isNonNull(); child = child.nextSibling()) {
        if (child.hasName(E::WIRED_NETWORK))
            record->m_networks.push_back(Xml_Network::Read(child, C::MEDIA_WIRED));
        if (child.hasName(E::WIFI_NETWORK)) {
            record->m_networks.push_back(Xml_Network::Read(child, C::MEDIA_WIRELESS));
        }
    }
    return group;
}

void Xml_NetworkGroup::Write(XmlParentBase& parent, const XmlNetworkGroup& group) {
    const XmlNetworkGroupImpl* record = group.impl();
    XmlParentNode element(parent.addChild(record->m_global ? E::GLOBAL_NETWORKS : E::GROUP));
    if (!record->m_global) element.addTextChild(E::GROUP_NAME, record->m_name.text());
    element.addTextChild(E::ALLOW_USER_TO_SEE_SCANLIST, BoolToText(record->m_allowUserToSeeScanlist));
    for (const XmlNetwork& network : record->m_networks) Xml_Network::Write(element, network);
}
