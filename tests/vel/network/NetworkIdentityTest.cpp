#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vel/basevaluessupport/BaseValuesTestSupport.h"
#include "vel/configuration/AuthenticationMethod.h"
#include "vel/network/NetworkIdentity.h"

using ::testing::ElementsAreArray;

namespace tamsel::test {
namespace {

using I = NetworkIdentity;

// A top method of the type and credential kind, with one inner method when inner is not 0.
ElementVector methods(int top, int kind, int inner = 0) {
    ElementVector list = ElementVector::create();
    if (top == 0) return list;
    AuthenticationMethod method = AuthenticationMethod::ofType(top);
    method.setCredentialType(kind);
    if (inner != 0) method.addInnerAuthenticationMethod(AuthenticationMethod::ofType(inner));
    list.add(method.m);
    return list;
}

TEST(NetworkIdentityTest, QueriesOnTheTopMethod) {
    EXPECT_EQ(I::topCredentialKind(methods(25, 1, 26)), 1);
    EXPECT_EQ(I::topType(methods(25, 1, 26)), 25);
    EXPECT_EQ(I::innermostType(methods(25, 1, 26)), 26);
    EXPECT_EQ(I::innermostType(methods(13, 2)), 13);
    EXPECT_EQ(I::topCredentialKind(methods(0, 0)), 0);
    EXPECT_EQ(I::innermostType(methods(0, 0)), 0);
}

TEST(NetworkIdentityTest, ConfigurationCoherence) {
    const struct {
        const char* what;
        int top, kind, inner;
        int connectionType, allowed, source;
        bool coherent;
    } rows[] = {
        {"no methods", 0, 0, 0, 1, 2, 0, true},
        {"user password from the GUI", 25, 1, 26, 2, 2, 2, true},
        {"machine password from the profile", 25, 1, 26, 1, 3, 1, true},
        {"machine certificate of the machine", 13, 2, 0, 1, 1, 6, true},
        {"token from the GUI", 25, 3, 6, 2, 2, 2, true},
        {"token from the logon", 25, 3, 6, 2, 2, 3, false},
        {"TTLS without inner method", 21, 1, 0, 2, 2, 2, false},
        {"TTLS with PAP", 21, 1, 4100, 2, 3, 2, true},
        {"password kind on TLS", 13, 1, 0, 2, 2, 2, false},
        {"certificate kind on MSCHAPv2", 25, 2, 26, 2, 2, 2, false},
        {"machine connection on a user-only network", 25, 1, 26, 1, 2, 1, false},
        {"machine connection from the GUI", 25, 1, 26, 1, 3, 2, false},
        {"user connection from the machine", 25, 1, 26, 2, 3, 6, false},
        {"no connection yet, machine-only rule", 25, 1, 26, 0, 1, 2, false},
        {"no connection yet, both allowed", 25, 1, 26, 0, 3, 2, true},
        {"unknown connection type", 25, 1, 26, 5, 3, 2, false},
        {"user password without a source", 25, 1, 26, 0, 3, 0, false},
    };
    for (const auto& row : rows) {
        I::Configuration configuration{methods(row.top, row.kind, row.inner), row.connectionType, row.allowed,
                                       row.source};
        EXPECT_EQ(I::isCoherent(configuration), row.coherent) << row.what;
    }
}

I::Candidate candidate(const char* hash, bool usable = true, bool smartCard = false, bool keyLoaded = false) {
    I::Candidate c;
    c.hash = hash;
    c.name = std::string("name-").append(hash).c_str();
    c.usable = usable;
    c.smartCard = smartCard;
    c.privateKeyLoaded = keyLoaded;
    c.storeName = "Alice card";
    return c;
}

TEST(NetworkIdentityTest, CollectionStepSaysWhatToAskFor) {
    const struct {
        const char* what;
        int kind, source, connectionType;
        bool session;
        bool identity, password;
        std::vector<I::Candidate> certificates;
        const char* credentialHash;
        bool pin;
        int result;
        int selected;
        bool release;
        std::vector<std::string> lines;
    } rows[] = {
        {"profile source", 1, 1, 2, true, false, false, {}, "", false, 1, -1, false, {}},
        {"machine connection", 1, 2, 1, true, false, false, {}, "", false, 1, -1, false, {}},
        {"no user session, GUI", 1, 2, 2, false, false, false, {}, "", false, 1, -1, false, {}},
        {"no user session, logon", 1, 3, 2, false, false, false, {}, "", false, 2, -1, false, {}},
        {"password missing", 1, 2, 2, true, true, false, {}, "", false, 2, -1, false, {}},
        {"password held", 1, 2, 2, true, true, true, {}, "", false, 1, -1, false, {}},
        {"token without identity", 3, 2, 2, true, false, true, {}, "", false, 2, -1, false, {}},
        {"token with identity", 3, 2, 2, true, true, false, {}, "", false, 1, -1, false, {}},
        {"no certificates",
         2,
         2,
         2,
         true,
         false,
         false,
         {},
         "",
         false,
         1,
         -1,
         false,
         {"Number of user certificates available: 0"}},
        {"certificates from the logon",
         2,
         3,
         2,
         true,
         false,
         false,
         {candidate("aa")},
         "",
         false,
         4,
         -1,
         false,
         {"Number of user certificates available: 1", "Requesting SmartCard PIN from logon"}},
        {"one certificate",
         2,
         2,
         2,
         true,
         false,
         false,
         {candidate("aa")},
         "",
         false,
         1,
         0,
         false,
         {"Number of user certificates available: 1", "Only one user certificate aa(name-aa) is available"}},
        {"several, none chosen",
         2,
         2,
         2,
         true,
         false,
         false,
         {candidate("aa"), candidate("bb")},
         "",
         false,
         3,
         -1,
         false,
         {"Number of user certificates available: 2", "User certificate has not been selected yet"}},
        {"several, chosen",
         2,
         2,
         2,
         true,
         false,
         false,
         {candidate("aa"), candidate("bb")},
         "bb",
         false,
         1,
         1,
         false,
         {"Number of user certificates available: 2"}},
        {"several, chosen one gone",
         2,
         2,
         2,
         true,
         false,
         false,
         {candidate("aa"), candidate("bb")},
         "cc",
         false,
         3,
         -1,
         true,
         {"Number of user certificates available: 2", "Preselected user certificate cc is not available"}},
        {"one unusable",
         2,
         2,
         2,
         true,
         false,
         false,
         {candidate("aa", false)},
         "",
         false,
         1,
         0,
         false,
         {"Number of user certificates available: 1", "Only one user certificate aa(name-aa) is available",
          "User certificate aa is unusable"}},
        {"chosen unusable among several",
         2,
         2,
         2,
         true,
         false,
         false,
         {candidate("aa", false), candidate("bb")},
         "aa",
         false,
         3,
         0,
         false,
         {"Number of user certificates available: 2", "User certificate aa is unusable"}},
        {"card without PIN",
         2,
         2,
         2,
         true,
         false,
         false,
         {candidate("aa", true, true)},
         "",
         false,
         4,
         0,
         false,
         {"Number of user certificates available: 1", "Only one user certificate aa(name-aa) is available",
          "Requesting SmartCard (Alice card) PIN from user"}},
        {"card with PIN",
         2,
         2,
         2,
         true,
         false,
         false,
         {candidate("aa", true, true)},
         "",
         true,
         1,
         0,
         false,
         {"Number of user certificates available: 1", "Only one user certificate aa(name-aa) is available"}},
        {"card with its key loaded",
         2,
         2,
         2,
         true,
         false,
         false,
         {candidate("aa", true, true, true)},
         "",
         false,
         1,
         0,
         false,
         {"Number of user certificates available: 1", "Only one user certificate aa(name-aa) is available"}},
    };
    for (const auto& row : rows) {
        I::Collection c;
        c.kind = row.kind;
        c.source = row.source;
        c.connectionType = row.connectionType;
        c.userSessionExists = row.session;
        c.hasIdentity = row.identity;
        c.hasPasswordOrKey = row.password;
        c.certificates = row.certificates;
        c.certificateCredentialHash = row.credentialHash;
        c.hasPin = row.pin;
        LogCapture log;
        I::Outcome outcome = I::collect(c);
        EXPECT_EQ(outcome.result, row.result) << row.what;
        EXPECT_EQ(outcome.selected, row.selected) << row.what;
        EXPECT_EQ(outcome.releaseCertificateCredential, row.release) << row.what;
        EXPECT_THAT(log.messages(), ElementsAreArray(row.lines)) << row.what;
    }
}

TEST(NetworkIdentityTest, AComputersDnsNameBecomesAnIdentityAtItsFirstDot) {
    EXPECT_STREQ(I::identityFromDnsName("host.corp.example").text(), "host@corp.example");
    EXPECT_STREQ(I::identityFromDnsName("host").text(), "host");
    EXPECT_STREQ(I::identityFromDnsName("").text(), "");
}

}  // namespace
}  // namespace tamsel::test
