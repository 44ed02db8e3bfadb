#include "vel/xml/UserAuthenticationSettings.h"

#include "runtime/lum/Log.h"
#include "vel/configuration/AuthenticationMethodClasses.h"
#include "vel/xml/XmlAuthenticationConversion.h"

using C = XmlAuthenticationConstants;
using T = AuthenticationTypeConstants;

namespace {

const char* const ANONYMOUS = "anonymous";
const char* const USERNAME = "[username]";
// Credential storage "forever" and the allowed certificate source and PIN storage a certificate
// collection starts with.
constexpr std::int32_t STORE_FOREVER = 1;
constexpr std::int32_t CERTIFICATE_DEFAULT = 3;

XmlContentValue plainText(const char* text) {
    return XmlContentValue{ByteArray(text), false};
}

bool isTunnel(std::int32_t type) {
    return type == T::EAP_TTLS || type == T::EAP_PEAP || type == T::EAP_FAST;
}

}  // namespace

XmlAuthenticationRecord userAuthenticationSettingsRecord(std::int32_t type, std::int32_t credentialKind) {
    XmlAuthenticationRecord record;
    record.kind = C::RECORD_USER;
    XmlMethodSettings& method = record.method;
    method.type = type;
    method.unprotectedIdentity = plainText(type == T::EAP_FAST ? ANONYMOUS : USERNAME);
    method.protectedIdentity = plainText(USERNAME);
    method.source.kind = C::SOURCE_USER;
    method.fastReconnect = true;
    method.disableWhenSmartCard = false;
    method.allowUnauthPacProvisioning = true;
    method.usePac = true;
    if (isTunnel(type)) {
        switch (credentialKind) {
            case C::CREDENTIAL_PASSWORD:
                method.innerMethods.push_back(T::EAP_MSCHAPV2);
                break;
            case C::CREDENTIAL_CERTIFICATE:
                method.innerMethods.push_back(T::EAP_TLS);
                break;
            case C::CREDENTIAL_TOKEN:
                method.innerMethods.push_back(T::EAP_GTC);
                break;
            default:
                logError(0, "We should never get here");
                break;
        }
    }
    // EAP-FAST sends the certificate inside the EAP-TLS it was given, as a file saying so would.
    if (type == T::EAP_FAST && credentialKind == C::CREDENTIAL_CERTIFICATE) {
        method.certificateSendingMode = C::SEND_VIA_INNER_METHOD;
    }
    method.validateServerCertificate = false;
    method.credentialKind = credentialKind;
    method.enablePosture = true;
    record.collection.kind = credentialKind;
    return record;
}

void createUserAuthenticationSettings(std::int32_t type, std::int32_t credentialKind,
                                      const Network& network) {
    XmlAuthenticationConversion::apply(userAuthenticationSettingsRecord(type, credentialKind), network);
    if (credentialKind == C::CREDENTIAL_CERTIFICATE) {
        network.setAllowedCertificateSource(CERTIFICATE_DEFAULT);
        network.setSmartCardPinStorage(CERTIFICATE_DEFAULT);
    }
    network.setCredentialStorage(STORE_FOREVER);
    network.setFurtherFlag2(true);
}
