#include "vel/xml/Xml_PasswordMethod.h"

#include "vel/enumtostring/EnumConversions.h"
#include "vel/libxml2/XmlParentNode.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"
#include "vel/xml/Xml_IdentityPattern.h"
#include "vel/xml/Xml_PasswordSource.h"

using E = XmlElements;

XmlMethodSettings Xml_PasswordMethod::Read(const SharedXmlNode& node, std::int32_t recordKind) {
    XmlMethodSettings method;
    method.type = TextToAuthenticationType(node.name());
    method.credentialKind = XmlAuthenticationConstants::CREDENTIAL_PASSWORD;
    method.unprotectedIdentity =
        Xml_IdentityPattern::Read(vel::xmlRequiredChild(node, E::UNPROTECTED_IDENTITY_PATTERN));
    method.source = Xml_PasswordSource::Read(vel::xmlRequiredChild(node, E::PASSWORD_SOURCE), recordKind);
    return method;
}

void Xml_PasswordMethod::Write(XmlParentBase& parent, const XmlMethodSettings& method,
                               std::int32_t recordKind) {
    XmlParentNode element(parent.addChild(AuthenticationTypeToText(method.type)));
    Xml_IdentityPattern::Write(element, method.unprotectedIdentity, E::UNPROTECTED_IDENTITY_PATTERN);
    Xml_PasswordSource::Write(element, method.source, recordKind);
}
