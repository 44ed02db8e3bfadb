#include "vel/xml/Xml_TokenSource.h"

#include "vel/libxml2/XmlParentNode.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"

using E = XmlElements;
using C = XmlAuthenticationConstants;

XmlCredentialSource Xml_TokenSource::Read(const SharedXmlNode& node, std::int32_t) {
    if (node.findChild(E::PASSWORD_FROM_GENERIC_TOKEN).isNull() &&
        node.findChild(E::PASSWORD_FROM_OTHER_TOKEN).isNull()) {
        vel::xmlError(XmlMessages::TAG_IS_REQUIRED, E::PASSWORD_FROM_OTHER_TOKEN);
    }
    XmlCredentialSource source;
    source.kind = C::SOURCE_TOKEN;
    return source;
}

void Xml_TokenSource::Write(XmlParentBase& parent, const XmlCredentialSource& source, std::int32_t) {
    SharedXmlNode element = parent.addChild(E::TOKEN_SOURCE);
    if (source.kind == C::SOURCE_TOKEN) element.addChild(E::PASSWORD_FROM_OTHER_TOKEN);
}
