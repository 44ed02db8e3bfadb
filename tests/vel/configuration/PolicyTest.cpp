#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vel/configuration/ConfigurationTestSupport.h"
#include "vel/configuration/AuthenticationMethod.h"
#include "vel/configuration/AuthenticationMethodClasses.h"
#include "vel/configuration/Configuration.h"
#include "vel/configuration/EapMethod.h"
#include "vel/configuration/Policy.h"
#include "vel/network/Association.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace tamsel::test {
namespace {

const char* const MODE_LINE = "Disallowed element in configuration: Association mode: ";

class PolicyTest : public ConfigurationTest {
protected:
    static Policy policyAllowing(std::initializer_list<Association> modes,
                                 std::initializer_list<std::int32_t> eap) {
        Policy policy = Policy::create();
        for (const Association& mode : modes) policy.networkPolicy().allowedAssociationModes().add(mode.m);
        for (std::int32_t type : eap)
            policy.networkPolicy().allowedEapMethods().add(EapMethod::create(type).m);
        return policy;
    }
    static Network wifi(const char* name, std::int32_t mode, std::int32_t encryption, std::int32_t origin,
                        bool is8021x) {
        Network network = makeNetwork(name, AdapterConstants::MEDIA_TYPE_80211);
        network.setAssociationMode(mode);
        network.setEncryption(encryption);
        network.setOrigin(origin);
        network.setFlagB(is8021x);
        return network;
    }
};

TEST_F(PolicyTest, AssociationModesAndTheTwoKindsOfWep) {
    constexpr std::int32_t USER = NetworkImpl::ORIGIN_USER, ADMIN = NetworkImpl::ORIGIN_ADMINISTRATOR;
    Policy staticOnly = policyAllowing({Association::create(1, 2, false), Association::create(8, 4)}, {});
    Policy dynamicOnly = policyAllowing({Association::create(1, 2, true)}, {});
    struct Case {
        const char* name;
        const Policy& policy;
        Network network;
        const char* refusedAs;  // null: allowed
    };
    const std::vector<Case> cases = {
        {"a user's static WEP network, static allowed", staticOnly, wifi("n", 1, 2, USER, false), nullptr},
        {"a user's dynamic WEP network, static allowed", staticOnly, wifi("n", 1, 2, USER, true),
         "open1xDynamicWep"},
        {"a user's static WEP network, dynamic allowed", dynamicOnly, wifi("n", 1, 2, USER, false),
         "openStaticWep"},
        {"a user's dynamic WEP network, dynamic allowed", dynamicOnly, wifi("n", 1, 2, USER, true), nullptr},
        // A signed administrator's file is checked by the pair alone, as it always was.
        {"an administrator's dynamic WEP network, static allowed", staticOnly, wifi("n", 1, 2, ADMIN, true),
         nullptr},
        {"an administrator's static WEP network, dynamic allowed", dynamicOnly, wifi("n", 1, 2, ADMIN, false),
         nullptr},
        {"WPA2 enterprise allowed", staticOnly, wifi("n", 8, 4, USER, true), nullptr},
        {"WPA2 enterprise not allowed", dynamicOnly, wifi("n", 8, 4, ADMIN, true), "wpa2EnterpriseAes"},
        {"a pair without a name", dynamicOnly, wifi("n", 0, 1, USER, false), "(0, 1)"},
        {"a wired network needs no mode", dynamicOnly, makeNetwork("wired"), nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        markLog();
        EXPECT_EQ(c.policy.checkNetworkAgainstPolicy(c.network), c.refusedAs == nullptr);
        if (c.refusedAs == nullptr) {
            EXPECT_THAT(logged(), IsEmpty());
        } else {
            EXPECT_THAT(logged(), ElementsAre(MODE_LINE + std::string(c.refusedAs)));
        }
        EXPECT_TRUE(Configuration::create("c").impl()->checkNetworkAgainstPolicy(c.policy, c.network) ==
                    (c.refusedAs == nullptr));
    }
}

TEST_F(PolicyTest, EveryMethodIsTestedAndEachRefusalLogged) {
    Policy none = policyAllowing({}, {});
    ElementVector methods = ElementVector::create();
    for (std::int32_t type : {AuthenticationTypeConstants::EAP_PEAP, AuthenticationTypeConstants::EAP_TLS}) {
        methods.add(AuthenticationMethod::ofType(type).m);
    }
    EXPECT_FALSE(none.areMethodsAllowed(methods));
    EXPECT_THAT(logged(), ElementsAre("Disallowed element in configuration: EAP method: eapPeap",
                                      "Disallowed element in configuration: EAP method: eapTls"));

    Policy peapOnly = policyAllowing({}, {AuthenticationTypeConstants::EAP_PEAP});
    markLog();
    EXPECT_FALSE(peapOnly.areMethodsAllowed(methods));
    EXPECT_TRUE(
        peapOnly.isMethodAllowed(AuthenticationMethod::ofType(AuthenticationTypeConstants::EAP_PEAP)));
    EXPECT_FALSE(peapOnly.isEapMethodAllowed(99));
    EXPECT_THAT(logged(), ElementsAre("Disallowed element in configuration: EAP method: eapTls",
                                      "Disallowed element in configuration: EAP method: 99"));
    EXPECT_TRUE(peapOnly.areMethodsAllowed(ElementVector::create()));
}

TEST_F(PolicyTest, TheMethodsOfEachConnectionTypeTheNetworkAllows) {
    using T = AuthenticationTypeConstants;
    Policy peapOnly = policyAllowing({}, {T::EAP_PEAP});
    Network network = makeNetwork("wired");
    // A top method that is allowed passes whatever runs inside it.
    AuthenticationMethod peap = AuthenticationMethod::ofType(T::EAP_PEAP);
    peap.addInnerAuthenticationMethod(AuthenticationMethod::ofType(T::EAP_TLS));
    network.getAuthenticationParameters(AdapterConstants::CONNECTION_USER).addAuthenticationMethod(peap);
    network.getAuthenticationParameters(AdapterConstants::CONNECTION_MACHINE)
        .addAuthenticationMethod(AuthenticationMethod::ofType(T::EAP_TLS));
    struct Case {
        std::int32_t connectionTypes;
        bool allowed;
    };
    for (Case c : {Case{0, true}, Case{1, false}, Case{2, true}, Case{3, false}}) {
        network.setConnectionTypes(c.connectionTypes);
        markLog();
        EXPECT_EQ(peapOnly.checkNetworkAgainstPolicy(network), c.allowed) << c.connectionTypes;
        EXPECT_EQ(logged().size(), c.allowed ? 0u : 1u) << c.connectionTypes;
    }
}

TEST_F(PolicyTest, DuplicateNames) {
    Policy any = policyAllowing({}, {});
    NetworkGroup twice = makeGroup("Office", {makeNetwork("x"), makeNetwork("y"), makeNetwork("x")});
    EXPECT_FALSE(any.checkGroupNetworks(twice));
    NetworkGroup thrice = makeGroup("Home", {makeNetwork("x"), makeNetwork("x"), makeNetwork("x")});
    EXPECT_FALSE(any.checkGroupNetworks(thrice));
    EXPECT_THAT(logged(), ElementsAre("Duplicate network name: x", "Duplicate network name: x",
                                      "Duplicate network name: x"));

    Configuration configuration = Configuration::create("UserConfiguration");
    ElementVector groups = ElementVector::create();
    for (const char* name : {"A", "B", "A"}) groups.add(makeGroup(name, {makeNetwork("n")}).m);
    markLog();
    EXPECT_FALSE(configuration.validateNames(groups));
    EXPECT_THAT(logged(), ElementsAre("Duplicate group name: A"));
    EXPECT_TRUE(configuration.validate()) << "a configuration without groups";
    configuration.addGroup(makeGroup("A", {makeNetwork("n"), makeNetwork("m")}));
    EXPECT_TRUE(configuration.validate());
}

}  // namespace
}  // namespace tamsel::test
