#include "vel/xml/Xml_ServerCertValidationParam.h"

#include "vel/enumtostring/EnumConversions.h"
#include "vel/libxml2/XmlParentNode.h"
#include "vel/reference/HandleOf.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"

using E = XmlElements;
using M = XmlMessages;

namespace {

const char* const MATCH = "match";

}  // namespace

CertificateValidationParameters Xml_ServerCertValidationParam::Read(const SharedXmlNode& node) {
    bool anyServerName = false;
    ElementVector rules = ElementVector::create();
    if (SharedXmlNode ruleList = node.findChild(E::SERVER_NAME_VALIDATION_RULES); ruleList.isNonNull()) {
        rules = ReadServerRules(ruleList);
    } else if (node.findChild(E::ANY_SERVER_NAME).isNonNull()) {
        anyServerName = true;
    } else {
        vel::xmlError(M::TWO_TAGS_REQUIRED, E::ANY_SERVER_NAME, E::SERVER_NAME_VALIDATION_RULES);
    }
    bool anyCa = false;
    ElementVector cas = ElementVector::create();
    if (node.findChild(E::VALIDATE_CHAIN_WITH_ANY_CA_FROM_OS).isNonNull()) {
        anyCa = true;
    } else if (SharedXmlNode caList = node.findChild(E::VALIDATE_CHAIN_WITH_SPECIFIC_CA);
               caList.isNonNull()) {
        cas = ReadTrustedCas(caList);
    } else {
        vel::xmlError(M::TWO_TAGS_REQUIRED, E::VALIDATE_CHAIN_WITH_ANY_CA_FROM_OS,
                      E::VALIDATE_CHAIN_WITH_SPECIFIC_CA);
    }
    return CertificateValidationParameters::create(anyServerName, rules, anyCa, cas);
}

void Xml_ServerCertValidationParam::Write(XmlParentBase& parent,
                                          const CertificateValidationParameters& validation,
                                          const char* name) {
    XmlParentNode element(parent.addChild(name));
    if (validation.anyServerName()) {
        element.addChild(E::ANY_SERVER_NAME);
    } else {
        XmlParentNode rules(element.addChild(E::SERVER_NAME_VALIDATION_RULES));
        WriteServerRules(rules, validation.serverRules());
    }
    if (validation.anyCaFromOs()) {
        element.addChild(E::VALIDATE_CHAIN_WITH_ANY_CA_FROM_OS);
    } else {
        XmlParentNode cas(element.addChild(E::VALIDATE_CHAIN_WITH_SPECIFIC_CA));
        WriteTrustedCas(cas, validation.trustedCas());
    }
}

ElementVector Xml_ServerCertValidationParam::ReadServerRules(const SharedXmlNode& node) {
    SharedXmlNode rule = vel::xmlFirstElementChild(node);
    if (rule.isNull()) vel::xmlErrorText(M::UNDEFINED_TRUSTED_SERVER_RULES);
    ElementVector rules = ElementVector::create();
    for (; rule.isNonNull(); rule = vel::xmlNextElementSibling(rule)) {
        const std::int32_t matchKind = TextToServerRules(rule.name());
        XmlString match = rule.attribute(MATCH);
        if (match.isNull()) vel::xmlErrorText(M::UNDEFINED_VERIFICATION_RULE);
        const std::int32_t howMatch = TextToHowMatch(match.text());
        const char* name = rule.content();
        if (name == nullptr || *name == '\0') vel::xmlErrorText(M::EMPTY_SERVER_VERIFICATION_RULE);
        TrustedServerRule entry = TrustedServerRule::create(matchKind, howMatch, Ascii(name));
        rules.add(entry.m);
    }
    return rules;
}

void Xml_ServerCertValidationParam::WriteServerRules(XmlParentBase& parent, ElementVector rules) {
    for (const Reference& held : rules.snapshot()) {
        TrustedServerRule rule = handleOf<TrustedServerRule>(held.m);
        SharedXmlNode element = parent.addTextChild(ServerRulesToText(rule.matchKind()), rule.name().text());
        element.setAttribute(MATCH, HowMatchToText(rule.howMatch()));
    }
}

ElementVector Xml_ServerCertValidationParam::ReadTrustedCas(const SharedXmlNode& node) {
    SharedXmlNode ca = vel::xmlFirstElementChild(node);
    if (ca.isNull()) vel::xmlErrorText(M::UNDEFINED_TRUSTED_CAS);
    ElementVector cas = ElementVector::create();
    for (; ca.isNonNull(); ca = vel::xmlNextElementSibling(ca)) {
        const std::int32_t kind = TextToCert(ca.name());
        if (ca.attribute(E::REFERENCE).isNull()) vel::xmlErrorText(M::UNDEFINED_CERTIFICATE_CONTAINER);
        vel::xmlCheckReferenceFalse(ca);
        const char* text = ca.content();
        if (text == nullptr || *text == '\0') vel::xmlErrorText(M::EMPTY_CERTIFICATE_CONTAINER);
        TrustedCaCert entry = TrustedCaCert::create(kind, Ascii(text));
        cas.add(entry.m);
    }
    return cas;
}

void Xml_ServerCertValidationParam::WriteTrustedCas(XmlParentBase& parent, ElementVector cas) {
    for (const Reference& held : cas.snapshot()) {
        TrustedCaCert ca = handleOf<TrustedCaCert>(held.m);
        SharedXmlNode element = parent.addTextChild(CertToText(ca.kind()), ca.certificateReference().text());
        element.setAttribute(E::REFERENCE, "false");
    }
}
