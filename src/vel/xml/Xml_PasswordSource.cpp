#include "vel/xml/Xml_PasswordSource.h"

#include "vel/libxml2/XmlParentNode.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"
#include "vel/xml/XmlSourceTable.h"

using E = XmlElements;
using C = XmlAuthenticationConstants;

namespace {

const XmlSourceChoice PASSWORD_SOURCES[] = {{E::PASSWORD_FROM_PROFILE, C::SOURCE_PROFILE, true, true},
                                            {E::PASSWORD_FROM_MACHINE, C::SOURCE_MACHINE, true, false},
                                            {E::PASSWORD_FROM_LOGON, C::SOURCE_LOGON, false, true},
                                            {E::PASSWORD_FROM_USER, C::SOURCE_USER, false, true}};

}  // namespace

XmlCredentialSource Xml_PasswordSource::Read(const SharedXmlNode& node, std::int32_t recordKind) {
    XmlCredentialSource source;
    SharedXmlNode child = XmlSourceTable::find(node, PASSWORD_SOURCES, recordKind, source.kind);
    if (child.isNull() && recordKind == C::RECORD_MACHINE) {
        vel::xmlError(XmlMessages::TWO_TAGS_REQUIRED, E::PASSWORD_FROM_PROFILE, E::PASSWORD_FROM_MACHINE);
    }
    if (child.isNull()) {
        vel::xmlError(XmlMessages::THREE_TAGS_REQUIRED, E::PASSWORD_FROM_LOGON, E::PASSWORD_FROM_USER,
                      E::PASSWORD_FROM_PROFILE);
    }
    if (source.kind == C::SOURCE_PROFILE) {
        source.value = vel::xmlDecryptTextContent(child);
    }
    return source;
}

void Xml_PasswordSource::Write(XmlParentBase& parent, const XmlCredentialSource& source,
                               std::int32_t recordKind) {
    XmlParentNode element(parent.addChild(E::PASSWORD_SOURCE));
    const char* name = XmlSourceTable::nameOf(PASSWORD_SOURCES, source.kind, recordKind);
    if (name == nullptr) return;
    if (source.kind == C::SOURCE_PROFILE) {
        vel::xmlEncryptContent(element, name, XmlContentValue{source.value.bytes, true});
    } else {
        element.addChild(name);
    }
}
