#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/vel/port/CredentialTestSupport.h"
#include "tests/vel/port/PortTestSupport.h"
#include "tests/vel/port/RecordingNvoPort.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

namespace tamsel::test {
namespace {

class ResponderMemberTest : public PortTest {
protected:
    void SetUp() override {
        PortTest::SetUp();
        previousMaker = PortCredentialResponderMember::setRequestMaker(FakeRequestImpl::make);
        LabBuilder builder;
        builder.wirelessAdapter(2, "wlan0");
        startLab(builder);
        port = new RecordingNvoPortImpl;
        makeManager(2, true, port);
        responder = new RecordingResponderImpl;
        adapter.addSubscriber(responder);
        port->calls.clear();
    }
    void TearDown() override {
        responder->requests.clear();
        responder->pacs.clear();
        onEngine([] {});
        responder->release();
        PortTest::TearDown();
        PortCredentialResponderMember::setRequestMaker(previousMaker);
    }
    // A request as the library's thread gives it; the reads it made (the deferral left out).
    std::vector<std::string> request(std::int32_t type, std::int32_t level, std::int32_t value = 0) {
        port->calls.clear();
        QX_CRED_REQUEST req = {7, type, level, 0, 0, value};
        pm()->credentialCallback(&req);
        EXPECT_TRUE(drain(queue));
        std::vector<std::string> reads;
        for (const std::string& call : port->calls)
            if (call != "credDeferred" && call != "credComplete") reads.push_back(call);
        return reads;
    }
    std::string lastLine() { return responder->lines.empty() ? std::string() : responder->lines.back(); }

    PortCredentialResponderMember::RequestMaker previousMaker = nullptr;
    RecordingNvoPortImpl* port = nullptr;
    RecordingResponderImpl* responder = nullptr;
};

TEST_F(ResponderMemberTest, EachRequestTypeReadsWhatItNeedsAndReachesItsResponderOperation) {
    const std::vector<std::string> pacReads = {
        "getEapFastPacLifetime",   "getEapFastPacType",       "getEapFastPacAidInfo length",
        "getEapFastPacAidInfo",    "getEapFastPacIid length", "getEapFastPacIid",
        "getEapFastPacAid length", "getEapFastPacAid",        "getEapFastPacOpaque length",
        "getEapFastPacOpaque",     "getEapFastPacKey length", "getEapFastPacKey"};
    struct Row {
        std::int32_t type;
        std::int32_t level;
        std::vector<std::string> reads;
        std::string line;  // "" when nothing reaches the responder
    } rows[] = {
        {QX_CRED_SESSION_START, 0, {}, "sessionStart 4"},
        {QX_CRED_CRED_CANCELED, 0, {}, "canceled"},
        {QX_CRED_IDENTITY, 1, {"getIdentityPrompt"}, "identity 1 26 0 Password:"},
        {QX_CRED_EAP_METHODS, 1, {"getEapMethod 0", "getEapMethod 1"}, "eapMethods 25,26"},
        // The first request of these kinds records the outer method first, while the request is
        // surely open.
        {QX_CRED_PASSWORD,
         1,
         {"getEapMethod 0", "getPasswordPrompt", "getEapMethod 0", "getEapMethod 1"},
         "password Password: 25,26"},
        {QX_CRED_PASSWORD_CHANGE, 1, {"getPasswordPrompt"}, "passwordChange Password:"},
        {QX_CRED_PASSWORD_RETRY, 1, {"getPasswordPrompt"}, "passwordRetry Password:"},
        {QX_CRED_SERVER_VERIFY,
         0,
         {"serverVerifyChain", "getEapMethod 0", "serverGetCert"},
         "serverVerify 1 25 1"},
        {QX_CRED_USER_CERT, 0, {"getEapMethod 0"}, "userCertificate 25"},
        {QX_CRED_EAP_NOTIFICATION, 0, {}, ""},
        {QX_CRED_EAP_FAST_PAC, 0, {"getEapFastAid length", "getEapFastAid"}, "fastPac AID1"},
        {QX_CRED_EAP_FAST_PAC_TYPES, 0, {"getEapFastAid length", "getEapFastAid"}, "pacTypes AID1"},
        {QX_CRED_EAP_FAST_PAC_SAVE, 0, pacReads, "pacSave alice [lab server]"},
        {QX_CRED_EAP_SIM_ALT_IDENTITY_SAVE, 0, {}, ""},
        {QX_CRED_CRED_MACHINE_IDENTITY, 0, {}, "machineIdentity 0 26 0"},
        {QX_CRED_EAP_FAST_PROVISION_MODES, 0, {}, "provisionModes"},
        // A new session forgets the recorded method and carries the one recorded.
        {QX_CRED_SESSION_START, 0, {}, "sessionStart 25"},
    };
    for (const Row& row : rows) {
        size_t before = responder->lines.size();
        EXPECT_THAT(request(row.type, row.level, 26), ElementsAreArray(row.reads)) << row.type;
        if (row.line.empty()) {
            EXPECT_EQ(responder->lines.size(), before) << row.type;
        } else {
            EXPECT_EQ(lastLine(), row.line) << row.type;
        }
    }
    EXPECT_FALSE(pm()->port().impl() == nullptr);
    std::string text = log();
    EXPECT_THAT(text, HasSubstr("not implemented port credential request 'QX_CRED_NOTIFICATION'"));
    EXPECT_THAT(text, HasSubstr("not implemented port credential request 'QX_CRED_ALT_IDENTITY_SAVE'"));
    EXPECT_THAT(text, HasSubstr("Internal error 168, contact software manufacturer"));
    EXPECT_THAT(text, HasSubstr("Inner Identity/(Username) requested."));
    EXPECT_THAT(text, HasSubstr(": EAP suggested by server: "));
    EXPECT_THAT(text, HasSubstr("Completed authenticated provisioning."));

    // A TTLS tunnel method request asks the outer method, which must be TTLS.
    port->eapTypes = {21, 26};
    EXPECT_THAT(request(QX_CRED_EAP_TTLS_TUNNEL_METHOD, 0), ElementsAre("getEapMethod 0", "getEapMethod 0"));
    EXPECT_EQ(lastLine(), "ttlsMethod");
    port->eapTypes = {25, 26};
    request(QX_CRED_EAP_TTLS_TUNNEL_METHOD, 0);
    EXPECT_THAT(takeAssertions(), ElementsAre("eapMethod(sync, 0) == AdapterConstants::EAP_TTLS"));
}

// The library may take a request back between its callback and the engine reading its prompt; the
// cancel that follows ends it, and neither side did anything wrong.
TEST_F(ResponderMemberTest, APromptOfARequestTheLibraryTookBackIsNoInternalError) {
    for (const char* read : {"getIdentityPrompt", "getPasswordPrompt"}) {
        port->results[read] = QX_ERR_INV_SYNC;
        request(std::string(read) == "getIdentityPrompt" ? QX_CRED_IDENTITY : QX_CRED_PASSWORD, 0);
        EXPECT_THAT(takeAssertions(), ::testing::IsEmpty()) << read;
        port->results.erase(read);
    }
    EXPECT_THAT(log(), HasSubstr("was withdrawn before its prompt was read"));
    EXPECT_THAT(log(), Not(HasSubstr("Internal error")));
}

TEST_F(ResponderMemberTest, RequestOfAnEarlierGenerationIsDroppedButACancelIsNot) {
    Gate gate;
    queue.post(gate.event());
    ASSERT_TRUE(gate.entered());
    QX_CRED_REQUEST password = {7, QX_CRED_PASSWORD, 0, 0, 0, 25};
    QX_CRED_REQUEST cancel = {7, QX_CRED_CRED_CANCELED, 0, 0, 0, 25};
    pm()->credentialCallback(&password);
    pm()->credentialCallback(&cancel);
    // The authentication is reset before the events run.
    pm()->authReset();
    gate.open();
    ASSERT_TRUE(drain(queue));
    EXPECT_THAT(responder->lines, ElementsAre("canceled"));
    EXPECT_THAT(log(), HasSubstr(LabBuilder::guid(2) + " Password dropped"));
    // Nobody answered the dropped request: its object completes it unanswered when it goes.
    EXPECT_THAT(port->calls, ::testing::Contains("credComplete"));
}

TEST_F(ResponderMemberTest, ServerCertificateHandleIsDestroyedOnceDeliveredOrDropped) {
    QX_CRED_REQUEST verify = {7, QX_CRED_SERVER_VERIFY, 0, 0, 0, 25};
    // Delivered: the responder sees the handle live, and it goes with the event.
    request(QX_CRED_SERVER_VERIFY, 0);
    EXPECT_EQ(lastLine(), "serverVerify 1 25 1");
    // Dropped: the authentication is reset before the event runs, so nobody sees the handle.
    Gate gate;
    queue.post(gate.event());
    ASSERT_TRUE(gate.entered());
    pm()->credentialCallback(&verify);
    pm()->authReset();
    gate.open();
    ASSERT_TRUE(drain(queue));
    EXPECT_THAT(log(), HasSubstr(LabBuilder::guid(2) + " Server verification dropped"));
    ASSERT_EQ(port->serverCertificates.size(), 2u);
    for (QX_HANDLE certificate : port->serverCertificates)
        EXPECT_FALSE(qxauth::handleValue(certificate, QX_HANDLE_CERTIFICATE, nullptr)) << certificate;
    EXPECT_THAT(log(), Not(HasSubstr("qxCertDestroy of the server's certificate failed")));
}

TEST_F(ResponderMemberTest, PacWithoutAidInformationIsSavedWithEmptyText) {
    port->results["getEapFastPacAidInfo"] = QX_ERR_NOT_FOUND;
    request(QX_CRED_EAP_FAST_PAC_SAVE, 0);
    EXPECT_EQ(lastLine(), "pacSave alice []");
    ASSERT_EQ(responder->pacs.size(), 1u);
    EXPECT_EQ(responder->pacs[0].aid().length(), 4);
    EXPECT_THAT(takeAssertions(), IsEmpty());
}

// A server may first suggest a method the client has no name for (SIM, AKA, pwd): the number is
// logged and the request still reaches the responder, which then offers the client's own methods.
TEST_F(ResponderMemberTest, EverySuggestedEapTypeReachesTheResponderNamedOrNot) {
    const struct {
        std::int32_t type;
        const char* logged;
    } rows[] = {{13, "eapTls"}, {18, "18"}, {23, "23"}, {52, "52"}, {254, "254"}};
    for (const auto& row : rows) {
        port->eapTypes = {row.type};
        EXPECT_THAT(request(QX_CRED_EAP_METHODS, 0), ElementsAre("getEapMethod 0")) << row.type;
        EXPECT_EQ(lastLine(), "eapMethods " + std::to_string(row.type));
        EXPECT_THAT(log(), HasSubstr(std::string(": EAP suggested by server: ") + row.logged + "\n"))
            << row.type;
    }
    EXPECT_THAT(takeAssertions(), IsEmpty());
}

TEST_F(ResponderMemberTest, FastUnauthenticatedProvisioningIsNoticedAtTheInnerMethods) {
    port->eapTypes = {43, 26};
    port->fastMode = 1;
    EXPECT_THAT(request(QX_CRED_EAP_METHODS, 1),
                ElementsAre("getEapMethod 0", "getEapMethod 1", "getEapFastMode"));
    EXPECT_TRUE(pm()->port().impl() != nullptr);
    request(QX_CRED_EAP_FAST_PAC_SAVE, 0);
    std::string text = log();
    EXPECT_THAT(text, HasSubstr("FAST: Phase 1 tunnel established for unauthenticated provisioning"));
    EXPECT_THAT(text, HasSubstr("Completed unauthenticated provisioning."));
    EXPECT_THAT(text, HasSubstr("EAP suggested by server: "));
}

}  // namespace
}  // namespace tamsel::test
