#include "vel/xml/Xml_AssociationMode.h"

#include "vel/libxml2/XmlParentNode.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlNetwork.h"
#include "vel/xml/XmlSchema.h"
#include "vel/xml/Xml_WpaAssoc.h"

using E = XmlElements;
using N = XmlNetworkImpl;

namespace {

struct EnterpriseMode {
    const char* name;
    std::int32_t association;
};

// In the order they are looked up, after wep.
const EnterpriseMode ENTERPRISE_MODES[] = {{E::WPA, N::ASSOCIATION_WPA_ENTERPRISE},
                                           {E::WPA2, N::ASSOCIATION_WPA2_ENTERPRISE},
                                           {E::QUILLAN, N::ASSOCIATION_QUILLAN_ENTERPRISE}};

}  // namespace

void Xml_AssociationMode::Read(const SharedXmlNode& node, std::int32_t& association,
                               std::int32_t& encryption) {
    if (node.findChild(E::WEP).isNonNull()) {
        association = N::ASSOCIATION_OPEN;
        encryption = N::ENCRYPTION_WEP;
        return;
    }
    for (const EnterpriseMode& mode : ENTERPRISE_MODES) {
        SharedXmlNode element = node.findChild(mode.name);
        if (element.isNull()) continue;
        association = mode.association;
        encryption = Xml_WpaAssoc::Read(element);
        return;
    }
    vel::xmlError(XmlMessages::FOUR_TAGS_REQUIRED, E::WEP, E::WPA, E::WPA2, E::QUILLAN);
}

void Xml_AssociationMode::Write(XmlParentBase& parent, std::int32_t association, std::int32_t encryption) {
    XmlParentNode element(parent.addChild(E::ASSOCIATION_MODE));
    // Open association is read back with WEP: without it, there is no form.
    if (association == N::ASSOCIATION_OPEN && encryption == N::ENCRYPTION_WEP) {
        element.addChild(E::WEP);
        return;
    }
    for (const EnterpriseMode& mode : ENTERPRISE_MODES) {
        if (mode.association != association) continue;
        XmlParentNode named(element.addChild(mode.name));
        Xml_WpaAssoc::Write(named, encryption);
        return;
    }
    vel::xmlError(XmlMessages::NO_FORM_FOR_PAIR, E::ASSOCIATION_MODE, association, encryption);
}
