#include <gtest/gtest.h>

#include <string>

#include "tests/vel/xml/XmlConfigurationTestSupport.h"
#include "vel/xml/UserAuthenticationSettings.h"
#include "vel/xml/XmlAuthenticationConversion.h"
#include "vel/xml/XmlMessages.h"

namespace tamsel::test {
namespace {

class UserAuthenticationSettingsTest : public ConfigurationFileTest {
protected:
    Network madeNetwork(std::int32_t type, std::int32_t kind) {
        Network network = Network::create("Made");
        network.setMediaType(AdapterConstants::MEDIA_TYPE_80211);
        createUserAuthenticationSettings(type, kind, network);
        return network;
    }
};

struct SettingsRow {
    std::int32_t type;
    std::int32_t kind;
    const char* user;
    const char* collection;
};

TEST_F(UserAuthenticationSettingsTest, TypeAndCredentialKindGiveMethodsAndIdentityPatterns) {
    const SettingsRow rows[] = {
        {25, 1, "eapPeap[eapMschapv2] credential=1 source=2 identity=[username]|[username] fast=1/0",
         "storage=1 source=0 pin=0 extend=0"},
        {25, 2, "eapPeap[eapTls] credential=2 source=2 identity=[username]|[username] fast=1/0",
         "storage=1 source=3 pin=3 extend=0"},
        {25, 3, "eapPeap[eapGtc] credential=3 source=2 identity=[username]|[username] fast=1/0",
         "storage=1 source=0 pin=0 extend=0"},
        {43, 1,
         "eapFast[eapMschapv2] credential=1 source=2 identity=anonymous|[username] fast=1/0 pac=1/1 "
         "posture=1 pacs=0",
         "storage=1 source=0 pin=0 extend=0"},
        {43, 2,
         "eapFast[eapTls] credential=2 source=2 identity=anonymous|[username] fast=1/0 mode=1 pac=1/1 "
         "posture=1 pacs=0",
         "storage=1 source=3 pin=3 extend=0"},
        {43, 3,
         "eapFast[eapGtc] credential=3 source=2 identity=anonymous|[username] fast=1/0 pac=1/1 posture=1 "
         "pacs=0",
         "storage=1 source=0 pin=0 extend=0"},
        {21, 1, "eapTtls[eapMschapv2] credential=1 source=2 identity=[username]|[username] fast=1/0",
         "storage=1 source=0 pin=0 extend=0"},
        {21, 2, "eapTtls[eapTls] credential=2 source=2 identity=[username]|[username] fast=1/0",
         "storage=1 source=3 pin=3 extend=0"},
        {13, 2, "eapTls credential=2 source=2 identity=[username]|[username] fast=1/0",
         "storage=1 source=3 pin=3 extend=0"},
        {17, 1, "leap credential=1 source=2 identity=[username]|[username] fast=1/0",
         "storage=1 source=0 pin=0 extend=0"},
        {6, 3, "eapGtc credential=3 source=2 identity=[username]|[username] fast=1/0",
         "storage=1 source=0 pin=0 extend=0"},
        {4, 1, "eapMd5 credential=1 source=2 identity=[username]|[username] fast=1/0",
         "storage=1 source=0 pin=0 extend=0"},
        // A kind that is none of the three gives a tunnel no inner method.
        {25, 7, "eapPeap credential=7 source=2 identity=[username]|[username] fast=1/0",
         "storage=1 source=0 pin=0 extend=0"},
    };
    for (const SettingsRow& row : rows) {
        SCOPED_TRACE(std::to_string(row.type) + "/" + std::to_string(row.kind));
        Network network = madeNetwork(row.type, row.kind);
        EXPECT_EQ(describeNetwork(network, "user"), row.user);
        EXPECT_EQ(describeNetwork(network, "collection"), row.collection);
        EXPECT_EQ(describeNetwork(network, "machine"), "none");
        EXPECT_TRUE(network.getFurtherFlag2());
    }
    EXPECT_EQ(logged("We should never get here").size(), 1u);
}

TEST_F(UserAuthenticationSettingsTest, SettingsMadeAgainReplaceTheMethods) {
    Network network = madeNetwork(25, 1);
    createUserAuthenticationSettings(43, 3, network);
    EXPECT_EQ(network.getAuthenticationParameters(AdapterConstants::CONNECTION_USER)
                  .authenticationMethods()
                  .length(),
              1);
    EXPECT_EQ(describeNetwork(network, "user").substr(0, 16), "eapFast[eapGtc] ");
}

TEST_F(UserAuthenticationSettingsTest, ATypeNoMethodHasIsRefused) {
    Network network = Network::create("Made");
    network.setMediaType(AdapterConstants::MEDIA_TYPE_8023);
    EXPECT_EQ(refusalOf([&] { createUserAuthenticationSettings(18, 1, network); }),
              XmlMessages::UNSUPPORTED_EAP_METHOD);
    XmlAuthenticationRecord record = userAuthenticationSettingsRecord(25, 1);
    record.method.innerMethods = {4099};
    // An inner method the tunnel does not take is logged and left out.
    XmlAuthenticationConversion::apply(record, network);
    EXPECT_EQ(describeNetwork(network, "user").substr(0, 8), "eapPeap ");
    EXPECT_EQ(logged("EAP_PEAP: invalid/unsupported inner authentication method: mschapv2").size(), 1u);
}

}  // namespace
}  // namespace tamsel::test
