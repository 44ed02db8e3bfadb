#include "vel/xml/Xml_EapGtc.h"

#include "vel/configuration/AuthenticationMethodClasses.h"
#include "vel/libxml2/XmlParentNode.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"
#include "vel/xml/Xml_IdentityPattern.h"
#include "vel/xml/Xml_PasswordSource.h"
#include "vel/xml/Xml_TokenSource.h"

using E = XmlElements;
using C = XmlAuthenticationConstants;

XmlMethodSettings Xml_EapGtc::Read(const SharedXmlNode& node, std::int32_t recordKind) {
    XmlMethodSettings method;
    method.type = AuthenticationTypeConstants::EAP_GTC;
    SharedXmlNode password = node.findChild(E::AUTHENTICATE_WITH_PASSWORD);
    SharedXmlNode token =
        recordKind == C::RECORD_USER ? node.findChild(E::AUTHENTICATE_WITH_TOKEN) : SharedXmlNode();
    if (password.isNull() && recordKind != C::RECORD_USER) {
        vel::xmlError(XmlMessages::TAG_REQUIRED, E::AUTHENTICATE_WITH_PASSWORD);
    }
    if (password.isNull() && token.isNull()) {
        vel::xmlError(XmlMessages::TWO_TAGS_REQUIRED, E::AUTHENTICATE_WITH_PASSWORD,
                      E::AUTHENTICATE_WITH_TOKEN);
    }
    SharedXmlNode chosen = password.isNonNull() ? password : token;
    method.unprotectedIdentity =
        Xml_IdentityPattern::Read(vel::xmlRequiredChild(chosen, E::UNPROTECTED_IDENTITY_PATTERN));
    if (password.isNonNull()) {
        method.credentialKind = C::CREDENTIAL_PASSWORD;
        method.source =
            Xml_PasswordSource::Read(vel::xmlRequiredChild(chosen, E::PASSWORD_SOURCE), recordKind);
    } else {
        method.credentialKind = C::CREDENTIAL_TOKEN;
        method.source = Xml_TokenSource::Read(vel::xmlRequiredChild(chosen, E::TOKEN_SOURCE), recordKind);
    }
    return method;
}

void Xml_EapGtc::Write(XmlParentBase& parent, const XmlMethodSettings& method, std::int32_t recordKind) {
    XmlParentNode gtc(parent.addChild(E::EAP_GTC));
    const bool token = method.credentialKind == C::CREDENTIAL_TOKEN;
    XmlParentNode element(gtc.addChild(token ? E::AUTHENTICATE_WITH_TOKEN : E::AUTHENTICATE_WITH_PASSWORD));
    Xml_IdentityPattern::Write(element, method.unprotectedIdentity, E::UNPROTECTED_IDENTITY_PATTERN);
    if (token) {
        Xml_TokenSource::Write(element, method.source, recordKind);
    } else {
        Xml_PasswordSource::Write(element, method.source, recordKind);
    }
}
