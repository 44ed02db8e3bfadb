#include "vel/xml/Xml_CertificateSource.h"

#include "vel/libxml2/XmlParentNode.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"
#include "vel/xml/XmlSourceTable.h"

using E = XmlElements;
using M = XmlMessages;
using C = XmlAuthenticationConstants;

namespace {

const XmlSourceChoice CERTIFICATE_SOURCES[] = {{E::CERTIFICATE_FROM_PROFILE, C::SOURCE_PROFILE, true, true},
                                               {E::CERTIFICATE_FROM_MACHINE, C::SOURCE_MACHINE, true, false},
                                               {E::CERTIFICATE_FROM_LOGON, C::SOURCE_LOGON, false, true},
                                               {E::CERTIFICATE_FROM_USER, C::SOURCE_USER, false, true}};

}  // namespace

XmlCredentialSource Xml_CertificateSource::Read(const SharedXmlNode& node, std::int32_t recordKind) {
    XmlCredentialSource source;
    SharedXmlNode child = XmlSourceTable::find(node, CERTIFICATE_SOURCES, recordKind, source.kind);
    if (child.isNull() && recordKind == C::RECORD_MACHINE) {
        vel::xmlError(M::TWO_TAGS_REQUIRED, E::CERTIFICATE_FROM_PROFILE, E::CERTIFICATE_FROM_MACHINE);
    }
    if (child.isNull()) {
        vel::xmlError(M::THREE_TAGS_REQUIRED, E::CERTIFICATE_FROM_LOGON, E::CERTIFICATE_FROM_USER,
                      E::CERTIFICATE_FROM_PROFILE);
    }
    if (source.kind == C::SOURCE_PROFILE) {
        SharedXmlNode identifier =
            vel::xmlRequiredChild(child, E::CERTIFICATE_ID, M::TAG_IS_REQUIRED_LOWER_CASE);
        const char* text = identifier.content();
        if (text == nullptr || *text == '\0') vel::xmlError(M::TAG_IS_EMPTY, E::CERTIFICATE_ID);
        source.value.bytes = vel::xmlHexDecode(Ascii(text));
        vel::xmlCheckReferenceFalse(child);
    }
    return source;
}

void Xml_CertificateSource::Write(XmlParentBase& parent, const XmlCredentialSource& source,
                                  std::int32_t recordKind) {
    XmlParentNode element(parent.addChild(E::CERTIFICATE_SOURCE));
    const char* name = XmlSourceTable::nameOf(CERTIFICATE_SOURCES, source.kind, recordKind);
    if (name == nullptr) return;
    SharedXmlNode child = element.addChild(name);
    if (source.kind != C::SOURCE_PROFILE) return;
    SharedXmlNode identifier =
        child.addTextChild(E::CERTIFICATE_ID, vel::xmlHexEncode(source.value.bytes).text());
    identifier.setAttribute(E::REFERENCE, "false");
}
