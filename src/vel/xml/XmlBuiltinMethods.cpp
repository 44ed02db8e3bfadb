#include "vel/xml/XmlBuiltinMethods.h"

#include <algorithm>

#include "vel/libxml2/XmlParentNode.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"
#include "vel/xml/Xml_CertificateSource.h"
#include "vel/xml/Xml_IdentityPattern.h"
#include "vel/xml/Xml_PasswordSource.h"
#include "vel/xml/Xml_TokenSource.h"

using E = XmlElements;
using M = XmlMessages;
using C = XmlAuthenticationConstants;

namespace {

struct BuiltinChoice {
    const char* name;
    std::int32_t credentialKind;
    const char* sourceName;
    XmlCredentialSource (*readSource)(const SharedXmlNode&, std::int32_t);
    void (*writeSource)(XmlParentBase&, const XmlCredentialSource&, std::int32_t);
    bool userOnly;
};

// In the order eapPeap looks them up; eapFast looks up the token before the certificate.
const BuiltinChoice CHOICES[] = {
    {E::AUTHENTICATE_WITH_PASSWORD, C::CREDENTIAL_PASSWORD, E::PASSWORD_SOURCE, &Xml_PasswordSource::Read,
     &Xml_PasswordSource::Write, false},
    {E::AUTHENTICATE_WITH_CERTIFICATE, C::CREDENTIAL_CERTIFICATE, E::CERTIFICATE_SOURCE,
     &Xml_CertificateSource::Read, &Xml_CertificateSource::Write, false},
    {E::AUTHENTICATE_WITH_TOKEN, C::CREDENTIAL_TOKEN, E::TOKEN_SOURCE, &Xml_TokenSource::Read,
     &Xml_TokenSource::Write, true}};

const int PEAP_ORDER[] = {0, 1, 2};
const int FAST_ORDER[] = {0, 2, 1};

}  // namespace

SharedXmlNode XmlBuiltinMethods::Read(const SharedXmlNode& method, std::int32_t recordKind,
                                      XmlMethodSettings& settings, Order order) {
    SharedXmlNode builtin =
        vel::xmlRequiredChild(vel::xmlRequiredChild(method, E::AUTH_METHODS), E::BUILTIN_METHODS);
    for (int index : order == Order::FAST ? FAST_ORDER : PEAP_ORDER) {
        const BuiltinChoice& choice = CHOICES[index];
        if (choice.userOnly && recordKind != C::RECORD_USER) continue;
        SharedXmlNode element = builtin.findChild(choice.name);
        if (element.isNull()) continue;
        settings.credentialKind = choice.credentialKind;
        settings.protectedIdentity =
            Xml_IdentityPattern::Read(vel::xmlRequiredChild(element, E::PROTECTED_IDENTITY_PATTERN));
        settings.source = choice.readSource(vel::xmlRequiredChild(element, choice.sourceName), recordKind);
        return element;
    }
    if (recordKind == C::RECORD_USER) {
        vel::xmlError(M::THREE_TAGS_REQUIRED, E::AUTHENTICATE_WITH_PASSWORD, E::AUTHENTICATE_WITH_CERTIFICATE,
                      E::AUTHENTICATE_WITH_TOKEN);
    }
    vel::xmlError(M::TWO_TAGS_REQUIRED, E::AUTHENTICATE_WITH_PASSWORD, E::AUTHENTICATE_WITH_CERTIFICATE);
}

SharedXmlNode XmlBuiltinMethods::Write(XmlParentBase& method, const XmlMethodSettings& settings,
                                       std::int32_t recordKind) {
    XmlParentNode builtin(method.addChild(E::AUTH_METHODS).addChild(E::BUILTIN_METHODS));
    const BuiltinChoice* chosen = &CHOICES[0];
    for (const BuiltinChoice& choice : CHOICES) {
        if (choice.credentialKind == settings.credentialKind) chosen = &choice;
    }
    XmlParentNode element(builtin.addChild(chosen->name));
    Xml_IdentityPattern::Write(element, settings.protectedIdentity, E::PROTECTED_IDENTITY_PATTERN);
    chosen->writeSource(element, settings.source, recordKind);
    return element.node();
}

bool XmlBuiltinMethods::hasInnerMethod(const XmlMethodSettings& settings, std::int32_t type) {
    return std::find(settings.innerMethods.begin(), settings.innerMethods.end(), type) !=
           settings.innerMethods.end();
}
