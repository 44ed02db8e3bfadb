#include "vel/xml/Xml_NetworkPolicy.h"

#include <cstring>

#include "vel/configuration/EapMethod.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/network/Association.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"

using E = XmlElements;

NetworkPolicy Xml_NetworkPolicy::Read(const SharedXmlNode& node) {
    NetworkPolicy policy = NetworkPolicy::create();
    SharedXmlNode modes = vel::xmlRequiredChild(node, E::ALLOWED_ASSOCIATION_MODES);
    for (SharedXmlNode mode = vel::xmlFirstElementChild(modes); mode.isNonNull();
         mode = vel::xmlNextElementSibling(mode)) {
        const std::int64_t pair = TextToAssociationMode(mode.name());
        const bool dynamicWep = std::strcmp(mode.name(), Association::DYNAMIC_WEP_TEXT) == 0;
        Association allowed = Association::create(static_cast<std::int32_t>(pair & 0xffffffff),
                                                  static_cast<std::int32_t>(pair >> 32), dynamicWep);
        policy.allowedAssociationModes().add(allowed.m);
    }
    SharedXmlNode methods = vel::xmlRequiredChild(node, E::ALLOWED_EAP_METHODS);
    for (SharedXmlNode method = vel::xmlFirstElementChild(methods); method.isNonNull();
         method = vel::xmlNextElementSibling(method)) {
        EapMethod allowed = EapMethod::create(TextToAuthenticationType(method.name()));
        policy.allowedEapMethods().add(allowed.m);
    }
    return policy;
}
