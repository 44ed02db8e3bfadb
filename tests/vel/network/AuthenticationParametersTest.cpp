#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vel/configuration/ConfigurationTestSupport.h"
#include "vel/configuration/AuthenticationMethodClasses.h"
#include "vel/credmgr/CredentialConstants.h"
#include "vel/network/AuthenticationParameters.h"
#include "vel/network/Network.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace tamsel::test {
namespace {

class AuthenticationParametersTest : public ConfigurationTest {
protected:
    AuthenticationParameters parameters = AuthenticationParameters::create();

    void TearDown() override {
        parameters.reset();
        ConfigurationTest::TearDown();
    }
    std::string keyText() { return parameters.getStaticKeyText().text(); }
};

// The text a legacy release kept a key in, under the system's data protection.
ByteArray legacyStoredText(const char* text) {
    ByteArray stored;
    EXPECT_TRUE(Credential::protectText(ByteArray(text), stored));
    return stored;
}

TEST_F(AuthenticationParametersTest, StaticKeysFromPlainAndStoredTexts) {
    const ByteArray ssid("Office");
    const ByteArray hexKey("\x01\x02\x03\x04\x05", 5);
    struct Case {
        const char* name;
        ByteArray text;
        std::int32_t keyType;
        bool stored;
        std::int32_t resultType;  // 0: no key
        std::string resultText;
        bool invalidTypeLine;
    };
    const std::vector<Case> cases = {
        {"plain hex key", hexKey, 1, false, 1, std::string("\x01\x02\x03\x04\x05", 5), false},
        {"plain pass phrase", ByteArray("correct horse"), 2, false, 2, "correct horse", false},
        {"plain key of an unknown type", ByteArray("correct horse"), 3, false, 0, "", true},
        {"stored hex key", Credential::newHexPsk(1, hexKey).storedText(), 1, true, 1,
         std::string("\x01\x02\x03\x04\x05", 5), false},
        {"stored pass phrase", Credential::newAsciiPsk("correct horse", ssid).storedText(), 2, true, 2,
         "correct horse", false},
        {"stored key of an unknown type is a pass phrase",
         Credential::newAsciiPsk("correct horse", ssid).storedText(), 3, true, 2, "correct horse", true},
        {"legacy pass phrase", legacyStoredText("wep/key/psk_asciiBattery staple"), 1, true, 2,
         "Battery staple", false},
        {"legacy hex key", legacyStoredText("a/b/psk_hex0102030405"), 2, true, 1,
         std::string("\x01\x02\x03\x04\x05", 5), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        parameters.releasePasswordOrKeyCredential();
        markLog();
        parameters.setStaticKeyText(c.text, c.keyType, c.stored, ssid);
        EXPECT_EQ(parameters.getStaticKeyType(), c.resultType);
        EXPECT_EQ(keyText(), c.resultText);
        EXPECT_EQ(logged("Invalid key type in distribution package").size(), c.invalidTypeLine ? 1u : 0u);
    }
    parameters.setStaticKey(ByteArray("abcdefgh"), 2);
    EXPECT_EQ(parameters.getStaticKeyType(), 2);
    parameters.setStaticKeyValue(13);
    EXPECT_EQ(parameters.getStaticKeyValue(), 13);
}

TEST_F(AuthenticationParametersTest, WithoutAKeyOrWithAPassword) {
    EXPECT_EQ(keyText(), "");
    EXPECT_EQ(parameters.getStaticKeyType(), 0);
    EXPECT_EQ(parameters.getStaticKeyValue(), 0);
    parameters.setStaticKeyValue(5);
    EXPECT_THAT(takeAssertions(), IsEmpty());
    EXPECT_EQ(std::string(parameters.getPasswordOrKey().text()), "");
    EXPECT_THAT(takeAssertions(), ElementsAre("m->m_passwordOrKey.exists()"));

    parameters.setPassword(false, ByteArray("s3cret"));
    EXPECT_EQ(std::string(parameters.getPasswordOrKey().text()), "s3cret");
    ByteArray stored = parameters.getPasswordOrKeyCredential().credential().storedText();
    takeAssertions();  // a copied holder is read untested here
    parameters.setPassword(true, stored);
    EXPECT_EQ(std::string(parameters.getPasswordOrKey().text()), "s3cret");
    markLog();
    EXPECT_EQ(parameters.getStaticKeyType(), 0);
    std::vector<std::string> lines = logged();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Internal error 165, contact software manufacturer");
    EXPECT_THAT(lines[1], HasSubstr("getStaticKeyType: invalid key type [AuthenticationParameters.cpp:"));
}

TEST_F(AuthenticationParametersTest, PacsByTheirType) {
    Credential tunnel =
        Credential::newPac(ByteArray("k"), ByteArray("o"), ByteArray("aid"), "iid", "info", {}, 1);
    Credential machine =
        Credential::newPac(ByteArray("k"), ByteArray("o"), ByteArray("aid"), "iid", "info", {}, 2);
    parameters.setPac(tunnel);
    parameters.setPac(machine);
    CredentialProxy held = parameters.getPac(1);
    ASSERT_TRUE(held.exists());
    EXPECT_EQ(held.credential(), tunnel);
    held = parameters.getPac(2);
    ASSERT_TRUE(held.exists());
    EXPECT_EQ(held.credential(), machine);
    EXPECT_FALSE(parameters.getPac(3).exists());
    parameters.releasePac(3);
    parameters.releasePac(1);
    EXPECT_FALSE(parameters.getPac(1).exists());
    EXPECT_TRUE(parameters.getPac(2).exists());
}

TEST_F(AuthenticationParametersTest, IdentitiesFromThePatterns) {
    parameters.setUnprotectedIdentityPattern("anonymous");
    parameters.setProtectedIdentityPattern("[username]");
    EXPECT_EQ(std::string(parameters.unprotectedIdentity().identity().text()), "anonymous");
    EXPECT_EQ(std::string(parameters.protectedIdentity().identity().text()), "[username]");

    parameters.setIdentity(Credential::newIdentity("alice@corp.example"));
    parameters.setUnprotectedIdentityPattern("[username]@[domain]");
    EXPECT_EQ(std::string(parameters.unprotectedIdentity().identity().text()), "alice@corp.example");
    EXPECT_EQ(std::string(parameters.protectedIdentity().identity().text()), "alice");
    parameters.releaseIdentity();
    EXPECT_FALSE(parameters.getIdentity().exists());
}

TEST_F(AuthenticationParametersTest, MethodsAndUnauthenticatedProvisioning) {
    using T = AuthenticationTypeConstants;
    parameters.addAuthenticationMethod(AuthenticationMethod::ofType(T::TTLS_PAP));
    EXPECT_THAT(takeAssertions(), ElementsAre("authenticationMethod.isEapType()"));
    EXPECT_EQ(parameters.authenticationMethods().length(), 0);

    AuthenticationMethod fast = AuthenticationMethod::ofType(T::EAP_FAST);
    parameters.addAuthenticationMethod(fast);
    parameters.addAuthenticationMethod(AuthenticationMethod::ofType(T::EAP_PEAP));
    EXPECT_EQ(parameters.authenticationMethodAt(0), fast);
    EXPECT_FALSE(parameters.isFastUnauthProvisioning());
    fast.setUsePac(true);
    EXPECT_FALSE(parameters.isFastUnauthProvisioning()) << "both options are needed";
    fast.setAllowUnauthProvisioning(true);
    EXPECT_TRUE(parameters.isFastUnauthProvisioning());

    parameters.clearAuthenticationMethods();
    parameters.addAuthenticationMethod(AuthenticationMethod::ofType(T::EAP_PEAP));
    EXPECT_FALSE(parameters.isFastUnauthProvisioning());
    EXPECT_THAT(
        takeAssertions(),
        ElementsAre("topAuthMethod.getAuthenticationType() == AdapterConstants::AUTHENTICATION_EAP_FAST"));
}

TEST_F(AuthenticationParametersTest, ANetworkBindsItsPassPhrasesToItsSsid) {
    Network network = makeNetwork("Office", AdapterConstants::MEDIA_TYPE_80211);
    AuthenticationParameters user = network.getAuthenticationParameters(AdapterConstants::CONNECTION_USER);
    AuthenticationParameters machine =
        network.getAuthenticationParameters(AdapterConstants::CONNECTION_MACHINE);
    EXPECT_NE(user, machine);
    user.setAsciiPsk("correct horse");
    machine.setPassword(false, ByteArray("machine secret"));
    network.setSsid(ByteArray("OfficeNet"));

    Ascii plain;
    ASSERT_TRUE(
        Credential::decryptToText(user.getPasswordOrKeyCredential().credential().storedText(), plain));
    takeAssertions();
    EXPECT_NE(std::string(plain.text(), plain.length()).find("OfficeNet"), std::string::npos);
    EXPECT_EQ(std::string(user.getStaticKeyText().text()), "correct horse");
    EXPECT_EQ(std::string(machine.getPasswordOrKey().text()), "machine secret");

    network.getAuthenticationParameters(3);
    EXPECT_THAT(takeAssertions(), ElementsAre("connType == AdapterConstants::CONNECTION_USER || connType == "
                                              "AdapterConstants::CONNECTION_MACHINE"));
}

}  // namespace
}  // namespace tamsel::test
