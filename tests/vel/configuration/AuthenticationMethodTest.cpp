#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/vel/configuration/ConfigurationTestSupport.h"
#include "tests/vel/credmgr/CredentialFixtures.h"
#include "vel/configuration/AuthenticationMethod.h"
#include "vel/configuration/AuthenticationMethodClasses.h"
#include "vel/configuration/PacInfo.h"
#include "vel/configuration/Settings8021x.h"
#include "vel/exception/CredentialException.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace tamsel::test {
namespace {

using T = AuthenticationTypeConstants;

class AuthenticationMethodTest : public ConfigurationTest {};

std::vector<std::int32_t> innerTypesOf(const AuthenticationMethod& method) {
    std::vector<std::int32_t> types;
    ElementVector inner = method.innerAuthenticationMethods();
    for (int i = 0; i < inner.length(); ++i)
        types.push_back(AuthenticationMethod::at(inner, i).authenticationType());
    return types;
}

TEST_F(AuthenticationMethodTest, EachTypeHasItsClassAndNoOtherTypeHasOne) {
    for (std::int32_t type : {4, 6, 13, 17, 21, 25, 26, 43, 4097, 4098, 4099, 4100}) {
        AuthenticationMethod method = AuthenticationMethod::ofType(type);
        ASSERT_FALSE(method.isNull()) << type;
        EXPECT_EQ(method.authenticationType(), type);
        EXPECT_EQ(method.isEapType(), type < 4096) << type;
    }
    for (std::int32_t type : {0, 18, 4096, 4101})
        EXPECT_TRUE(AuthenticationMethod::ofType(type).isNull()) << type;
}

TEST_F(AuthenticationMethodTest, TunnelsTakeOnlyTheirInnerMethods) {
    struct Case {
        std::int32_t outer;
        std::int32_t inner;
        const char* refusal;  // the logged line, or null when the inner method is taken
    };
    const std::vector<Case> cases = {
        {T::EAP_TTLS, T::TTLS_PAP, nullptr},
        {T::EAP_TTLS, T::TTLS_CHAP, nullptr},
        {T::EAP_TTLS, T::EAP_MD5, nullptr},
        {T::EAP_TTLS, T::EAP_PEAP, "EAP_TTLS: invalid/unsupported inner authentication method: eapPeap"},
        {T::EAP_PEAP, T::EAP_MSCHAPV2, nullptr},
        {T::EAP_PEAP, T::EAP_TLS, nullptr},
        {T::EAP_PEAP, T::TTLS_PAP, "EAP_PEAP: invalid/unsupported inner authentication method: pap"},
        {T::EAP_FAST, T::EAP_GTC, nullptr},
        {T::EAP_FAST, T::EAP_LEAP, "EAP_FAST: invalid/unsupported inner authentication method: leap"},
        {T::EAP_FAST, T::TTLS_MSCHAPV2,
         "EAP_FAST: invalid/unsupported inner authentication method: mschapv2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.outer) + " with " + std::to_string(c.inner));
        AuthenticationMethod outer = AuthenticationMethod::ofType(c.outer);
        markLog();
        outer.addInnerAuthenticationMethod(AuthenticationMethod::ofType(c.inner));
        if (c.refusal == nullptr) {
            EXPECT_THAT(innerTypesOf(outer), ElementsAre(c.inner));
            EXPECT_THAT(logged(), IsEmpty());
        } else {
            EXPECT_THAT(innerTypesOf(outer), IsEmpty());
            EXPECT_THAT(logged(), ElementsAre(c.refusal));
        }
    }
}

TEST_F(AuthenticationMethodTest, EapFastDefaultsAndItsPacSettings) {
    AuthenticationMethod fast = AuthenticationMethod::ofType(T::EAP_FAST);
    EXPECT_FALSE(fast.getUsePac());
    EXPECT_FALSE(fast.getAllowUnauthProvisioning());
    EXPECT_TRUE(fast.getEnablePosture());
    EXPECT_EQ(fast.getTrustedPacsVector().length(), 0);
    fast.setUsePac(true);
    fast.setAllowUnauthProvisioning(true);
    fast.setEnablePosture(false);
    EXPECT_TRUE(fast.getUsePac());
    EXPECT_TRUE(fast.getAllowUnauthProvisioning());
    EXPECT_FALSE(fast.getEnablePosture());
    EXPECT_THAT(takeAssertions(), IsEmpty());
}

TEST_F(AuthenticationMethodTest, WhatOnlyOtherClassesDoIsAFaultOfTheCaller) {
    AuthenticationMethod peap = AuthenticationMethod::ofType(T::EAP_PEAP);
    AuthenticationMethod pap = AuthenticationMethod::ofType(T::TTLS_PAP);
    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"setUsePac", [&] { peap.setUsePac(true); }},
        {"getUsePac", [&] { EXPECT_FALSE(peap.getUsePac()); }},
        {"setAllowUnauthProvisioning", [&] { peap.setAllowUnauthProvisioning(true); }},
        {"getAllowUnauthProvisioning", [&] { EXPECT_FALSE(peap.getAllowUnauthProvisioning()); }},
        {"setTrustedPacsVector", [&] { peap.setTrustedPacsVector(ElementVector::create()); }},
        {"getTrustedPacsVector", [&] { EXPECT_EQ(peap.getTrustedPacsVector().length(), 0); }},
        {"setEnablePosture", [&] { peap.setEnablePosture(true); }},
        {"getEnablePosture", [&] { EXPECT_FALSE(peap.getEnablePosture()); }},
        {"addInnerAuthenticationMethod",
         [&] { AuthenticationMethod::ofType(T::EAP_MD5).addInnerAuthenticationMethod(pap); }},
        {"this->isEapType()", [&] { EXPECT_EQ(pap.eapType(), T::TTLS_PAP); }},
    };
    for (const auto& [assertion, call] : cases) {
        call();
        EXPECT_THAT(takeAssertions(), ElementsAre(assertion));
    }
    EXPECT_EQ(peap.eapType(), T::EAP_PEAP);
    EXPECT_EQ(AuthenticationMethod::ofType(T::EAP_MD5).innerAuthenticationMethods().length(), 0);
}

TEST_F(AuthenticationMethodTest, InnerMethodTypeAndOptions) {
    const std::vector<std::pair<std::int32_t, std::int32_t>> cases = {
        {T::TTLS_CHAP, 1}, {T::TTLS_MSCHAP, 2}, {T::TTLS_MSCHAPV2, 3},
        {T::TTLS_PAP, 4},  {T::EAP_MD5, 5},     {T::EAP_FAST, 5}};
    for (const auto& [type, inner] : cases)
        EXPECT_EQ(AuthenticationMethod::ofType(type).innerMethodType(), inner);

    AuthenticationMethod tls = AuthenticationMethod::ofType(T::EAP_TLS);
    EXPECT_FALSE(tls.getValidateServerCertificate() || tls.getFastReconnect() ||
                 tls.getDisableWhenSmartCard());
    EXPECT_EQ(tls.getCertificateSendingMode(), 0);
    EXPECT_EQ(tls.credentialType(), 0);
    tls.setValidateServerCertificate(true);
    tls.setDisableWhenSmartCard(true);
    tls.setCertificateSendingMode(4);
    tls.setCredentialType(2);
    EXPECT_TRUE(tls.getValidateServerCertificate());
    EXPECT_FALSE(tls.getFastReconnect());
    EXPECT_TRUE(tls.getDisableWhenSmartCard());
    EXPECT_EQ(tls.getCertificateSendingMode(), 4);
    EXPECT_EQ(tls.credentialType(), 2);
}

TEST_F(AuthenticationMethodTest, Default8021xTimers) {
    Settings8021x timers = Settings8021x::create();
    EXPECT_EQ(std::vector<std::int32_t>(
                  {timers.authPeriod(), timers.heldPeriod(), timers.startPeriod(), timers.maxStart()}),
              std::vector<std::int32_t>({30, 60, 30, 3}));
}

TEST_F(AuthenticationMethodTest, TrustedPacsFromAFileOrAStoredText) {
    Bytes file = pacFile(pacTlv(PacParts{}));
    Ascii fileText = ByteArray(file.data(), static_cast<std::int32_t>(file.size())).toBase64();
    PacInfo fromFile = PacInfo::create(fileText, "pac password", false);
    EXPECT_EQ(std::string(fromFile.pac().iid().text()), "alice");
    EXPECT_EQ(fromFile.pac().pacType(), 1);

    PacInfo stored = PacInfo::create(fromFile.pac().storedText().toBase64(), "", true);
    EXPECT_TRUE(stored.isPersistent());
    EXPECT_EQ(std::string(stored.pac().iid().text()), "alice");
    EXPECT_EQ(stored.pac().aid(), fromFile.pac().aid());

    EXPECT_THROW(PacInfo::create(fileText, "wrong password", false), CredentialException);
}

}  // namespace
}  // namespace tamsel::test
