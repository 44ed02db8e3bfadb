#include "vel/xml/Xml_AutoVpnSettings.h"

#include "vel/enumtostring/EnumConversions.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"

std::int32_t Xml_AutoVpnSettings::Read(const SharedXmlNode& node) {
    SharedXmlNode mechanism = vel::xmlRequiredChild(node, XmlElements::AUTH_MECHANISM);
    SharedXmlNode kind = vel::xmlFirstElementChild(mechanism);
    if (kind.isNull()) vel::xmlErrorText(XmlMessages::UNDEFINED_CERTIFICATE_CONTAINER);
    if (vel::xmlNextElementSibling(kind).isNonNull()) {
        vel::xmlError(XmlMessages::MULTIPLE_TAGS, XmlElements::AUTH_MECHANISM);
    }
    return TextToVpnSetting(kind.name());
}
