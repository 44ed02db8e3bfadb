#pragma once
// What a network authenticates with, one set per connection type (machine, user): the credentials
// in use (password or static key, certificate, smart-card PIN, the two EAP-FAST PACs, identity),
// the identity patterns, the authentication methods (the first is the top method), the credential
// source and the server-certificate validation.
#include <cstdint>

#include "vel/configuration/AuthenticationMethod.h"
#include "vel/configuration/CertificateValidationParameters.h"
#include "vel/credmgr/Credential.h"
#include "vel/credmgr/CredentialProxy.h"
#include "vel/reference/ElementVector.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"

class AuthenticationParametersImpl : public ReferenceImpl {
public:
    // A new identity from a pattern: the held identity's expansion of it, or the pattern itself.
    Credential unprotectedIdentity() const { return identityFrom(m_unprotectedIdentityPattern); }
    Credential protectedIdentity() const { return identityFrom(m_protectedIdentityPattern); }
    // The top method is EAP-FAST and lets PACs be provisioned without authentication.
    bool isFastUnauthProvisioning();

    CredentialProxy m_passwordOrKey;
    CredentialProxy m_certificate;
    CredentialProxy m_smartCardPin;
    CredentialProxy m_machinePac;
    CredentialProxy m_tunnelPac;
    CredentialProxy m_identity;
    Ascii m_unprotectedIdentityPattern;
    Ascii m_protectedIdentityPattern;
    ElementVector m_authenticationMethods = ElementVector::create();
    CertificateValidationParameters m_validationParameters = CertificateValidationParameters::create();
    // Where the credentials come from: 1 profile, 2 user, 3 logon, 6 machine.
    std::int32_t m_credentialType = 0;

private:
    Credential identityFrom(const Ascii& pattern) const;
};

class AuthenticationParameters : public Reference {
public:
    // Key types of a static key.
    static constexpr std::int32_t KEY_HEX = 1;
    static constexpr std::int32_t KEY_ASCII = 2;
    // PAC types.
    static constexpr std::int32_t TUNNEL_PAC = 1;
    static constexpr std::int32_t MACHINE_PAC = 2;
    // The protection byte of a stored text that no older release wrote.
    static constexpr int CURRENT_PROTECTION = 3;

    AuthenticationParameters() = default;
    static AuthenticationParameters create();

    // The plain password or key; asserts that one is held.
    Ascii getPasswordOrKey() const;
    CredentialProxy getPasswordOrKeyCredential() const { return data()->m_passwordOrKey; }
    void setPasswordOrKeyCredential(const Credential& credential) const;
    void releasePasswordOrKeyCredential() const { data()->m_passwordOrKey = CredentialProxy(); }
    // A password credential from the bytes: a stored text when `stored`, else the plain password.
    void setPassword(bool stored, const ByteArray& bytes) const;

    Ascii getUnprotectedIdentityPattern() const { return data()->m_unprotectedIdentityPattern; }
    void setUnprotectedIdentityPattern(const Ascii& pattern) const {
        data()->m_unprotectedIdentityPattern = pattern;
    }
    Ascii getProtectedIdentityPattern() const { return data()->m_protectedIdentityPattern; }
    void setProtectedIdentityPattern(const Ascii& pattern) const {
        data()->m_protectedIdentityPattern = pattern;
    }
    Credential unprotectedIdentity() const { return data()->unprotectedIdentity(); }
    Credential protectedIdentity() const { return data()->protectedIdentity(); }
    CredentialProxy getIdentity() const { return data()->m_identity; }
    void setIdentity(const Credential& identity) const { data()->m_identity = CredentialProxy(identity); }
    void releaseIdentity() const { data()->m_identity = CredentialProxy(); }

    // Only EAP methods are listed; the first is the top method.
    void addAuthenticationMethod(const AuthenticationMethod& authenticationMethod) const;
    void clearAuthenticationMethods() const { data()->m_authenticationMethods.clear(); }
    AuthenticationMethod authenticationMethodAt(std::int32_t index) const;
    ElementVector authenticationMethods() const { return data()->m_authenticationMethods; }

    std::int32_t getCredentialType() const { return data()->m_credentialType; }
    void setCredentialType(std::int32_t type) const { data()->m_credentialType = type; }

    // By PAC type (1 tunnel, 2 machine); another type has no holder.
    CredentialProxy getPac(std::int32_t pacType) const;
    // Into the holder of the PAC's own type.
    void setPac(const Credential& pac) const;
    void releasePac(std::int32_t pacType) const;

    CredentialProxy getSmartCardPin() const { return data()->m_smartCardPin; }
    void setSmartCardPin(const Credential& pin) const { data()->m_smartCardPin = CredentialProxy(pin); }
    void releaseSmartCardPin() const { data()->m_smartCardPin = CredentialProxy(); }
    CredentialProxy getCertificateCredential() const { return data()->m_certificate; }
    void setCertificateCredential(const Credential& certificate) const {
        data()->m_certificate = CredentialProxy(certificate);
    }
    void releaseCertificateCredential() const { data()->m_certificate = CredentialProxy(); }

    CertificateValidationParameters getValidationParameters() const { return data()->m_validationParameters; }
    void setValidationParameters(const CertificateValidationParameters& parameters) const {
        data()->m_validationParameters = parameters;
    }

    void setAsciiPsk(const Ascii& passPhrase) const;
    // The WEP key size of the key (5 or 13 bytes); 0 without a key.
    void setStaticKeyValue(std::int32_t value) const;
    std::int32_t getStaticKeyValue() const;
    // The key from a text: a stored credential text when `stored`, else the key itself (hex key
    // bytes, or an ASCII pass phrase bound to the SSID).
    void setStaticKeyText(const ByteArray& text, std::int32_t keyType, bool stored,
                          const ByteArray& ssid) const;
    // The plain key, or "" without one.
    Ascii getStaticKeyText() const;
    // 1 hex, 2 ASCII, 0 without a key.
    std::int32_t getStaticKeyType() const;
    void setStaticKey(const ByteArray& bytes, std::int32_t keyType) const;

    bool isFastUnauthProvisioning() const { return data()->isFastUnauthProvisioning(); }

    AuthenticationParametersImpl* impl() const {
        return static_cast<AuthenticationParametersImpl*>(static_cast<ReferenceImpl*>(m));
    }

private:
    // Asserts that the handle holds parameters.
    AuthenticationParametersImpl* data() const;
};
