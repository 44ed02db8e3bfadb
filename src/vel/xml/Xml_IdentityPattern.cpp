#include "vel/xml/Xml_IdentityPattern.h"

#include "vel/xml/XmlSchema.h"

XmlContentValue Xml_IdentityPattern::Read(const SharedXmlNode& node) {
    return vel::xmlDecryptTextContent(node);
}

void Xml_IdentityPattern::Write(XmlParentBase& parent, const XmlContentValue& pattern, const char* name) {
    if (pattern.persistent) {
        vel::xmlEncryptContent(parent, name, pattern);
        return;
    }
    vel::xmlEncryptContent(
        parent, name,
        XmlContentValue{vel::xmlEscape(Ascii::fromByteArray(pattern.bytes)).toByteArray(), false});
}
