#include "vel/configuration/AuthenticationMethod.h"

#include "runtime/lum/Assert.h"
#include "vel/configuration/AuthenticationMethodClasses.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/exception/ConversionException.h"
#include "vel/reference/HandleOf.h"
#include "vel/string/FormatBuffer.h"

AuthenticationMethodImpl::AuthenticationMethodImpl(std::int32_t authenticationType)
    : m_authenticationType(authenticationType) {}

bool AuthenticationMethodImpl::acceptsInnerMethod(const AuthenticationMethod&) const {
    return false;
}

void AuthenticationMethodImpl::addInnerAuthenticationMethod(const AuthenticationMethod&) {
    LUM_ASSERT_TEXT(false, "addInnerAuthenticationMethod");
}

ElementVector AuthenticationMethodImpl::innerAuthenticationMethods() {
    return ElementVector::create();
}

void AuthenticationMethodImpl::setUsePac(bool) {
    LUM_ASSERT_TEXT(false, "setUsePac");
}

bool AuthenticationMethodImpl::getUsePac() const {
    LUM_ASSERT_TEXT(false, "getUsePac");
    return false;
}

void AuthenticationMethodImpl::setAllowUnauthProvisioning(bool) {
    LUM_ASSERT_TEXT(false, "setAllowUnauthProvisioning");
}

bool AuthenticationMethodImpl::getAllowUnauthProvisioning() const {
    LUM_ASSERT_TEXT(false, "getAllowUnauthProvisioning");
    return false;
}

void AuthenticationMethodImpl::setTrustedPacsVector(const ElementVector&) {
    LUM_ASSERT_TEXT(false, "setTrustedPacsVector");
}

ElementVector AuthenticationMethodImpl::getTrustedPacsVector() const {
    LUM_ASSERT_TEXT(false, "getTrustedPacsVector");
    return ElementVector::create();
}

void AuthenticationMethodImpl::setEnablePosture(bool) {
    LUM_ASSERT_TEXT(false, "setEnablePosture");
}

bool AuthenticationMethodImpl::getEnablePosture() const {
    LUM_ASSERT_TEXT(false, "getEnablePosture");
    return false;
}

AuthenticationMethod AuthenticationMethod::ofType(std::int32_t type) {
    using T = AuthenticationTypeConstants;
    switch (type) {
        case T::EAP_MD5:
            return AuthenticationMethod(new EapMd5AuthenticationMethodImpl);
        case T::EAP_GTC:
            return AuthenticationMethod(new EapGtcAuthenticationMethodImpl);
        case T::EAP_TLS:
            return AuthenticationMethod(new EapTlsAuthenticationMethodImpl);
        case T::EAP_LEAP:
            return AuthenticationMethod(new EapLeapAuthenticationMethodImpl);
        case T::EAP_TTLS:
            return AuthenticationMethod(new EapTtlsAuthenticationMethodImpl);
        case T::EAP_PEAP:
            return AuthenticationMethod(new EapPeapAuthenticationMethodImpl);
        case T::EAP_MSCHAPV2:
            return AuthenticationMethod(new EapMschapv2AuthenticationMethodImpl);
        case T::EAP_FAST:
            return AuthenticationMethod(new EapFastAuthenticationMethodImpl);
        case T::TTLS_CHAP:
            return AuthenticationMethod(new TtlsChapAuthenticationMethodImpl);
        case T::TTLS_MSCHAP:
            return AuthenticationMethod(new TtlsMschapAuthenticationMethodImpl);
        case T::TTLS_MSCHAPV2:
            return AuthenticationMethod(new TtlsMschapv2AuthenticationMethodImpl);
        case T::TTLS_PAP:
            return AuthenticationMethod(new TtlsPapAuthenticationMethodImpl);
        default:
            return AuthenticationMethod();
    }
}

const char* AuthenticationMethod::typeText(std::int32_t type, FormatBuffer100& number) {
    try {
        return AuthenticationTypeToText(type);
    } catch (const ConversionException&) {
        number.format("%d", type);
        return number.text();
    }
}

AuthenticationMethod AuthenticationMethod::at(ElementVector& methods, std::int32_t index) {
    return handleOf<AuthenticationMethod>(methods.get(index));
}

AuthenticationMethodImpl* AuthenticationMethod::data() const {
    LUM_ASSERT_TEXT(m, "m_pData");
    return impl();
}

std::int32_t AuthenticationMethod::authenticationType() const {
    return data()->authenticationType();
}

bool AuthenticationMethod::isEapType() const {
    return authenticationType() < FIRST_NON_EAP_TYPE;
}

std::int32_t AuthenticationMethod::eapType() const {
    LUM_ASSERT_TEXT(isEapType(), "this->isEapType()");
    return authenticationType();
}

std::int32_t AuthenticationMethod::innerMethodType() const {
    switch (authenticationType()) {
        case AuthenticationTypeConstants::TTLS_CHAP:
            return 1;
        case AuthenticationTypeConstants::TTLS_MSCHAP:
            return 2;
        case AuthenticationTypeConstants::TTLS_MSCHAPV2:
            return 3;
        case AuthenticationTypeConstants::TTLS_PAP:
            return 4;
        default:
            return 5;
    }
}

void AuthenticationMethod::setValidateServerCertificate(bool value) const {
    data()->setValidateServerCertificate(value);
}

bool AuthenticationMethod::getValidateServerCertificate() const {
    return data()->getValidateServerCertificate();
}

void AuthenticationMethod::setFastReconnect(bool value) const {
    data()->setFastReconnect(value);
}

bool AuthenticationMethod::getFastReconnect() const {
    return data()->getFastReconnect();
}

void AuthenticationMethod::setDisableWhenSmartCard(bool value) const {
    data()->setDisableWhenSmartCard(value);
}

bool AuthenticationMethod::getDisableWhenSmartCard() const {
    return data()->getDisableWhenSmartCard();
}

ElementVector AuthenticationMethod::innerAuthenticationMethods() const {
    return data()->innerAuthenticationMethods();
}

void AuthenticationMethod::addInnerAuthenticationMethod(const AuthenticationMethod& method) const {
    data()->addInnerAuthenticationMethod(method);
}

std::int32_t AuthenticationMethod::credentialType() const {
    return data()->credentialType();
}

void AuthenticationMethod::setCredentialType(std::int32_t type) const {
    data()->setCredentialType(type);
}

void AuthenticationMethod::setUsePac(bool value) const {
    data()->setUsePac(value);
}

bool AuthenticationMethod::getUsePac() const {
    return data()->getUsePac();
}

void AuthenticationMethod::setAllowUnauthProvisioning(bool value) const {
    data()->setAllowUnauthProvisioning(value);
}

bool AuthenticationMethod::getAllowUnauthProvisioning() const {
    return data()->getAllowUnauthProvisioning();
}

void AuthenticationMethod::setTrustedPacsVector(const ElementVector& pacs) const {
    data()->setTrustedPacsVector(pacs);
}

ElementVector AuthenticationMethod::getTrustedPacsVector() const {
    return data()->getTrustedPacsVector();
}

void AuthenticationMethod::setEnablePosture(bool value) const {
    data()->setEnablePosture(value);
}

bool AuthenticationMethod::getEnablePosture() const {
    return data()->getEnablePosture();
}

void AuthenticationMethod::setCertificateSendingMode(std::int32_t mode) const {
    data()->setCertificateSendingMode(mode);
}

std::int32_t AuthenticationMethod::getCertificateSendingMode() const {
    return data()->getCertificateSendingMode();
}
