#include "vel/network/NetworkIdentity.h"

#include <string>

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/configuration/AuthenticationMethod.h"

namespace {

// The inner EAP types and non-EAP TTLS methods that take a password or a token code.
bool takesPassword(std::int32_t type) {
    return type == 4 || type == 6 || type == 17 || type == 26 || (type >= 4097 && type <= 4100);
}

bool machineSource(std::int32_t source) {
    return source == NetworkIdentity::SOURCE_PROFILE || source == NetworkIdentity::SOURCE_MACHINE;
}

bool userSource(std::int32_t source) {
    return source != NetworkIdentity::SOURCE_NONE && source != NetworkIdentity::SOURCE_MACHINE;
}

}  // namespace

std::int32_t NetworkIdentity::topCredentialKind(ElementVector methods) {
    return methods.length() == 0 ? 0 : AuthenticationMethod::at(methods, 0).credentialType();
}

std::int32_t NetworkIdentity::topType(ElementVector methods) {
    return methods.length() == 0 ? 0 : AuthenticationMethod::at(methods, 0).authenticationType();
}

std::int32_t NetworkIdentity::innermostType(ElementVector methods) {
    if (methods.length() == 0) return 0;
    AuthenticationMethod method = AuthenticationMethod::at(methods, 0);
    for (ElementVector inner = method.innerAuthenticationMethods(); inner.length() > 0;
         inner = method.innerAuthenticationMethods())
        method = AuthenticationMethod::at(inner, 0);
    return method.authenticationType();
}

bool NetworkIdentity::certificateViaInnerMethod(ElementVector methods) {
    if (methods.length() == 0) return false;
    AuthenticationMethod top = AuthenticationMethod::at(methods, 0);
    std::int32_t type = top.authenticationType();
    return top.credentialType() == KIND_CERTIFICATE &&
           (type == AdapterConstants::EAP_TTLS || type == AdapterConstants::EAP_PEAP ||
            type == AdapterConstants::EAP_FAST) &&
           top.getCertificateSendingMode() == 1;
}

bool NetworkIdentity::isCoherent(const Configuration& configuration) {
    ElementVector methods = configuration.methods;
    if (methods.length() == 0) return true;
    std::int32_t kind = topCredentialKind(configuration.methods);
    std::int32_t innermost = innermostType(configuration.methods);
    if (takesPassword(innermost)) {
        if (kind != KIND_PASSWORD && kind != KIND_TOKEN) return false;
    } else if (innermost == AdapterConstants::EAP_TLS || innermost == AdapterConstants::EAP_FAST) {
        if (kind != KIND_CERTIFICATE) return false;
    } else {
        return false;
    }
    std::int32_t allowed = configuration.allowedConnectionTypes;
    std::int32_t source = configuration.source;
    switch (configuration.connectionType) {
        case AdapterConstants::CONNECTION_MACHINE:
            if ((allowed != 1 && allowed != 3) || !machineSource(source)) return false;
            break;
        case AdapterConstants::CONNECTION_USER:
            if ((allowed != 2 && allowed != 3) || !userSource(source)) return false;
            break;
        case 0:
            if (allowed == 1 && !machineSource(source)) return false;
            if (allowed == 2 && !userSource(source)) return false;
            break;
        default:
            return false;
    }
    if (kind == KIND_PASSWORD || kind == KIND_CERTIFICATE)
        return source == SOURCE_PROFILE || source == SOURCE_GUI || source == SOURCE_LOGON ||
               source == SOURCE_MACHINE;
    if (kind == KIND_TOKEN) return source == SOURCE_GUI;
    return true;
}

NetworkIdentity::Outcome NetworkIdentity::collect(const Collection& c) {
    Outcome outcome;
    bool user = c.connectionType == AdapterConstants::CONNECTION_USER;
    if (c.source == SOURCE_PROFILE || !user ||
        (!c.userSessionExists && c.source != SOURCE_LOGON && !c.passwordChangeTriggered))
        return outcome;
    if (c.kind == KIND_PASSWORD) {
        if (!c.hasIdentity || !c.hasPasswordOrKey) outcome.result = ASK_USERNAME_PASSWORD;
        return outcome;
    }
    if (c.kind == KIND_TOKEN) {
        if (!c.hasIdentity) outcome.result = ASK_USERNAME_PASSWORD;
        return outcome;
    }
    if (c.kind != KIND_CERTIFICATE) return outcome;
    int count = static_cast<int>(c.certificates.size());
    logInfo(3180, "Number of user certificates available: %d", count);
    if (count == 0) return outcome;
    if (c.source == SOURCE_LOGON) {
        logInfo(3181, "Requesting SmartCard PIN from logon");
        outcome.result = ASK_PIN;
        return outcome;
    }
    if (count == 1) {
        logInfo(3182, "Only one user certificate %s(%s) is available", c.certificates[0].hash.text(),
                c.certificates[0].name.text());
        outcome.selected = 0;
    } else if (c.certificateCredentialHash.length() == 0) {
        logInfo(3183, "User certificate has not been selected yet");
        outcome.result = ASK_CERTIFICATE;
        return outcome;
    } else {
        for (int i = 0; i < count && outcome.selected < 0; ++i)
            if (c.certificates[static_cast<size_t>(i)].hash == c.certificateCredentialHash)
                outcome.selected = i;
        if (outcome.selected < 0) {
            logInfo(3184, "Preselected user certificate %s is not available",
                    c.certificateCredentialHash.text());
            outcome.releaseCertificateCredential = true;
            outcome.result = ASK_CERTIFICATE;
            return outcome;
        }
    }
    const Candidate& chosen = c.certificates[static_cast<size_t>(outcome.selected)];
    if (!chosen.usable) {
        logInfo(3185, "User certificate %s is unusable", chosen.hash.text());
        outcome.result = count > 1 ? ASK_CERTIFICATE : NOTHING_TO_ASK;
        return outcome;
    }
    if (chosen.smartCard && !chosen.privateKeyLoaded && !c.hasPin) {
        logInfo(3186, "Requesting SmartCard (%s) PIN from user", chosen.storeName.text());
        outcome.result = ASK_PIN;
    }
    return outcome;
}

Ascii NetworkIdentity::identityFromDnsName(const Ascii& name) {
    std::string text(name.text(), static_cast<size_t>(name.length()));
    size_t dot = text.find('.');
    if (dot != std::string::npos) text[dot] = '@';
    return Ascii(text.c_str(), static_cast<std::int32_t>(text.size()));
}
