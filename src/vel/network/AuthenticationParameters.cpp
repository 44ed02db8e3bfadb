#include "vel/network/AuthenticationParameters.h"

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "runtime/lum/RuntimeFolders.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/credmgr/CredentialConstants.h"
#include "vel/exception/ExceptionConstants.h"

namespace {

constexpr int INTERNAL_ERROR_KEY_TYPE = 165;

// The plain value of a password or key credential.
Ascii plainTextOf(const Credential& credential) {
    switch (credential.type()) {
        case CredentialConstants::TYPE_PASSWORD:
            return credential.password();
        case CredentialConstants::TYPE_ASCII_PSK:
        case CredentialConstants::TYPE_HEX_PSK:
            return Ascii::fromByteArray(credential.psk());
        case CredentialConstants::TYPE_PIN:
            return credential.pin();
        default:
            return Ascii("");
    }
}

}  // namespace

Credential AuthenticationParametersImpl::identityFrom(const Ascii& pattern) const {
    CredentialProxy held = m_identity;
    if (held.exists()) {
        CredentialProxy expanded = held.credential().expand(pattern);
        if (expanded.exists()) return expanded.credential();
    }
    return Credential::newIdentity(pattern);
}

bool AuthenticationParametersImpl::isFastUnauthProvisioning() {
    AuthenticationMethod topAuthMethod = AuthenticationMethod::at(m_authenticationMethods, 0);
    if (!LUM_ASSERT_TEXT(
            !topAuthMethod.isNull() &&
                topAuthMethod.authenticationType() == AdapterConstants::AUTHENTICATION_EAP_FAST,
            "topAuthMethod.getAuthenticationType() == AdapterConstants::AUTHENTICATION_EAP_FAST")) {
        return false;
    }
    return topAuthMethod.getUsePac() && topAuthMethod.getAllowUnauthProvisioning();
}

AuthenticationParameters AuthenticationParameters::create() {
    AuthenticationParameters parameters;
    static_cast<Reference&>(parameters) = Reference(new AuthenticationParametersImpl, Reference::TAKE_OVER);
    return parameters;
}

AuthenticationParametersImpl* AuthenticationParameters::data() const {
    LUM_ASSERT(m);
    return impl();
}

Ascii AuthenticationParameters::getPasswordOrKey() const {
    CredentialProxy key = data()->m_passwordOrKey;
    if (!LUM_ASSERT_TEXT(key.exists(), "m->m_passwordOrKey.exists()")) return Ascii("");
    return plainTextOf(key.credential());
}

void AuthenticationParameters::setPasswordOrKeyCredential(const Credential& credential) const {
    data()->m_passwordOrKey = CredentialProxy();
    data()->m_passwordOrKey = CredentialProxy(credential);
}

void AuthenticationParameters::setPassword(bool stored, const ByteArray& bytes) const {
    setPasswordOrKeyCredential(stored ? Credential::createPassword(bytes)
                                      : Credential::newPassword(Ascii::fromByteArray(bytes)));
}

void AuthenticationParameters::addAuthenticationMethod(
    const AuthenticationMethod& authenticationMethod) const {
    if (!LUM_ASSERT_TEXT(authenticationMethod.isEapType(), "authenticationMethod.isEapType()")) return;
    data()->m_authenticationMethods.add(authenticationMethod.m);
}

AuthenticationMethod AuthenticationParameters::authenticationMethodAt(std::int32_t index) const {
    return AuthenticationMethod::at(data()->m_authenticationMethods, index);
}

CredentialProxy AuthenticationParameters::getPac(std::int32_t pacType) const {
    if (pacType == TUNNEL_PAC) return data()->m_tunnelPac;
    if (pacType == MACHINE_PAC) return data()->m_machinePac;
    return CredentialProxy();
}

void AuthenticationParameters::setPac(const Credential& pac) const {
    std::int32_t pacType = pac.pacType();
    if (pacType == TUNNEL_PAC) data()->m_tunnelPac = CredentialProxy(pac);
    if (pacType == MACHINE_PAC) data()->m_machinePac = CredentialProxy(pac);
}

void AuthenticationParameters::releasePac(std::int32_t pacType) const {
    if (pacType == TUNNEL_PAC) data()->m_tunnelPac = CredentialProxy();
    if (pacType == MACHINE_PAC) data()->m_machinePac = CredentialProxy();
}

void AuthenticationParameters::setAsciiPsk(const Ascii& passPhrase) const {
    setPasswordOrKeyCredential(Credential::newAsciiPsk(passPhrase, ByteArray()));
}

void AuthenticationParameters::setStaticKeyValue(std::int32_t value) const {
    CredentialProxy key = data()->m_passwordOrKey;
    if (key.exists()) key.credential().setWepValue(value);
}

std::int32_t AuthenticationParameters::getStaticKeyValue() const {
    CredentialProxy key = data()->m_passwordOrKey;
    return key.exists() ? key.credential().wepValue() : 0;
}

void AuthenticationParameters::setStaticKeyText(const ByteArray& text, std::int32_t keyType, bool stored,
                                                const ByteArray& ssid) const {
    if (keyType != KEY_HEX && keyType != KEY_ASCII) logError(0, "Invalid key type in distribution package");
    if (stored) {
        // An older release kept pre-shared keys as slash-separated text.
        if (Credential::encryptionType(text) != CURRENT_PROTECTION) {
            CredentialProxy converted = Credential::convertLegacyPsk(text, ssid);
            if (converted.exists()) {
                setPasswordOrKeyCredential(converted.credential());
                return;
            }
        }
        setPasswordOrKeyCredential(keyType == KEY_HEX ? Credential::newHexPsk(0, text)
                                                      : Credential::createAsciiPsk(text));
        return;
    }
    if (keyType == KEY_HEX) setPasswordOrKeyCredential(Credential::newHexPsk(1, text));
    if (keyType == KEY_ASCII)
        setPasswordOrKeyCredential(Credential::newAsciiPsk(Ascii::fromByteArray(text), ssid));
}

Ascii AuthenticationParameters::getStaticKeyText() const {
    CredentialProxy key = data()->m_passwordOrKey;
    return key.exists() ? plainTextOf(key.credential()) : Ascii("");
}

std::int32_t AuthenticationParameters::getStaticKeyType() const {
    CredentialProxy key = data()->m_passwordOrKey;
    if (!key.exists()) return 0;
    switch (key.credential().type()) {
        case CredentialConstants::TYPE_ASCII_PSK:
            return KEY_ASCII;
        case CredentialConstants::TYPE_HEX_PSK:
            return KEY_HEX;
        default:
            logInternalError(INTERNAL_ERROR_KEY_TYPE);
            logError(0, "getStaticKeyType: invalid key type [%s:%d]", pathFileName(__FILE__), __LINE__);
            return 0;
    }
}

void AuthenticationParameters::setStaticKey(const ByteArray& bytes, std::int32_t keyType) const {
    setStaticKeyText(bytes, keyType, false, ByteArray());
}
