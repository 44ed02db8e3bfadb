#include "vel/xml/Xml_Auth.h"

#include "vel/configuration/AuthenticationMethodClasses.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/libxml2/XmlParentNode.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"
#include "vel/xml/Xml_EapFast.h"
#include "vel/xml/Xml_EapGtc.h"
#include "vel/xml/Xml_EapPeap.h"
#include "vel/xml/Xml_EapTls.h"
#include "vel/xml/Xml_EapTtls.h"
#include "vel/xml/Xml_PasswordMethod.h"
#include "vel/xml/Xml_UserCollectionMethod.h"

using E = XmlElements;
using M = XmlMessages;
using T = AuthenticationTypeConstants;
using C = XmlAuthenticationConstants;

namespace {

constexpr unsigned PASSWORD = 1u << C::CREDENTIAL_PASSWORD;
constexpr unsigned CERTIFICATE = 1u << C::CREDENTIAL_CERTIFICATE;
constexpr unsigned TOKEN = 1u << C::CREDENTIAL_TOKEN;

// The credential kinds are those each element gives back when read.
struct MethodElement {
    const char* name;
    std::int32_t type;
    bool wiredOnly;
    unsigned credentialKinds;
    XmlMethodSettings (*read)(const SharedXmlNode&, std::int32_t);
    void (*write)(XmlParentBase&, const XmlMethodSettings&, std::int32_t);
};

const MethodElement METHODS[] = {
    {E::EAP_MD5, T::EAP_MD5, true, PASSWORD, &Xml_PasswordMethod::Read, &Xml_PasswordMethod::Write},
    {E::EAP_MSCHAPV2, T::EAP_MSCHAPV2, true, PASSWORD, &Xml_PasswordMethod::Read, &Xml_PasswordMethod::Write},
    {E::LEAP, T::EAP_LEAP, false, PASSWORD, &Xml_PasswordMethod::Read, &Xml_PasswordMethod::Write},
    {E::EAP_GTC, T::EAP_GTC, true, PASSWORD | TOKEN, &Xml_EapGtc::Read, &Xml_EapGtc::Write},
    {E::EAP_TLS, T::EAP_TLS, false, CERTIFICATE, &Xml_EapTls::Read, &Xml_EapTls::Write},
    {E::EAP_TTLS, T::EAP_TTLS, false, PASSWORD, &Xml_EapTtls::Read, &Xml_EapTtls::Write},
    {E::EAP_PEAP, T::EAP_PEAP, false, PASSWORD | CERTIFICATE | TOKEN, &Xml_EapPeap::Read,
     &Xml_EapPeap::Write},
    {E::EAP_FAST, T::EAP_FAST, false, PASSWORD | CERTIFICATE | TOKEN, &Xml_EapFast::Read,
     &Xml_EapFast::Write}};

const MethodElement* elementOf(std::int32_t type) {
    for (const MethodElement& element : METHODS)
        if (element.type == type) return &element;
    return nullptr;
}

XmlMethodSettings readMethod(const SharedXmlNode& holder, std::int32_t media, std::int32_t recordKind) {
    SharedXmlNode method = vel::xmlFirstElementChild(holder);
    if (method.isNull()) vel::xmlErrorText(M::UNKNOWN_USER_AUTHENTICATION_METHOD);
    if (vel::xmlNextElementSibling(method).isNonNull())
        vel::xmlError(M::ONE_METHOD_ONLY, E::AUTHENTICATION_METHOD);
    for (const MethodElement& element : METHODS) {
        if (!method.hasName(element.name)) continue;
        if (element.wiredOnly && media != C::MEDIA_WIRED) break;
        return element.read(method, recordKind);
    }
    vel::xmlErrorText(M::UNKNOWN_USER_AUTHENTICATION_METHOD);
}

void writeMethod(XmlParentBase& parent, const XmlMethodSettings& method, std::int32_t recordKind) {
    const MethodElement* element = elementOf(method.type);
    if (element == nullptr) vel::xmlError(M::NO_FORM_FOR_METHOD, E::AUTHENTICATION_METHOD, method.type);
    element->write(parent, method, recordKind);
}

}  // namespace

XmlAuthenticationRecord Xml_Auth::Read(const SharedXmlNode& node, std::int32_t media,
                                       std::int32_t recordKind) {
    XmlAuthenticationRecord record;
    record.kind = recordKind;
    if (recordKind != C::RECORD_USER) {
        record.method = readMethod(node, media, recordKind);
        return record;
    }
    record.method = readMethod(vel::xmlRequiredChild(node, E::AUTHENTICATION_METHOD), media, recordKind);
    record.collection = Xml_UserCollectionMethod::Read(vel::xmlRequiredChild(node, E::COLLECTION_BEHAVIOR));
    record.extendUserConnectionBeyondLogoff =
        vel::xmlOptionalBool(node, E::EXTEND_USER_CONNECTION_BEYOND_LOGOFF);
    return record;
}

bool Xml_Auth::carries(std::int32_t type, std::int32_t credentialKind, std::int32_t media) {
    const MethodElement* element = elementOf(type);
    if (element == nullptr || credentialKind < 0 || credentialKind > C::CREDENTIAL_TOKEN) return false;
    return (element->credentialKinds & (1u << credentialKind)) != 0 &&
           (!element->wiredOnly || media == C::MEDIA_WIRED);
}

void Xml_Auth::Write(XmlParentBase& parent, const XmlAuthenticationRecord& record, const char* name,
                     std::int32_t media) {
    if (!carries(record.method.type, record.method.credentialKind, media))
        vel::xmlError(M::NO_FORM_FOR_METHOD, name, record.method.type);
    XmlParentNode element(parent.addChild(name));
    if (record.kind != C::RECORD_USER) {
        writeMethod(element, record.method, record.kind);
        return;
    }
    Xml_UserCollectionMethod::Write(element, record.collection);
    element.addTextChild(E::EXTEND_USER_CONNECTION_BEYOND_LOGOFF,
                         BoolToText(record.extendUserConnectionBeyondLogoff));
    XmlParentNode holder(element.addChild(E::AUTHENTICATION_METHOD));
    writeMethod(holder, record.method, record.kind);
}
