#include "vel/xml/Xml_EapTtls.h"

#include "vel/configuration/AuthenticationMethodClasses.h"
#include "vel/libxml2/XmlParentNode.h"
#include "vel/xml/XmlBuiltinMethods.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"
#include "vel/xml/Xml_IdentityPattern.h"
#include "vel/xml/Xml_PasswordSource.h"
#include "vel/xml/Xml_TunnelMethods.h"

using E = XmlElements;
using T = AuthenticationTypeConstants;

namespace {

struct InnerElement {
    const char* name;
    std::int32_t type;
};

// The non-EAP inner methods, in the order they are looked up.
const InnerElement TTLS_INNER[] = {{E::PAP, T::TTLS_PAP},
                                   {E::CHAP, T::TTLS_CHAP},
                                   {E::MSCHAP, T::TTLS_MSCHAP},
                                   {E::MSCHAPV2, T::TTLS_MSCHAPV2}};
// The EAP methods eapMethods may hold, each added when present.
const InnerElement EAP_INNER[] = {{E::EAP_MD5, T::EAP_MD5}, {E::EAP_MSCHAPV2, T::EAP_MSCHAPV2}};

}  // namespace

XmlMethodSettings Xml_EapTtls::Read(const SharedXmlNode& node, std::int32_t recordKind) {
    XmlMethodSettings method;
    method.type = T::EAP_TTLS;
    method.credentialKind = XmlAuthenticationConstants::CREDENTIAL_PASSWORD;
    Xml_TunnelMethods::Read(node, recordKind, method);
    method.protectedIdentity =
        Xml_IdentityPattern::Read(vel::xmlRequiredChild(node, E::PROTECTED_IDENTITY_PATTERN));
    method.source = Xml_PasswordSource::Read(vel::xmlRequiredChild(node, E::PASSWORD_SOURCE), recordKind);
    for (const InnerElement& inner : TTLS_INNER) {
        if (node.findChild(inner.name).isNull()) continue;
        method.innerMethods.push_back(inner.type);
        return method;
    }
    if (SharedXmlNode eapMethods = node.findChild(E::EAP_METHODS); eapMethods.isNonNull()) {
        for (const InnerElement& inner : EAP_INNER) {
            if (eapMethods.findChild(inner.name).isNonNull()) method.innerMethods.push_back(inner.type);
        }
    }
    if (method.innerMethods.empty()) vel::xmlErrorText(XmlMessages::UNDEFINED_INNER_TTLS_METHOD);
    return method;
}

void Xml_EapTtls::Write(XmlParentBase& parent, const XmlMethodSettings& method, std::int32_t recordKind) {
    XmlParentNode element(parent.addChild(E::EAP_TTLS));
    Xml_TunnelMethods::Write(element, method, recordKind);
    Xml_IdentityPattern::Write(element, method.protectedIdentity, E::PROTECTED_IDENTITY_PATTERN);
    Xml_PasswordSource::Write(element, method.source, recordKind);
    for (const InnerElement& inner : TTLS_INNER) {
        if (!XmlBuiltinMethods::hasInnerMethod(method, inner.type)) continue;
        element.addChild(inner.name);
        return;
    }
    SharedXmlNode eapMethods = element.addChild(E::EAP_METHODS);
    for (const InnerElement& inner : EAP_INNER) {
        if (XmlBuiltinMethods::hasInnerMethod(method, inner.type)) eapMethods.addChild(inner.name);
    }
}
