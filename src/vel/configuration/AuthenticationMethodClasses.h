#pragma once
// The method classes, one per authentication type. The tunnel methods (EAP-TTLS, PEAP, EAP-FAST)
// accept the inner methods of their own list; EAP-FAST adds the PAC settings.
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "vel/configuration/AuthenticationMethod.h"

class AuthenticationTypeConstants {
public:
    static constexpr std::int32_t EAP_MD5 = 4;
    static constexpr std::int32_t EAP_GTC = 6;
    static constexpr std::int32_t EAP_TLS = 13;
    static constexpr std::int32_t EAP_LEAP = 17;
    static constexpr std::int32_t EAP_TTLS = 21;
    static constexpr std::int32_t EAP_PEAP = 25;
    static constexpr std::int32_t EAP_MSCHAPV2 = 26;
    static constexpr std::int32_t EAP_FAST = 43;
    static constexpr std::int32_t TTLS_CHAP = 4097;
    static constexpr std::int32_t TTLS_MSCHAP = 4098;
    static constexpr std::int32_t TTLS_MSCHAPV2 = 4099;
    static constexpr std::int32_t TTLS_PAP = 4100;
};

// A method that runs no inner method.
template <std::int32_t TYPE>
class PlainAuthenticationMethodImpl : public AuthenticationMethodImpl {
public:
    PlainAuthenticationMethodImpl() : AuthenticationMethodImpl(TYPE) {}
};

using EapMd5AuthenticationMethodImpl = PlainAuthenticationMethodImpl<AuthenticationTypeConstants::EAP_MD5>;
using EapGtcAuthenticationMethodImpl = PlainAuthenticationMethodImpl<AuthenticationTypeConstants::EAP_GTC>;
using EapTlsAuthenticationMethodImpl = PlainAuthenticationMethodImpl<AuthenticationTypeConstants::EAP_TLS>;
using EapLeapAuthenticationMethodImpl = PlainAuthenticationMethodImpl<AuthenticationTypeConstants::EAP_LEAP>;
using EapMschapv2AuthenticationMethodImpl =
    PlainAuthenticationMethodImpl<AuthenticationTypeConstants::EAP_MSCHAPV2>;
using TtlsChapAuthenticationMethodImpl =
    PlainAuthenticationMethodImpl<AuthenticationTypeConstants::TTLS_CHAP>;
using TtlsMschapAuthenticationMethodImpl =
    PlainAuthenticationMethodImpl<AuthenticationTypeConstants::TTLS_MSCHAP>;
using TtlsMschapv2AuthenticationMethodImpl =
    PlainAuthenticationMethodImpl<AuthenticationTypeConstants::TTLS_MSCHAPV2>;
using TtlsPapAuthenticationMethodImpl = PlainAuthenticationMethodImpl<AuthenticationTypeConstants::TTLS_PAP>;

// A method that carries inner methods of the types it accepts.
class TunnelAuthenticationMethodImpl : public AuthenticationMethodImpl {
public:
    bool acceptsInnerMethod(const AuthenticationMethod& method) const override;
    // An inner method of another type is logged and left out.
    void addInnerAuthenticationMethod(const AuthenticationMethod& method) override;
    ElementVector innerAuthenticationMethods() override { return m_innerMethods; }

protected:
    TunnelAuthenticationMethodImpl(std::int32_t type, const char* logName,
                                   std::initializer_list<std::int32_t> acceptedTypes);

private:
    const char* m_logName;
    std::vector<std::int32_t> m_acceptedTypes;
};

class EapTtlsAuthenticationMethodImpl : public TunnelAuthenticationMethodImpl {
public:
    EapTtlsAuthenticationMethodImpl();
};

class EapPeapAuthenticationMethodImpl : public TunnelAuthenticationMethodImpl {
public:
    EapPeapAuthenticationMethodImpl();
};

class EapFastAuthenticationMethodImpl : public TunnelAuthenticationMethodImpl {
public:
    EapFastAuthenticationMethodImpl();

    void setUsePac(bool value) override { m_usePac = value; }
    bool getUsePac() const override { return m_usePac != 0; }
    void setAllowUnauthProvisioning(bool value) override { m_allowUnauthProvisioning = value; }
    bool getAllowUnauthProvisioning() const override { return m_allowUnauthProvisioning != 0; }
    // A vector of PacInfo records.
    void setTrustedPacsVector(const ElementVector& pacs) override { m_trustedPacs = pacs; }
    ElementVector getTrustedPacsVector() const override { return m_trustedPacs; }
    void setEnablePosture(bool value) override { m_enablePosture = value; }
    bool getEnablePosture() const override { return m_enablePosture != 0; }

private:
    std::uint8_t m_usePac = 0;
    std::uint8_t m_allowUnauthProvisioning = 0;
    ElementVector m_trustedPacs = ElementVector::create();
    std::uint8_t m_enablePosture = 1;
};
