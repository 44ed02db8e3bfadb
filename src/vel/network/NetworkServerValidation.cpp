#include "vel/network/NetworkServerValidation.h"

#include <cstring>
#include <string>

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/certificate/X509Proxy.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/reference/HandleOf.h"

namespace {

// One pass: every name of the list against every rule of the kind, in order.
bool pass(ElementVector rules, const AsciiVector& names, std::int32_t kind) {
    for (std::int32_t n = 0; n < names.length(); ++n) {
        Ascii name = names.get(n);
        for (std::int32_t r = 0; r < rules.length(); ++r) {
            TrustedServerRule rule = handleOf<TrustedServerRule>(rules.get(r));
            if (rule.matchKind() != kind) continue;
            if (NetworkServerValidation::nameMatches(name, rule)) return true;
            logInfo(3161, "Server certificate does not match rule 'Match %s using %s and name = %s",
                    EnumTable::textOrNumber(ServerRulesToText, kind).c_str(),
                    EnumTable::textOrNumber(HowMatchToText, rule.howMatch()).c_str(), rule.name().text());
        }
    }
    return false;
}

}  // namespace

NetworkServerValidation::ServerNames NetworkServerValidation::namesOf(QX_HANDLE certificate) {
    ServerNames names;
    if (certificate == 0) return names;
    X509Impl x509(certificate);
    names.subject = x509.m_subject;
    names.subjectNames = x509.m_subjectNames;
    names.furtherSubjectNames = x509.m_subjectDomains;
    names.alternativeNames = x509.m_alternativeNames;
    return names;
}

AuthenticationMethod NetworkServerValidation::methodFor(const ElementVector& methods,
                                                        const std::vector<std::int32_t>& eapTypes) {
    ElementVector list = methods;
    if (list.length() == 0) return AuthenticationMethod();
    AuthenticationMethod current = AuthenticationMethod::at(list, 0);
    for (std::int32_t type : eapTypes) {
        for (std::int32_t i = 0; i < list.length(); ++i) {
            AuthenticationMethod candidate = AuthenticationMethod::at(list, i);
            if (candidate.authenticationType() != type) continue;
            current = candidate;
            list = candidate.innerAuthenticationMethods();
            break;
        }
    }
    return current;
}

bool NetworkServerValidation::nameMatches(const Ascii& name, const TrustedServerRule& rule) {
    Ascii text = rule.name();
    if (rule.howMatch() == HOW_EXACTLY)
        return name.length() == text.length() && std::memcmp(name.text(), text.text(), name.length()) == 0;
    if (rule.howMatch() != HOW_ENDS_WITH) return false;
    std::int32_t length = text.length();
    if (name.length() < length) return false;
    const char* tail = name.text() + (name.length() - length);
    if (std::memcmp(tail, text.text(), length) != 0) return false;
    // Only at a label boundary: a longer name has a "." in front of the suffix.
    return name.length() == length || tail[-1] == '.';
}

bool NetworkServerValidation::namesMatch(const ElementVector& rules, const ServerNames& names) {
    return pass(rules, names.subjectNames, MATCH_SUBJECT) ||
           pass(rules, names.furtherSubjectNames, MATCH_SUBJECT) ||
           pass(rules, names.alternativeNames, MATCH_ALTERNATIVE_NAME);
}

bool NetworkServerValidation::validate(const Request& request, Ascii* serverName) {
    bool valid = true;
    const char* subject = request.names.subject.text();
    ElementVector methods = request.methods;
    LUM_ASSERT_TEXT(methods.length() > 0, "getAuthenticationMethods().length()");
    AuthenticationMethod method = methodFor(methods, request.eapTypes);
    if (!method.isNull() && method.getValidateServerCertificate()) {
        logInfo(3162, "Validating the server: %s", subject);
        if (!request.chainIsValid) {
            logError(3163, "Server certificate chain invalid");
            valid = false;
        }
    }
    if (valid && request.adapterAttached && !request.validation.anyCaFromOs()) {
        bool trusted = false;
        for (const Certificate& ca : request.caList) {
            if (request.chainsTo && request.chainsTo(ca)) {
                trusted = true;
                break;
            }
        }
        if (!trusted) {
            logError(3164, "Server certificate chain is not trusted");
            valid = false;
        }
    }
    if (valid && !request.validation.anyServerName()) {
        ElementVector rules = request.validation.serverRules();
        bool matched = false;
        if (rules.length() == 0) {
            logError(3165, "Trusted Server list empty, server can not be validated");
        } else {
            matched = namesMatch(rules, request.names);
        }
        if (!matched) {
            logError(3166, "Server certificate invalid (name mismatch: %s)", subject);
            valid = false;
        }
    }
    if (valid) logInfo(3167, "Server certificate validated: %s", subject);
    *serverName = valid ? request.names.subject : Ascii(UNTRUSTED);
    return valid;
}
