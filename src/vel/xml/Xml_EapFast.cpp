#include "vel/xml/Xml_EapFast.h"

#include "vel/configuration/AuthenticationMethodClasses.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/libxml2/XmlParentNode.h"
#include "vel/xml/XmlBuiltinMethods.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"
#include "vel/xml/Xml_TunnelMethods.h"

using E = XmlElements;
using M = XmlMessages;
using T = AuthenticationTypeConstants;
using C = XmlAuthenticationConstants;

namespace {

void readPacSettings(const SharedXmlNode& node, XmlMethodSettings& method) {
    if (node.findChild(E::DO_NOT_USE_PAC).isNonNull()) {
        method.usePac = false;
        return;
    }
    SharedXmlNode usePac = node.findChild(E::USE_PAC);
    if (usePac.isNull()) vel::xmlError(M::TWO_TAGS_REQUIRED, E::DO_NOT_USE_PAC, E::USE_PAC);
    method.usePac = true;
    method.allowUnauthPacProvisioning = vel::xmlRequiredBool(usePac, E::ALLOW_UNAUTH_PAC_PROVISIONING);
    SharedXmlNode pacs = vel::xmlRequiredChild(usePac, E::VALIDATE_WITH_SPECIFIC_PACS);
    for (SharedXmlNode pac = vel::xmlFirstElementChild(pacs); pac.isNonNull();
         pac = vel::xmlNextElementSibling(pac)) {
        if (!pac.hasName(E::TRUSTED_SERVER_PAC)) vel::xmlError(M::TAG_IS_REQUIRED, E::TRUSTED_SERVER_PAC);
        method.trustedPacs.push_back(Xml_EapFast::ReadTrustedServerPac(pac));
    }
}

void readCertificateSending(const SharedXmlNode& builtin, XmlMethodSettings& method) {
    if (SharedXmlNode noInner = builtin.findChild(E::DO_NOT_USE_INNER_METHOD); noInner.isNonNull()) {
        if (noInner.findChild(E::SEND_WHENEVER_REQUESTED).isNonNull()) {
            method.certificateSendingMode = C::SEND_WHENEVER_REQUESTED;
        } else if (noInner.findChild(E::SEND_SECURELY_ONLY).isNonNull()) {
            method.certificateSendingMode = C::SEND_SECURELY_ONLY;
        } else {
            vel::xmlError(M::TWO_TAGS_REQUIRED, E::SEND_WHENEVER_REQUESTED, E::SEND_SECURELY_ONLY);
        }
    } else if (SharedXmlNode viaInner = builtin.findChild(E::SEND_VIA_INNER_METHOD); viaInner.isNonNull()) {
        vel::xmlRequiredChild(viaInner, E::EAP_TLS);
        method.certificateSendingMode = C::SEND_VIA_INNER_METHOD;
        method.innerMethods.push_back(T::EAP_TLS);
    } else {
        vel::xmlError(M::TWO_TAGS_REQUIRED, E::DO_NOT_USE_INNER_METHOD, E::SEND_VIA_INNER_METHOD);
    }
}

}  // namespace

XmlMethodSettings Xml_EapFast::Read(const SharedXmlNode& node, std::int32_t recordKind) {
    XmlMethodSettings method;
    method.type = T::EAP_FAST;
    Xml_TunnelMethods::Read(node, recordKind, method);
    readPacSettings(node, method);
    method.enablePosture = vel::xmlRequiredBool(node, E::ENABLE_POSTURE);
    SharedXmlNode builtin = XmlBuiltinMethods::Read(node, recordKind, method, XmlBuiltinMethods::Order::FAST);
    if (method.credentialKind == C::CREDENTIAL_CERTIFICATE) {
        readCertificateSending(builtin, method);
        return method;
    }
    SharedXmlNode methods = vel::xmlRequiredChild(builtin, E::METHODS);
    if (method.credentialKind == C::CREDENTIAL_TOKEN) {
        vel::xmlRequiredChild(methods, E::EAP_GTC);
        method.innerMethods.push_back(T::EAP_GTC);
        return method;
    }
    if (methods.findChild(E::EAP_MSCHAPV2).isNonNull()) method.innerMethods.push_back(T::EAP_MSCHAPV2);
    if (methods.findChild(E::EAP_GTC).isNonNull()) method.innerMethods.push_back(T::EAP_GTC);
    if (method.innerMethods.empty()) vel::xmlError(M::TWO_TAGS_REQUIRED, E::EAP_GTC, E::EAP_MSCHAPV2);
    return method;
}

void Xml_EapFast::Write(XmlParentBase& parent, const XmlMethodSettings& method, std::int32_t recordKind) {
    XmlParentNode element(parent.addChild(E::EAP_FAST));
    Xml_TunnelMethods::Write(element, method, recordKind);
    if (method.usePac) {
        XmlParentNode usePac(element.addChild(E::USE_PAC));
        usePac.addTextChild(E::ALLOW_UNAUTH_PAC_PROVISIONING, BoolToText(method.allowUnauthPacProvisioning));
        XmlParentNode pacs(usePac.addChild(E::VALIDATE_WITH_SPECIFIC_PACS));
        for (const XmlPacRecord& pac : method.trustedPacs) WriteTrustedServerPac(pacs, pac);
    } else {
        element.addChild(E::DO_NOT_USE_PAC);
    }
    element.addTextChild(E::ENABLE_POSTURE, BoolToText(method.enablePosture));
    XmlParentNode builtin(XmlBuiltinMethods::Write(element, method, recordKind));
    if (method.credentialKind == C::CREDENTIAL_CERTIFICATE) {
        // A certificate method that names no mode sends its certificate inside EAP-TLS.
        switch (method.certificateSendingMode) {
            case C::SEND_WHENEVER_REQUESTED:
                builtin.addChild(E::DO_NOT_USE_INNER_METHOD).addChild(E::SEND_WHENEVER_REQUESTED);
                break;
            case C::SEND_SECURELY_ONLY:
                builtin.addChild(E::DO_NOT_USE_INNER_METHOD).addChild(E::SEND_SECURELY_ONLY);
                break;
            default:
                builtin.addChild(E::SEND_VIA_INNER_METHOD).addChild(E::EAP_TLS);
                break;
        }
        return;
    }
    SharedXmlNode methods = builtin.addChild(E::METHODS);
    if (method.credentialKind == C::CREDENTIAL_TOKEN) {
        methods.addChild(E::EAP_GTC);
        return;
    }
    if (XmlBuiltinMethods::hasInnerMethod(method, T::EAP_MSCHAPV2)) methods.addChild(E::EAP_MSCHAPV2);
    if (XmlBuiltinMethods::hasInnerMethod(method, T::EAP_GTC)) methods.addChild(E::EAP_GTC);
}

XmlPacRecord Xml_EapFast::ReadTrustedServerPac(const SharedXmlNode& node) {
    XmlPacRecord pac;
    SharedXmlNode content = vel::xmlRequiredChild(node, E::CONTENT, M::TAG_IS_REQUIRED);
    XmlContentValue value = vel::xmlDecryptContent(content);
    vel::xmlCheckReferenceFalse(content);
    pac.pac = Ascii::fromByteArray(value.bytes);
    pac.persistent = value.persistent;
    if (SharedXmlNode secretKey = node.findChild(E::SECRET_KEY); secretKey.isNonNull()) {
        pac.secretKey = Ascii::fromByteArray(vel::xmlDecryptContent(secretKey).bytes);
    }
    return pac;
}

void Xml_EapFast::WriteTrustedServerPac(XmlParentBase& parent, const XmlPacRecord& pac) {
    XmlParentNode trusted(parent.addChild(E::TRUSTED_SERVER_PAC));
    vel::xmlEncryptContent(trusted, E::CONTENT, XmlContentValue{pac.pac.toByteArray(), true})
        .setAttribute(E::REFERENCE, "false");
    if (pac.secretKey.length() > 0) {
        vel::xmlEncryptContent(trusted, E::SECRET_KEY, XmlContentValue{pac.secretKey.toByteArray(), false});
    }
}
