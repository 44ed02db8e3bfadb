#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/vel/basevaluessupport/BaseValuesTestSupport.h"
#include "vel/configuration/AuthenticationMethod.h"
#include "vel/network/NetworkEapFastPacs.h"
#include "vel/network/NetworkFastReauthentication.h"

using ::testing::ElementsAreArray;

namespace tamsel::test {
namespace {

using P = NetworkEapFastPacs;

TEST(NetworkEapFastPacsTest, PacTypesFollowTheAllowedConnectionsAndWhatIsStored) {
    const struct {
        const char* what;
        bool usesPac;
        int allowed, connection;
        bool machinePacForUser;
        std::set<int> stored;
        std::vector<std::int32_t> types;
        const char* line;
    } rows[] = {
        {"user only, nothing stored", true, 2, 2, false, {}, {1}, "Requesting Tunnel PAC"},
        {"user only, tunnel stored", true, 2, 2, false, {1}, {}, "No PACs requested"},
        {"machine only", true, 1, 1, false, {}, {1, 2}, "Requesting Tunnel and machine PAC"},
        {"both, machine connection, tunnel stored",
         true,
         3,
         1,
         false,
         {1},
         {2},
         "Requesting just a machine PAC"},
        {"both, machine connection, machine stored",
         true,
         3,
         1,
         false,
         {2},
         {1},
         "Requesting just a Tunnel PAC"},
        {"both, machine connection, all stored", true, 3, 1, false, {1, 2}, {}, "Requesting no PACs now"},
        {"both, user connection", true, 3, 2, false, {}, {1}, "Requesting Tunnel PAC"},
        {"both, user connection after a FAST machine",
         true,
         3,
         2,
         true,
         {},
         {1, 2},
         "Requesting Tunnel and machine PAC"},
        {"top method without PACs", false, 3, 1, false, {}, {}, "Not requesting any PACs at this time"},
        {"unexpected connection types", true, 0, 1, false, {}, {}, "Unexpected connectionType"},
    };
    for (const auto& row : rows) {
        P::TypesQuery query;
        query.topUsesPac = row.usesPac;
        query.allowedConnectionTypes = row.allowed;
        query.connectionType = row.connection;
        query.machinePacForUser = row.machinePacForUser;
        query.stored = [&](std::int32_t type) { return row.stored.count(type) > 0; };
        LogCapture log;
        EXPECT_THAT(P::typesToRequest(query), ElementsAreArray(row.types)) << row.what;
        EXPECT_TRUE(log.contains(row.line)) << row.what << "\n" << log.text();
    }
}

TEST(NetworkEapFastPacsTest, AStoredPacIsFoundByTypeAuthorityAndIdentity) {
    ElementVector saved = ElementVector::create();
    PacLifetime lifetime;
    ByteArray aid("aid-1");
    Credential tunnel =
        Credential::newPac(ByteArray("key"), ByteArray("opaque"), aid, "alice", "", lifetime, P::TUNNEL);
    Credential machine =
        Credential::newPac(ByteArray("key"), ByteArray("opaque"), aid, "host", "", lifetime, P::MACHINE);
    saved.add(tunnel.m);
    saved.add(machine.m);
    CredentialProxy found = P::find(saved, P::TUNNEL, aid, "alice");
    ASSERT_TRUE(found.exists());
    EXPECT_EQ(found.credential().m, tunnel.m);
    EXPECT_FALSE(P::find(saved, P::MACHINE, aid, "alice").exists());
    EXPECT_FALSE(P::find(saved, P::TUNNEL, ByteArray("aid-2"), "alice").exists());
    EXPECT_TRUE(P::find(saved, P::MACHINE, aid, "host").exists());
}

ElementVector fastReconnectMethods(std::initializer_list<std::pair<int, bool>> list,
                                   bool disableWithCard = false) {
    ElementVector methods = ElementVector::create();
    for (const auto& [type, fast] : list) {
        AuthenticationMethod method = AuthenticationMethod::ofType(type);
        method.setFastReconnect(fast);
        method.setDisableWhenSmartCard(disableWithCard);
        methods.add(method.m);
    }
    return methods;
}

TEST(NetworkEapFastPacsTest, FastReauthenticationNeedsTheFirstAllowingMethodToBeTheLastNegotiated) {
    const struct {
        const char* what;
        ElementVector methods;
        int lastType;
        bool smartCard;
        bool enabled;
        std::vector<std::string> lines;
    } rows[] = {
        {"same method",
         fastReconnectMethods({{25, true}}),
         25,
         false,
         true,
         {"Fast reauthentication enabled in profile", "Fast reauthentication enabled for current session"}},
        {"first authentication",
         fastReconnectMethods({{25, true}}),
         4,
         false,
         false,
         {"Fast reauthentication enabled in profile",
          "Fast reauthentication disabled for first authentication",
          "Fast reauthentication disabled for current session"}},
        {"second method allows",
         fastReconnectMethods({{21, false}, {25, true}}),
         25,
         false,
         true,
         {"Fast reauthentication disabled in profile", "Fast reauthentication enabled in profile",
          "Fast reauthentication enabled for current session"}},
        {"smart card in use",
         fastReconnectMethods({{25, true}}, true),
         25,
         true,
         false,
         {"Fast reauthentication disabled in profile", "Fast reauthentication disabled for current session"}},
        {"no methods",
         ElementVector::create(),
         25,
         false,
         false,
         {"Fast reauthentication disabled for current session"}},
    };
    for (const auto& row : rows) {
        LogCapture log;
        EXPECT_EQ(NetworkFastReauthentication::decide(row.methods, row.lastType, row.smartCard), row.enabled)
            << row.what;
        EXPECT_THAT(log.messages(), ElementsAreArray(row.lines)) << row.what;
    }
}

}  // namespace
}  // namespace tamsel::test
