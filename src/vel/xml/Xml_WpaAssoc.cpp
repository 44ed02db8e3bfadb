#include "vel/xml/Xml_WpaAssoc.h"

#include "vel/enumtostring/EnumConversions.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"

std::int32_t Xml_WpaAssoc::Read(const SharedXmlNode& node) {
    return TextToWpaEncr(vel::xmlRequiredText(node, XmlElements::ENCRYPTION).text());
}

void Xml_WpaAssoc::Write(XmlParentBase& parent, std::int32_t encryption) {
    parent.addTextChild(XmlElements::ENCRYPTION, WpaEncrToText(encryption));
}
