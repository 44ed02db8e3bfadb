#include "vel/xml/Xml_EapPeap.h"

#include "vel/configuration/AuthenticationMethodClasses.h"
#include "vel/libxml2/XmlParentNode.h"
#include "vel/xml/XmlBuiltinMethods.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"
#include "vel/xml/Xml_TunnelMethods.h"

using E = XmlElements;
using T = AuthenticationTypeConstants;
using C = XmlAuthenticationConstants;

XmlMethodSettings Xml_EapPeap::Read(const SharedXmlNode& node, std::int32_t recordKind) {
    XmlMethodSettings method;
    method.type = T::EAP_PEAP;
    Xml_TunnelMethods::Read(node, recordKind, method);
    SharedXmlNode builtin = XmlBuiltinMethods::Read(node, recordKind, method, XmlBuiltinMethods::Order::PEAP);
    SharedXmlNode methods = vel::xmlRequiredChild(builtin, E::METHODS);
    switch (method.credentialKind) {
        case C::CREDENTIAL_PASSWORD:
            if (methods.findChild(E::EAP_MSCHAPV2).isNonNull()) {
                method.innerMethods.push_back(T::EAP_MSCHAPV2);
            } else if (methods.findChild(E::EAP_GTC).isNonNull()) {
                method.innerMethods.push_back(T::EAP_GTC);
            } else {
                vel::xmlError(XmlMessages::TWO_TAGS_REQUIRED, E::EAP_GTC, E::EAP_MSCHAPV2);
            }
            break;
        case C::CREDENTIAL_CERTIFICATE:
            vel::xmlRequiredChild(methods, E::EAP_TLS);
            method.innerMethods.push_back(T::EAP_TLS);
            break;
        default:
            vel::xmlRequiredChild(methods, E::EAP_GTC);
            method.innerMethods.push_back(T::EAP_GTC);
            break;
    }
    return method;
}

void Xml_EapPeap::Write(XmlParentBase& parent, const XmlMethodSettings& method, std::int32_t recordKind) {
    XmlParentNode element(parent.addChild(E::EAP_PEAP));
    Xml_TunnelMethods::Write(element, method, recordKind);
    SharedXmlNode methods = XmlBuiltinMethods::Write(element, method, recordKind).addChild(E::METHODS);
    switch (method.credentialKind) {
        case C::CREDENTIAL_CERTIFICATE:
            methods.addChild(E::EAP_TLS);
            break;
        case C::CREDENTIAL_TOKEN:
            methods.addChild(E::EAP_GTC);
            break;
        default:
            methods.addChild(XmlBuiltinMethods::hasInnerMethod(method, T::EAP_MSCHAPV2) ? E::EAP_MSCHAPV2
                                                                                        : E::EAP_GTC);
            break;
    }
}
