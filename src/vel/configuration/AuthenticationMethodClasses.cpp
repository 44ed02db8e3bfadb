#include "vel/configuration/AuthenticationMethodClasses.h"

#include <algorithm>

#include "runtime/lum/Log.h"
#include "vel/string/FormatBuffer.h"

TunnelAuthenticationMethodImpl::TunnelAuthenticationMethodImpl(
    std::int32_t type, const char* logName, std::initializer_list<std::int32_t> acceptedTypes)
    : AuthenticationMethodImpl(type), m_logName(logName), m_acceptedTypes(acceptedTypes) {}

bool TunnelAuthenticationMethodImpl::acceptsInnerMethod(const AuthenticationMethod& method) const {
    return std::find(m_acceptedTypes.begin(), m_acceptedTypes.end(), method.authenticationType()) !=
           m_acceptedTypes.end();
}

void TunnelAuthenticationMethodImpl::addInnerAuthenticationMethod(const AuthenticationMethod& method) {
    if (acceptsInnerMethod(method)) {
        m_innerMethods.add(method.m);
        return;
    }
    FormatBuffer100 number;
    logError(0, "%s: invalid/unsupported inner authentication method: %s", m_logName,
             AuthenticationMethod::typeText(method.authenticationType(), number));
}

EapTtlsAuthenticationMethodImpl::EapTtlsAuthenticationMethodImpl()
    : TunnelAuthenticationMethodImpl(
          AuthenticationTypeConstants::EAP_TTLS, "EAP_TTLS",
          {AuthenticationTypeConstants::EAP_MD5, AuthenticationTypeConstants::EAP_GTC,
           AuthenticationTypeConstants::EAP_TLS, AuthenticationTypeConstants::EAP_MSCHAPV2,
           AuthenticationTypeConstants::TTLS_CHAP, AuthenticationTypeConstants::TTLS_MSCHAP,
           AuthenticationTypeConstants::TTLS_MSCHAPV2, AuthenticationTypeConstants::TTLS_PAP}) {}

EapPeapAuthenticationMethodImpl::EapPeapAuthenticationMethodImpl()
    : TunnelAuthenticationMethodImpl(
          AuthenticationTypeConstants::EAP_PEAP, "EAP_PEAP",
          {AuthenticationTypeConstants::EAP_MD5, AuthenticationTypeConstants::EAP_GTC,
           AuthenticationTypeConstants::EAP_TLS, AuthenticationTypeConstants::EAP_MSCHAPV2}) {}

EapFastAuthenticationMethodImpl::EapFastAuthenticationMethodImpl()
    : TunnelAuthenticationMethodImpl(
          AuthenticationTypeConstants::EAP_FAST, "EAP_FAST",
          {AuthenticationTypeConstants::EAP_MD5, AuthenticationTypeConstants::EAP_GTC,
           AuthenticationTypeConstants::EAP_TLS, AuthenticationTypeConstants::EAP_MSCHAPV2}) {}
