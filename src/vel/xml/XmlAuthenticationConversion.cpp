#include "vel/xml/XmlAuthenticationConversion.h"

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
