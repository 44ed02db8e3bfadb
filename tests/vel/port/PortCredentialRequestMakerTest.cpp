#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "tests/vel/port/CredentialTestSupport.h"
#include "tests/vel/port/RequestMakerPortTest.h"
#include "vel/credrequest/CredentialRequest.h"

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

namespace tamsel::test {
namespace {

// Answers a PEAP conversation through the engine's credential requests, trusting the server when
// the library found its chain valid.
class RequestResponderImpl : public RecordingResponderImpl {
public:
    static CredentialRequest of(const Reference& r) {
        CredentialRequest request = CredentialRequest::of(r);
        EXPECT_FALSE(request.isNull());
        return request;
    }
    void requestSessionStart(const Reference& r, std::int32_t eapMethod) override {
        RecordingResponderImpl::requestSessionStart(r, eapMethod);
        of(r)->sendSessionStart(true, CertificateStore());
        of(r)->complete(true);
    }
    void requestIdentity(const Reference& r, std::int32_t level, std::int32_t value, bool flag,
                         const Ascii& prompt) override {
        RecordingResponderImpl::requestIdentity(r, level, value, flag, prompt);
        of(r)->sendIdentity(Credential::newIdentity("alice"));
        of(r)->complete(true);
    }
    void requestEapMethods(const Reference& r, const std::vector<std::int32_t>& types) override {
        RecordingResponderImpl::requestEapMethods(r, types);
        of(r)->sendEapMethods({types.back()});
        of(r)->complete(true);
    }
    void requestServerVerify(const Reference& r, QX_HANDLE certificate,
                             const std::vector<std::int32_t>& types, std::int32_t chainIsValid) override {
        RecordingResponderImpl::requestServerVerify(r, certificate, types, chainIsValid);
        of(r)->sendServerVerified(chainIsValid == 1);
        of(r)->complete(true);
    }
    void requestPassword(const Reference& r, const Ascii& prompt,
                         const std::vector<std::int32_t>& types) override {
        RecordingResponderImpl::requestPassword(r, prompt, types);
        // Let go unanswered: the request completes as "no response sent" with its last release.
        if (!answerPassword) {
            requests.pop_back();
            return;
        }
        of(r)->sendPassword(Credential::newPassword("secret"));
        of(r)->complete(true);
    }

    bool answerPassword = true;
};

struct Case {
    const char* what;
    const char* caStore;  // where the server's CA is: the user's stores are not the machine's
    bool answerPassword;
    const char* chainLine;  // what the responder heard of the server
    const char* outcome;
    const char* completion;  // the last request's completion line
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.what;
}

class PortCredentialRequestMakerTest : public RequestMakerPortTest, public testing::WithParamInterface<Case> {
protected:
    void TearDown() override {
        if (responder != nullptr) {
            onEngine([this] { responder->requests.clear(); });
            responder->release();
        }
        RequestMakerPortTest::TearDown();
    }

    RequestResponderImpl* responder = nullptr;
};

TEST_P(PortCredentialRequestMakerTest, RequestsAnswerThroughThePortManagerWithTheMachineStores) {
    const Case& c = GetParam();
    writeServerCertificates(root);
    LabBuilder builder = peapLab(c.caStore, {{"answerTimeoutMs", "5000"}});
    startLab(builder);
    makeManager(1);
    responder = new RequestResponderImpl;
    responder->answerPassword = c.answerPassword;
    adapter.addSubscriber(responder);
    onEngine([&] { manager.auth(0); });
    runToOutcome();
    std::string text = log();
    EXPECT_NE(text.find("Port State " + std::string(c.outcome)), std::string::npos) << c.what;
    EXPECT_THAT(responder->lines, Contains(HasSubstr(c.chainLine))) << c.what;
    // The machine's three stores follow the session start's own (none here).
    EXPECT_THAT(calls(), Contains(testing::MatchesRegex("qxCredCertStore\\(eap, \\{store#[0-9]+ store#[0-9]+ "
                                                        "store#[0-9]+\\}, 3\\) = 0")));
    EXPECT_NE(text.find(": Credential Request deferred : sync="), std::string::npos) << c.what;
    EXPECT_NE(text.find(c.completion), std::string::npos) << c.what;
    // Each server certificate the library handed out is destroyed again.
    std::vector<std::string> given;
    std::vector<std::string> destroyed;
    std::smatch match;
    for (const std::string& call : calls()) {
        if (std::regex_search(call, match, std::regex("^qxCredServerGetCert\\(&(certificate#[0-9]+),")))
            given.push_back(match[1]);
        if (std::regex_search(call, match, std::regex("^qxCertDestroy\\(&(certificate#[0-9]+)\\) = 0")))
            destroyed.push_back(match[1]);
    }
    EXPECT_THAT(given, Not(IsEmpty())) << c.what;
    for (const std::string& certificate : given) EXPECT_THAT(destroyed, Contains(certificate)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Peap, PortCredentialRequestMakerTest,
    testing::Values(Case{"trusted", "LOCAL_MACHINE/ROOT", true, "serverVerify 1 25 1",
                         "AUTHENTICATED and status SUCCESS", "Credential Request completed, response sent"},
                    Case{"untrusted", "CURRENT_USER/ROOT", true, "serverVerify 1 25 0",
                         "HELD and status SERVER_REJECTED", "Credential Request completed, response sent"},
                    Case{"unanswered", "LOCAL_MACHINE/ROOT", false, "serverVerify 1 25 1",
                         "HELD and status EAP_FAILURE", "Credential Request completed, no response sent"}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace tamsel::test
