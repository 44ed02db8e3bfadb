#include "vel/xml/XmlAuthenticationConversion.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "runtime/lum/Log.h"
#include "vel/configuration/AuthenticationMethodClasses.h"
#include "vel/configuration/PacInfo.h"
#include "vel/credmgr/Credential.h"
#include "vel/exception/CredentialException.h"
#include "vel/reference/HandleOf.h"
#include "vel/xml/XmlSchema.h"

using C = XmlAuthenticationConstants;
using T = AuthenticationTypeConstants;

namespace {

AuthenticationMethod methodOfType(std::int32_t type) {
    AuthenticationMethod method = AuthenticationMethod::ofType(type);
    if (method.isNull()) vel::xmlErrorText(XmlMessages::UNSUPPORTED_EAP_METHOD);
    return method;
}

ElementVector trustedPacs(const std::vector<XmlPacRecord>& records) {
    ElementVector pacs = ElementVector::create();
    for (const XmlPacRecord& record : records) {
        logInfo(0, "%s", XmlMessages::MANUAL_PAC_PROVISIONING);
        PacInfo pac;
        try {
            pac = PacInfo::create(record.pac, record.secretKey, record.persistent);
        } catch (const CredentialException& e) {
            // The file's PAC cannot be opened with its key: the file is as unusable as a bad element.
            vel::xmlError("%s", e.reason().text());
        }
        pacs.add(pac.m);
    }
    return pacs;
}

AuthenticationMethod buildMethod(const XmlMethodSettings& settings) {
    AuthenticationMethod method = methodOfType(settings.type);
    for (std::int32_t inner : settings.innerMethods) method.addInnerAuthenticationMethod(methodOfType(inner));
    method.setValidateServerCertificate(settings.validateServerCertificate);
    method.setFastReconnect(settings.fastReconnect);
    method.setDisableWhenSmartCard(settings.fastReconnect && settings.disableWhenSmartCard);
    method.setCredentialType(settings.credentialKind);
    if (settings.credentialKind == C::CREDENTIAL_CERTIFICATE) {
        method.setCertificateSendingMode(settings.certificateSendingMode);
    }
    if (settings.type == T::EAP_FAST) {
        method.setUsePac(settings.usePac);
        if (settings.usePac) {
            method.setAllowUnauthProvisioning(settings.allowUnauthPacProvisioning);
            method.setTrustedPacsVector(trustedPacs(settings.trustedPacs));
        }
        method.setEnablePosture(settings.enablePosture);
    }
    return method;
}

bool isOneOf(std::int32_t type, std::initializer_list<std::int32_t> types) {
    return std::find(types.begin(), types.end(), type) != types.end();
}

// What the method's element can say, so that a saved file always reads back: the credential kind
// the element gives its method, and inner methods it can name (a tunnel left without one gets the
// password default, as a network the connection API makes with a password would have).
void makeWritable(XmlMethodSettings& settings) {
    const std::int32_t type = settings.type;
    std::int32_t& kind = settings.credentialKind;
    if (type == T::EAP_TLS) kind = C::CREDENTIAL_CERTIFICATE;
    if (isOneOf(type, {T::EAP_MD5, T::EAP_MSCHAPV2, T::EAP_LEAP, T::EAP_TTLS})) kind = C::CREDENTIAL_PASSWORD;
    if (type == T::EAP_GTC && kind != C::CREDENTIAL_TOKEN) kind = C::CREDENTIAL_PASSWORD;
    if (isOneOf(type, {T::EAP_PEAP, T::EAP_FAST}) &&
        !isOneOf(kind, {C::CREDENTIAL_PASSWORD, C::CREDENTIAL_CERTIFICATE, C::CREDENTIAL_TOKEN})) {
        kind = C::CREDENTIAL_PASSWORD;
    }
    std::vector<std::int32_t> writable;
    for (std::int32_t inner : settings.innerMethods) {
        const bool ttls =
            type == T::EAP_TTLS && isOneOf(inner, {T::TTLS_PAP, T::TTLS_CHAP, T::TTLS_MSCHAP,
                                                   T::TTLS_MSCHAPV2, T::EAP_MD5, T::EAP_MSCHAPV2});
        const bool password = isOneOf(type, {T::EAP_PEAP, T::EAP_FAST}) && kind == C::CREDENTIAL_PASSWORD &&
                              isOneOf(inner, {T::EAP_MSCHAPV2, T::EAP_GTC});
        if (ttls || password) writable.push_back(inner);
    }
    if (type == T::EAP_PEAP && writable.size() > 1) writable.erase(writable.begin() + 1, writable.end());
    if (writable.empty() && (type == T::EAP_TTLS ||
                             (isOneOf(type, {T::EAP_PEAP, T::EAP_FAST}) && kind == C::CREDENTIAL_PASSWORD))) {
        writable.push_back(T::EAP_MSCHAPV2);
    }
    if (isOneOf(type, {T::EAP_PEAP, T::EAP_FAST}) && kind == C::CREDENTIAL_TOKEN) writable = {T::EAP_GTC};
    if (type == T::EAP_PEAP && kind == C::CREDENTIAL_CERTIFICATE) writable = {T::EAP_TLS};
    if (type == T::EAP_FAST && kind == C::CREDENTIAL_CERTIFICATE) {
        const bool viaInner =
            !isOneOf(settings.certificateSendingMode, {C::SEND_WHENEVER_REQUESTED, C::SEND_SECURELY_ONLY});
        if (viaInner) settings.certificateSendingMode = C::SEND_VIA_INNER_METHOD;
        writable = viaInner ? std::vector<std::int32_t>{T::EAP_TLS} : std::vector<std::int32_t>{};
    }
    if (isOneOf(type, {T::EAP_TTLS, T::EAP_PEAP, T::EAP_FAST})) settings.innerMethods = writable;
}

// The collection kind a record can be written with: certificates and tokens need their storage
// values, which a network that was never read from a file may lack.
std::int32_t writableCollectionKind(std::int32_t kind, const XmlCollectionBehavior& collection) {
    if (kind == C::CREDENTIAL_CERTIFICATE && (collection.storage == 0 || collection.pinStorage == 0))
        return 0;
    if (kind == C::CREDENTIAL_TOKEN && collection.storage == 0) return 0;
    return kind;
}

}  // namespace

void XmlAuthenticationConversion::apply(const XmlAuthenticationRecord& record, const Network& network) {
    const XmlMethodSettings& settings = record.method;
    if (record.kind == C::RECORD_USER) {
        const XmlCollectionBehavior& collection = record.collection;
        if (collection.kind != C::CREDENTIAL_NONE && collection.kind != settings.credentialKind) {
            vel::xmlErrorText(XmlMessages::CREDENTIAL_TYPE_MISMATCH);
        }
        network.setCredentialStorage(collection.storage);
        network.setAllowedCertificateSource(collection.allowedCertificateSource);
        network.setSmartCardPinStorage(collection.pinStorage);
        network.setExtendUserConnectionBeyondLogoff(record.extendUserConnectionBeyondLogoff);
    }
    AuthenticationMethod method = buildMethod(settings);

    AuthenticationParameters parameters = network.getAuthenticationParameters(record.kind);
    parameters.clearAuthenticationMethods();
    parameters.setUnprotectedIdentityPattern(Ascii::fromByteArray(settings.unprotectedIdentity.bytes));
    parameters.setProtectedIdentityPattern(Ascii::fromByteArray(settings.protectedIdentity.bytes));
    parameters.setCredentialType(settings.source.kind);
    if (settings.source.kind == C::SOURCE_PROFILE) {
        if (settings.credentialKind == C::CREDENTIAL_CERTIFICATE) {
            parameters.setCertificateCredential(Credential::newCertificate(settings.source.value.bytes));
        } else {
            parameters.setPassword(settings.source.value.persistent, settings.source.value.bytes);
        }
    }
    parameters.setValidationParameters(settings.validateServerCertificate && !settings.validation.isNull()
                                           ? settings.validation
                                           : CertificateValidationParameters::create());
    parameters.addAuthenticationMethod(method);
}

XmlAuthenticationRecord XmlAuthenticationConversion::fromNetwork(const Network& network,
                                                                 std::int32_t connectionType) {
    XmlAuthenticationRecord record;
    record.kind = connectionType;
    AuthenticationParameters parameters = network.getAuthenticationParameters(connectionType);
    XmlMethodSettings& settings = record.method;
    settings.unprotectedIdentity =
        XmlContentValue{parameters.getUnprotectedIdentityPattern().toByteArray(), false};
    settings.protectedIdentity =
        XmlContentValue{parameters.getProtectedIdentityPattern().toByteArray(), false};
    settings.source.kind = parameters.getCredentialType();
    if (parameters.authenticationMethods().length() == 0) return record;

    AuthenticationMethod method = parameters.authenticationMethodAt(0);
    settings.type = method.authenticationType();
    settings.credentialKind = method.credentialType();
    settings.validateServerCertificate = method.getValidateServerCertificate();
    if (settings.validateServerCertificate) settings.validation = parameters.getValidationParameters();
    settings.fastReconnect = method.getFastReconnect();
    settings.disableWhenSmartCard = method.getDisableWhenSmartCard();
    settings.certificateSendingMode = method.getCertificateSendingMode();
    for (const Reference& inner : method.innerAuthenticationMethods().snapshot()) {
        settings.innerMethods.push_back(handleOf<AuthenticationMethod>(inner.m).authenticationType());
    }
    if (settings.type == T::EAP_FAST) {
        settings.usePac = method.getUsePac();
        settings.allowUnauthPacProvisioning = method.getAllowUnauthProvisioning();
        settings.enablePosture = method.getEnablePosture();
        for (const Reference& held : method.getTrustedPacsVector().snapshot()) {
            PacInfo pac = handleOf<PacInfo>(held.m);
            settings.trustedPacs.push_back(
                XmlPacRecord{pac.pac().storedText().toBase64(), pac.secretKey(), true});
        }
    }
    makeWritable(settings);
    if (settings.source.kind == C::SOURCE_PROFILE) {
        if (settings.credentialKind == C::CREDENTIAL_CERTIFICATE) {
            CredentialProxy certificate = parameters.getCertificateCredential();
            if (certificate.exists())
                settings.source.value.bytes = certificate.credential().certificateHash();
        } else {
            CredentialProxy password = parameters.getPasswordOrKeyCredential();
            if (password.exists())
                settings.source.value = XmlContentValue{password.credential().storedText(), true};
        }
    }
    if (connectionType == C::RECORD_USER) {
        record.collection.allowedCertificateSource = network.getAllowedCertificateSource();
        record.collection.storage = network.getCredentialStorage();
        record.collection.pinStorage = network.getSmartCardPinStorage();
        record.collection.kind = writableCollectionKind(settings.credentialKind, record.collection);
        record.extendUserConnectionBeyondLogoff = network.getExtendUserConnectionBeyondLogoff();
    }
    return record;
}
