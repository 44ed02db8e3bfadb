#include "vel/xml/Xml_Networks.h"

#include "vel/libxml2/XmlParentNode.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"
#include "vel/xml/Xml_NetworkGroup.h"

using E = XmlElements;

std::vector<XmlNetworkGroup> Xml_Networks::Read(const SharedXmlNode& node) {
    vel::xmlRequiredChild(node, E::GROUP);
    std::vector<XmlNetworkGroup> groups;
    bool global = false;
    for (SharedXmlNode child = node.firstChild(); child.isNonNull(); child = child.nextSibling()) {
        if (child.hasName(E::GROUP)) groups.push_back(Xml_NetworkGroup::Read(child, false));
        if (!child.hasName(E::GLOBAL_NETWORKS)) continue;
        // A configuration has one global group.
        if (global) vel::xmlError(XmlMessages::MULTIPLE_GLOBAL_NETWORKS, E::GLOBAL_NETWORKS);
        global = true;
        groups.push_back(Xml_NetworkGroup::Read(child, true));
    }
    return groups;
}

void Xml_Networks::Write(XmlParentBase& parent, const std::vector<XmlNetworkGroup>& groups) {
    XmlParentNode networks(parent.addChild(E::NETWORKS));
    for (bool global : {true, false}) {
        for (const XmlNetworkGroup& group : groups) {
            if (group.impl()->m_global == global) Xml_NetworkGroup::Write(networks, group);
        }
    }
}
