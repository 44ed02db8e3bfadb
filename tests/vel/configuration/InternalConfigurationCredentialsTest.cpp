#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vel/configuration/ConfigurationTestSupport.h"
#include "tests/vel/xml/XmlTestSupport.h"
#include "vel/configuration/InternalConfigurationCredentials.h"
#include "vel/credmgr/Credential.h"
#include "vel/credmgr/CredentialConstants.h"

namespace tamsel::test {
namespace {

using T = CredentialConstants;
using C = AdapterConstants;

// What a network's user parameters and saved PACs hold: "password=…", "identity=…", "pin=…",
// "key=<type>", "certificate=<hex>", "pacs=<n>".
std::vector<std::string> slotsOf(const Network& network) {
    std::vector<std::string> slots;
    AuthenticationParameters user = network.getAuthenticationParameters(C::CONNECTION_USER);
    CredentialProxy secret = user.getPasswordOrKeyCredential();
    if (secret.exists()) {
        Credential held = secret.credential();
        slots.push_back(held.type() == T::TYPE_PASSWORD ? "password=" + str(held.password())
                                                        : "key=" + std::to_string(held.type()));
    }
    if (CredentialProxy identity = user.getIdentity(); identity.exists())
        slots.push_back("identity=" + str(identity.credential().identity()));
    if (CredentialProxy pin = user.getSmartCardPin(); pin.exists())
        slots.push_back("pin=" + str(pin.credential().pin()));
    if (CredentialProxy certificate = user.getCertificateCredential(); certificate.exists())
        slots.push_back("certificate=" + str(certificate.credential().certificateHash().toHex()));
    slots.push_back("pacs=" + std::to_string(network.getSavedPacs().length()));
    return slots;
}

Credential pac(std::int32_t type) {
    return Credential::newPac(ByteArray("k"), ByteArray("o"), ByteArray("aid"), "iid", "info", {}, type);
}

class InternalConfigurationCredentialsTest : public ConfigurationTest {};

// Each kind of stored credential goes back into its own slot; the PACs become the saved list.
TEST_F(InternalConfigurationCredentialsTest, EveryKindIsRestoredIntoItsSlot) {
    struct Row {
        const char* label;
        std::vector<Credential> credentials;
        std::vector<std::string> slots;
    };
    const std::vector<Row> rows = {
        {"password and identity",
         {Credential::newIdentity("alice"), Credential::newPassword("pass-1")},
         {"password=pass-1", "identity=alice", "pacs=0"}},
        {"PIN and certificate",
         {Credential::newPin("1234"), Credential::newCertificate(ByteArray("\x0a\x0b", 2))},
         {"pin=1234", "certificate=0a0b", "pacs=0"}},
        {"ASCII key", {Credential::newAsciiPsk("correct horse", ByteArray("corp"))}, {"key=3", "pacs=0"}},
        {"hex key", {Credential::newHexPsk(1, ByteArray("0123456789abc"))}, {"key=4", "pacs=0"}},
        {"two PACs", {pac(1), pac(2)}, {"pacs=2"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        Network network = makeNetwork("Desk");
        std::vector<ByteArray> stored;
        for (const Credential& credential : row.credentials) stored.push_back(credential.storedText());
        InternalConfigurationCredentials::restoreNetwork(network, stored);
        EXPECT_EQ(slotsOf(network), row.slots);
    }

    // A text of no known kind is passed over; the others still count.
    markLog();
    Network network = makeNetwork("Desk");
    InternalConfigurationCredentials::restoreNetwork(network,
                                                     {ByteArray("not a stored text"), pac(1).storedText()});
    EXPECT_EQ(slotsOf(network), (std::vector<std::string>{"pacs=1"}));
    EXPECT_EQ(logged("Unknown credential type").size(), 1u);
}

// What is saved of a network: its typed-in credentials only when they come from the user and are
// kept for good (the PIN by its own setting), always its PACs.
TEST_F(InternalConfigurationCredentialsTest, OnlyCredentialsKeptForGoodAreCollected) {
    struct Row {
        const char* label;
        std::int32_t connectionTypes;
        std::int32_t credentialType;
        std::int32_t storage;
        std::int32_t pinStorage;
        std::vector<std::string> slotsAfterRestore;
    };
    const std::vector<Row> rows = {
        {"user, kept for good", 3, 2, 1, 3, {"password=pass-1", "identity=alice", "pacs=1"}},
        {"PIN kept too", 2, 2, 1, 1, {"password=pass-1", "identity=alice", "pin=1234", "pacs=1"}},
        {"kept until logout", 3, 2, 2, 1, {"pacs=1"}},
        {"from the profile", 3, 1, 1, 1, {"pacs=1"}},
        {"machine only", 1, 2, 1, 1, {"pacs=1"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        Network network = makeNetwork("Desk");
        network.setConnectionTypes(row.connectionTypes);
        network.setCredentialStorage(row.storage);
        network.setSmartCardPinStorage(row.pinStorage);
        AuthenticationParameters user = network.getAuthenticationParameters(C::CONNECTION_USER);
        user.setCredentialType(row.credentialType);
        user.setIdentity(Credential::newIdentity("alice"));
        user.setPasswordOrKeyCredential(Credential::newPassword("pass-1"));
        user.setSmartCardPin(Credential::newPin("1234"));
        network.getSavedPacs().add(pac(1).m);

        ElementVector networks = ElementVector::create();
        networks.add(network.m);
        std::vector<XmlCredentialsNetwork> collected =
            InternalConfigurationCredentials::collectCredentials(networks, false);
        ASSERT_EQ(collected.size(), 1u);
        Network restored = makeNetwork("Desk");
        InternalConfigurationCredentials::restoreNetwork(restored, collected[0].impl()->m_credentials);
        EXPECT_EQ(slotsOf(restored), row.slotsAfterRestore);
    }
}

}  // namespace
}  // namespace tamsel::test
