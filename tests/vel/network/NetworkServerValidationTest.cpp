#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/vel/basevaluessupport/BaseValuesTestSupport.h"
#include "vel/network/NetworkServerValidation.h"

using ::testing::ElementsAreArray;

namespace tamsel::test {
namespace {

using V = NetworkServerValidation;

AsciiVector texts(const std::vector<const char*>& list) {
    AsciiVector out;
    for (const char* text : list) out.add(text);
    return out;
}

struct Rule {
    int kind;
    int how;
    const char* name;
};

struct Row {
    const char* what;
    bool validateOption;
    bool chainIsValid;
    bool anyCa;
    int caAccepting;  // index of the CA the chain reaches, -1 none
    bool anyName;
    std::vector<Rule> rules;
    std::vector<const char*> commonNames;
    std::vector<const char*> domainNames;
    std::vector<const char*> alternativeNames;
    bool valid;
    std::vector<std::string> lines;
};

constexpr int S = V::MATCH_SUBJECT;
constexpr int A = V::MATCH_ALTERNATIVE_NAME;
constexpr int EXACT = V::HOW_EXACTLY;
constexpr int ENDS = V::HOW_ENDS_WITH;
constexpr const char* SUBJECT = "CN=radius.corp.example";

std::vector<std::string> validated() {
    return {std::string("Server certificate validated: ") + SUBJECT};
}

TEST(NetworkServerValidationTest, RulesNamesChainAndCaDecideTheVerdictItsLinesAndTheServerName) {
    const std::string missEnds =
        "Server certificate does not match rule 'Match matchSubject using endsWith and name = corp.example";
    const std::string mismatch = std::string("Server certificate invalid (name mismatch: ") + SUBJECT + ")";
    const std::string validating = std::string("Validating the server: ") + SUBJECT;
    const std::vector<Row> rows = {
        {"no option, no checks",
         false,
         false,
         true,
         -1,
         true,
         {},
         {"radius.corp.example"},
         {},
         {},
         true,
         validated()},
        {"invalid chain",
         true,
         false,
         true,
         -1,
         true,
         {},
         {"radius.corp.example"},
         {},
         {},
         false,
         {validating, "Server certificate chain invalid"}},
        {"valid chain",
         true,
         true,
         true,
         -1,
         true,
         {},
         {"radius.corp.example"},
         {},
         {},
         true,
         {validating, validated()[0]}},
        {"first specific CA reached",
         true,
         true,
         false,
         0,
         true,
         {},
         {"radius.corp.example"},
         {},
         {},
         true,
         {validating, validated()[0]}},
        {"second specific CA reached",
         true,
         true,
         false,
         1,
         true,
         {},
         {"radius.corp.example"},
         {},
         {},
         true,
         {validating, validated()[0]}},
        {"no specific CA reached",
         true,
         true,
         false,
         -1,
         true,
         {},
         {"radius.corp.example"},
         {},
         {},
         false,
         {validating, "Server certificate chain is not trusted"}},
        {"empty rule list",
         false,
         true,
         true,
         -1,
         false,
         {},
         {"radius.corp.example"},
         {},
         {},
         false,
         {"Trusted Server list empty, server can not be validated", mismatch}},
        {"exact subject",
         false,
         true,
         true,
         -1,
         false,
         {{A, EXACT, "x"}, {S, EXACT, "radius.corp.example"}},
         {"radius.corp.example"},
         {},
         {},
         true,
         validated()},
        {"suffix at a label",
         false,
         true,
         true,
         -1,
         false,
         {{S, ENDS, "corp.example"}},
         {"radius.corp.example"},
         {},
         {},
         true,
         validated()},
        {"suffix is the whole name",
         false,
         true,
         true,
         -1,
         false,
         {{S, ENDS, "corp.example"}},
         {"corp.example"},
         {},
         {},
         true,
         validated()},
        {"suffix inside a label",
         false,
         true,
         true,
         -1,
         false,
         {{S, ENDS, "corp.example"}},
         {"evilcorp.example"},
         {},
         {},
         false,
         {missEnds, mismatch}},
        {"name shorter than the rule",
         false,
         true,
         true,
         -1,
         false,
         {{S, ENDS, "corp.example"}},
         {"example"},
         {},
         {},
         false,
         {missEnds, mismatch}},
        {"further subject names",
         false,
         true,
         true,
         -1,
         false,
         {{S, EXACT, "corp.example"}},
         {"radius"},
         {"corp.example"},
         {},
         true,
         {"Server certificate does not match rule 'Match matchSubject using exactly and name = corp.example",
          validated()[0]}},
        {"alternative names",
         false,
         true,
         true,
         -1,
         false,
         {{A, ENDS, "corp.example"}},
         {"other"},
         {},
         {"radius.corp.example"},
         true,
         validated()},
        {"alternative rule ignores subject names",
         false,
         true,
         true,
         -1,
         false,
         {{A, EXACT, "radius.corp.example"}},
         {"radius.corp.example"},
         {},
         {},
         false,
         {mismatch}},
    };
    for (const Row& row : rows) {
        ElementVector methods = ElementVector::create();
        AuthenticationMethod peap = AuthenticationMethod::ofType(25);
        peap.setValidateServerCertificate(row.validateOption);
        methods.add(peap.m);
        ElementVector rules = ElementVector::create();
        for (const Rule& rule : row.rules)
            rules.add(TrustedServerRule::create(rule.kind, rule.how, rule.name).m);
        V::Request request;
        request.methods = methods;
        request.eapTypes = {25};
        request.chainIsValid = row.chainIsValid;
        request.validation =
            CertificateValidationParameters::create(row.anyName, rules, row.anyCa, ElementVector::create());
        request.adapterAttached = true;
        for (int i = 0; i < 2; ++i)
            request.caList.push_back(Certificate::create(ByteArray(std::string(20, char('a' + i)).c_str()),
                                                         CertificateStore::base()));
        std::vector<std::string> asked;
        request.chainsTo = [&](const Certificate& ca) {
            asked.push_back(ca.hash().text());
            return row.caAccepting >= 0 &&
                   ca.hash() == request.caList[static_cast<size_t>(row.caAccepting)].hash();
        };
        request.names.subject = SUBJECT;
        request.names.subjectNames = texts(row.commonNames);
        request.names.furtherSubjectNames = texts(row.domainNames);
        request.names.alternativeNames = texts(row.alternativeNames);
        LogCapture log;
        Ascii serverName;
        EXPECT_EQ(V::validate(request, &serverName), row.valid) << row.what;
        EXPECT_STREQ(serverName.text(), row.valid ? SUBJECT : "Untrusted") << row.what;
        EXPECT_THAT(log.messages(), ElementsAreArray(row.lines)) << row.what;
        // The CAs are tried in order until one takes the chain.
        if (!row.anyCa && row.chainIsValid) {
            EXPECT_EQ(asked.size(), row.caAccepting < 0 ? 2U : static_cast<size_t>(row.caAccepting) + 1)
                << row.what;
        }
    }
}

TEST(NetworkServerValidationTest, TheRequestsEapTypesLeadFromTheTopMethodIntoInnerMethods) {
    ElementVector methods = ElementVector::create();
    AuthenticationMethod ttls = AuthenticationMethod::ofType(21);
    AuthenticationMethod peap = AuthenticationMethod::ofType(25);
    AuthenticationMethod inner = AuthenticationMethod::ofType(26);
    peap.addInnerAuthenticationMethod(inner);
    methods.add(ttls.m);
    methods.add(peap.m);
    EXPECT_EQ(V::methodFor(methods, {25}).m, peap.m);
    EXPECT_EQ(V::methodFor(methods, {25, 26}).m, inner.m);
    // A level without a match keeps what the levels before reached.
    EXPECT_EQ(V::methodFor(methods, {13}).m, ttls.m);
    EXPECT_EQ(V::methodFor(methods, {25, 6}).m, peap.m);
    EXPECT_TRUE(V::methodFor(ElementVector::create(), {25}).isNull());
}

}  // namespace
}  // namespace tamsel::test
