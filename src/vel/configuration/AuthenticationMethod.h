#pragma once
// One EAP method of a network's authentication parameters: the outer method and, for the tunnel
// methods, the inner methods that may run inside it. The classes differ only in their type, the
// inner methods they accept and, for EAP-FAST, the PAC settings.
#include <cstdint>

#include "vel/reference/ElementVector.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

class AuthenticationMethod;
class FormatBuffer100;

class AuthenticationMethodImpl : public ReferenceImpl {
public:
    explicit AuthenticationMethodImpl(std::int32_t authenticationType);

    std::int32_t authenticationType() const { return m_authenticationType; }

    virtual void setValidateServerCertificate(bool value) { m_validateServerCertificate = value; }
    virtual bool getValidateServerCertificate() const { return m_validateServerCertificate != 0; }
    virtual void setFastReconnect(bool value) { m_fastReconnect = value; }
    virtual bool getFastReconnect() const { return m_fastReconnect != 0; }
    virtual void setDisableWhenSmartCard(bool value) { m_disableWhenSmartCard = value; }
    virtual bool getDisableWhenSmartCard() const { return m_disableWhenSmartCard != 0; }

    // Only a tunnel method takes inner methods.
    virtual bool acceptsInnerMethod(const AuthenticationMethod& method) const;
    virtual void addInnerAuthenticationMethod(const AuthenticationMethod& method);
    virtual ElementVector innerAuthenticationMethods();

    virtual void setCertificateSendingMode(std::int32_t mode) { m_certificateSendingMode = mode; }
    virtual std::int32_t getCertificateSendingMode() const { return m_certificateSendingMode; }

    // Only EAP-FAST has PAC settings; asking another method is a coding fault.
    virtual void setUsePac(bool value);
    virtual bool getUsePac() const;
    virtual void setAllowUnauthProvisioning(bool value);
    virtual bool getAllowUnauthProvisioning() const;
    virtual void setTrustedPacsVector(const ElementVector& pacs);
    virtual ElementVector getTrustedPacsVector() const;
    virtual void setEnablePosture(bool value);
    virtual bool getEnablePosture() const;

    // 1 password, 2 certificate, 3 token.
    std::int32_t credentialType() const { return m_credentialType; }
    void setCredentialType(std::int32_t type) { m_credentialType = type; }

protected:
    std::int32_t m_authenticationType;
    std::uint8_t m_validateServerCertificate = 0;
    std::uint8_t m_fastReconnect = 0;
    std::uint8_t m_disableWhenSmartCard = 0;
    std::int32_t m_certificateSendingMode = 0;
    ElementVector m_innerMethods = ElementVector::create();
    std::int32_t m_credentialType = 0;
};

// The value holder of one method.
class AuthenticationMethod : public Reference {
public:
    // Codes below this are EAP types; from it on the non-EAP inner methods of EAP-TTLS.
    static constexpr std::int32_t FIRST_NON_EAP_TYPE = 4096;

    AuthenticationMethod() = default;
    // Takes over the first reference of a newly created method.
    explicit AuthenticationMethod(AuthenticationMethodImpl* created)
        : Reference(created, Reference::TAKE_OVER) {}
    // A new method of the class for that type; empty when no class has it.
    static AuthenticationMethod ofType(std::int32_t type);
    // The text of a type for log lines, or its number (written into the buffer) when the type has
    // no text.
    static const char* typeText(std::int32_t type, FormatBuffer100& number);
    // The method at an index of a vector of methods.
    static AuthenticationMethod at(ElementVector& methods, std::int32_t index);

    std::int32_t authenticationType() const;
    bool isEapType() const;
    std::int32_t eapType() const;
    // 4097 to 4100 give 1 to 4 (CHAP, MSCHAP, MSCHAPv2, PAP), every other type 5.
    std::int32_t innerMethodType() const;

    void setValidateServerCertificate(bool value) const;
    bool getValidateServerCertificate() const;
    void setFastReconnect(bool value) const;
    bool getFastReconnect() const;
    void setDisableWhenSmartCard(bool value) const;
    bool getDisableWhenSmartCard() const;
    ElementVector innerAuthenticationMethods() const;
    void addInnerAuthenticationMethod(const AuthenticationMethod& method) const;
    std::int32_t credentialType() const;
    void setCredentialType(std::int32_t type) const;

    void setUsePac(bool value) const;
    bool getUsePac() const;
    void setAllowUnauthProvisioning(bool value) const;
    bool getAllowUnauthProvisioning() const;
    void setTrustedPacsVector(const ElementVector& pacs) const;
    ElementVector getTrustedPacsVector() const;
    void setEnablePosture(bool value) const;
    bool getEnablePosture() const;
    void setCertificateSendingMode(std::int32_t mode) const;
    std::int32_t getCertificateSendingMode() const;

    AuthenticationMethodImpl* impl() const {
        return static_cast<AuthenticationMethodImpl*>(static_cast<ReferenceImpl*>(m));
    }

private:
    // Asserts that a method is held.
    AuthenticationMethodImpl* data() const;
};
