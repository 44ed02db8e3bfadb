#include "vel/xml/Xml_Settings8021x.h"

#include "vel/libxml2/XmlParentNode.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"

using E = XmlElements;

Settings8021x Xml_Settings8021x::Read(const SharedXmlNode& node) {
    const int authPeriod = vel::xmlPositiveInt(node, E::AUTH_PERIOD);
    const int heldPeriod = vel::xmlPositiveInt(node, E::HELD_PERIOD);
    const int startPeriod = vel::xmlPositiveInt(node, E::START_PERIOD);
    const int maxStart = vel::xmlPositiveInt(node, E::MAX_START);
    return Settings8021x::create(authPeriod, heldPeriod, startPeriod, maxStart);
}

void Xml_Settings8021x::Write(XmlParentBase& parent, const Settings8021x& settings) {
    XmlParentNode element(parent.addChild(E::SETTING_8021X));
    element.addTextChild(E::AUTH_PERIOD, vel::xmlIntText(settings.authPeriod()).text());
    element.addTextChild(E::HELD_PERIOD, vel::xmlIntText(settings.heldPeriod()).text());
    element.addTextChild(E::START_PERIOD, vel::xmlIntText(settings.startPeriod()).text());
    element.addTextChild(E::MAX_START, vel::xmlIntText(settings.maxStart()).text());
}
