#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "platform/qxauth/QxLibrary.h"
#include "tests/support/TestPki.h"
#include "tests/support/TestText.h"
#include "tests/vel/port/CredentialTestSupport.h"
#include "tests/vel/port/PortTestSupport.h"

using ::testing::Contains;
using ::testing::HasSubstr;

namespace tamsel::test {
namespace {

// What the scripted network answers.
struct Script {
    std::string identity = "alice";
    std::string password = "secret";
    bool trustServer = true;
    bool answerPassword = true;
    bool loadKey = true;  // of the user's certificate
};

// Answers every request from its script through the request object, as a network would.
class ScriptedResponderImpl : public RecordingResponderImpl {
public:
    explicit ScriptedResponderImpl(Script script) : m_script(std::move(script)) {}

    static void finish(const Reference& r, const std::function<void(PortManagerImpl*, std::int32_t)>& send) {
        FakeRequestImpl* request = FakeRequestImpl::of(r);
        request->answer(send);
        request->complete(true);
    }

    void requestEapMethods(const Reference& r, const std::vector<std::int32_t>& types) override {
        RecordingResponderImpl::requestEapMethods(r, types);
        QX_EAP_METHOD method = {0, types.back()};
        finish(r, [&](PortManagerImpl* m, std::int32_t sync) { m->sendEapMethods(sync, &method, 1); });
    }
    void requestTtlsTunnelMethod(const Reference& r) override {
        RecordingResponderImpl::requestTtlsTunnelMethod(r);
        finish(r, [](PortManagerImpl* m, std::int32_t sync) { m->sendTtlsMethod(sync, QX_TTLS_PAP); });
    }
    void requestIdentity(const Reference& r, std::int32_t level, std::int32_t value, bool flag,
                         const Ascii& prompt) override {
        RecordingResponderImpl::requestIdentity(r, level, value, flag, prompt);
        Credential identity = Credential::newIdentity(m_script.identity.c_str());
        finish(r,
               [&](PortManagerImpl* m, std::int32_t sync) { m->sendIdentity(sync, identity.volatileH()); });
    }
    void requestPassword(const Reference& r, const Ascii& prompt,
                         const std::vector<std::int32_t>& types) override {
        RecordingResponderImpl::requestPassword(r, prompt, types);
        if (!m_script.answerPassword) {
            held = r;
            return;
        }
        Credential password = Credential::newPassword(m_script.password.c_str());
        finish(r,
               [&](PortManagerImpl* m, std::int32_t sync) { m->sendPassword(sync, password.volatileH()); });
    }
    void requestSessionStart(const Reference& r, std::int32_t eapMethod) override {
        RecordingResponderImpl::requestSessionStart(r, eapMethod);
        finish(r, [](PortManagerImpl* m, std::int32_t sync) { m->sendSessionStart(sync, 1, 0); });
    }
    void requestEapFastPac(const Reference& r, const ByteArray& aid) override {
        RecordingResponderImpl::requestEapFastPac(r, aid);
        QX_HANDLE pac = pacs.empty() ? 0 : pacs.back().volatileH();
        finish(r, [&](PortManagerImpl* m, std::int32_t sync) { m->sendEapFastPac(sync, pac); });
    }
    void requestEapFastProvisionModes(const Reference& r) override {
        RecordingResponderImpl::requestEapFastProvisionModes(r);
        std::int32_t modes[2] = {QX_FAST_PROVISION_AUTHENTICATED, QX_FAST_PROVISION_UNAUTHENTICATED};
        finish(r,
               [&](PortManagerImpl* m, std::int32_t sync) { m->sendEapFastProvisionModes(sync, modes, 2); });
    }
    void handleAuthenticationNotification(const Reference& r, const Credential& pac) override {
        RecordingResponderImpl::handleAuthenticationNotification(r, pac);
        FakeRequestImpl::of(r)->complete(true);
    }
    void requestServerVerify(const Reference& r, QX_HANDLE certificate,
                             const std::vector<std::int32_t>& types, std::int32_t chainIsValid) override {
        RecordingResponderImpl::requestServerVerify(r, certificate, types, chainIsValid);
        std::int32_t verified = m_script.trustServer ? 1 : 0;
        finish(r, [&](PortManagerImpl* m, std::int32_t sync) { m->sendServerVerified(sync, verified); });
    }
    void requestUserCertificate(const Reference& r, const std::vector<std::int32_t>& types) override {
        RecordingResponderImpl::requestUserCertificate(r, types);
        // The user's certificate from the machine's personal store, its key loaded.
        QX_HANDLE store = 0;
        QX_HANDLE certificate = 0;
        qxCertStoreUrlCreate(&store, "certStore://winsys/LOCAL_MACHINE/MY");
        qxCertCreate(&certificate, store, userHash.data(), QX_CERT_HASH_LENGTH);
        if (m_script.loadKey) qxCertLoadPrivateKey(certificate, 0);
        finish(r, [&](PortManagerImpl* m, std::int32_t sync) { m->sendUserCert(sync, certificate); });
        qxCertDestroy(&certificate);
        qxCertStoreDestroy(&store);
    }
    void requestEapFastPacTypes(const Reference& r, const ByteArray& aid) override {
        RecordingResponderImpl::requestEapFastPacTypes(r, aid);
        std::int32_t types[1] = {QX_PAC_TYPE_TUNNEL};
        finish(r, [&](PortManagerImpl* m, std::int32_t sync) { m->sendEapFastPacTypes(sync, types, 1); });
    }

    Reference held;
    std::vector<uint8_t> userHash;

private:
    Script m_script;
};

struct Case {
    const char* what;
    LabBuilder::Attributes authenticator;
    Script script;
    bool wireless;
    const char* outcome;  // the port state and status line
    const char* eapStatus;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.what;
}

class ConversationTest : public PortTest, public testing::WithParamInterface<Case> {
protected:
    void SetUp() override {
        PortTest::SetUp();
        previousMaker = PortCredentialResponderMember::setRequestMaker(FakeRequestImpl::make);
    }
    void TearDown() override {
        if (responder != nullptr) {
            onEngine([this] {
                responder->held.reset();
                responder->requests.clear();
                responder->pacs.clear();
            });
            responder->release();
        }
        PortTest::TearDown();
        PortCredentialResponderMember::setRequestMaker(previousMaker);
    }
    // Runs the lab and the engine until the adapter hears the outcome of the authentication.
    bool authenticate(int seconds = 0) {
        for (int round = 0; round < 200; ++round) {
            settle();
            for (const std::string& line : listener->lines)
                if (line == "state 14 0" || line == "state 17 3") return true;
        }
        if (seconds > 0) advance(seconds);
        for (const std::string& line : listener->lines)
            if (line == "state 14 0" || line == "state 17 3") return true;
        return false;
    }

    PortCredentialResponderMember::RequestMaker previousMaker = nullptr;
    ScriptedResponderImpl* responder = nullptr;
};

TEST_P(ConversationTest, MethodReachesItsOutcome) {
    const Case& c = GetParam();
    LabBuilder builder;
    builder.wiredAdapter(1, "eth0").wirelessAdapter(2, "wlan0");
    builder.add("accessPoint",
                {{"ssid", "corp"}, {"bssid", "02:aa:00:00:00:01"}, {"security", "wpa2EnterpriseAes"}});
    LabBuilder::Attributes authenticator = {{"on", c.wireless ? "corp" : "eth0"}};
    authenticator.insert(authenticator.end(), c.authenticator.begin(), c.authenticator.end());
    // The server shows a certificate of the CA; the user's certificate and key are the machine's.
    TestCertificate ca = writeServerCertificates(root);
    CertificateSpec userSpec;
    userSpec.commonName = "alice";
    TestCertificate user = TestPki::issue(userSpec, ca);
    root.write("user.pem", user.pem() + user.keyPem());
    authenticator.push_back({"serverCertificate", "server.pem"});
    authenticator.push_back({"clientCa", "ca.pem"});
    builder.add("authenticator", authenticator);
    builder.add("certificateStore", {{"store", "LOCAL_MACHINE/MY"}, {"file", "user.pem"}});
    startLab(builder);
    makeManager(c.wireless ? 2 : 1);
    responder = new ScriptedResponderImpl(c.script);
    responder->userHash = user.hash();
    adapter.addSubscriber(responder);
    onEngine([&] {
        manager.auth(0);
        if (c.wireless) {
            QX_ASSOCIATE record = {};
            std::memcpy(record.ssid, "corp", 4);
            record.ssidLength = 4;
            record.mode = QX_ASSOC_WPA2_ENTERPRISE;
            record.encryption = QX_ENCRYPTION_AES;
            manager.associate(record);
        }
    });
    ASSERT_TRUE(authenticate(c.script.answerPassword ? 0 : 6)) << ::testing::PrintToString(listener->lines);
    std::string text = log();
    EXPECT_THAT(text, HasSubstr("Port State " + std::string(c.outcome))) << c.what;
    if (c.eapStatus != nullptr) {
        EXPECT_THAT(text, HasSubstr(c.eapStatus)) << c.what;
    }
    EXPECT_THAT(text, HasSubstr(": Identity sent : sync=")) << c.what;
    if (!c.script.answerPassword) {
        EXPECT_THAT(responder->lines, Contains("canceled"));
    }
}

const Script RIGHT;
const Script WRONG_PASSWORD{"alice", "guess", true, true};
const Script DISTRUSTS_SERVER{"alice", "secret", false, true};
const Script SILENT{"alice", "secret", true, false};
const Script KEYLESS{"alice", "secret", true, true, false};
const Script MACHINE{"host/pc", "pc-secret", true, true};
const Script MACHINE_WITH_USER_PASSWORD{"host/pc", "secret", true, true};

INSTANTIATE_TEST_SUITE_P(
    Methods, ConversationTest,
    testing::Values(
        Case{"md5",
             {{"method", "md5"}, {"identity", "alice"}, {"password", "secret"}},
             RIGHT,
             false,
             "AUTHENTICATED and status SUCCESS",
             "QX_EAP_STATUS_SUCCESS"},
        Case{"md5 wrong",
             {{"method", "md5"}, {"identity", "alice"}, {"password", "secret"}},
             WRONG_PASSWORD,
             false,
             "HELD and status EAP_FAILURE",
             nullptr},
        Case{"leap",
             {{"method", "leap"}, {"identity", "alice"}, {"password", "secret"}},
             RIGHT,
             true,
             "AUTHENTICATED and status SUCCESS",
             nullptr},
        Case{"gtc",
             {{"method", "gtc"}, {"identity", "alice"}, {"password", "secret"}},
             RIGHT,
             false,
             "AUTHENTICATED and status SUCCESS",
             nullptr},
        Case{"mschapv2",
             {{"method", "mschapv2"}, {"identity", "alice"}, {"password", "secret"}},
             RIGHT,
             true,
             "AUTHENTICATED and status SUCCESS",
             nullptr},
        Case{"peap",
             {{"method", "peap"}, {"inner", "mschapv2"}, {"identity", "alice"}, {"password", "secret"}},
             RIGHT,
             true,
             "AUTHENTICATED and status SUCCESS",
             nullptr},
        Case{"peap wrong",
             {{"method", "peap"}, {"identity", "alice"}, {"password", "secret"}},
             WRONG_PASSWORD,
             true,
             "HELD and status EAP_FAILURE",
             "Eap status QX_EAP_STATUS_PROTECTED_FAILURE."},
        Case{"peap machine of a server of machines and users",
             {{"method", "peap"},
              {"identity", "alice"},
              {"password", "secret"},
              {"machineIdentity", "host/pc"},
              {"machinePassword", "pc-secret"}},
             MACHINE,
             false,
             "AUTHENTICATED and status SUCCESS",
             nullptr},
        Case{"md5 machine of a server whose user's password has expired",
             {{"method", "md5"},
              {"identity", "alice"},
              {"password", "secret"},
              {"newPassword", "n3w-secret"},
              {"machineIdentity", "host/pc"},
              {"machinePassword", "pc-secret"}},
             MACHINE,
             false,
             "AUTHENTICATED and status SUCCESS",
             nullptr},
        Case{"peap machine with the user's password",
             {{"method", "peap"},
              {"identity", "alice"},
              {"password", "secret"},
              {"machineIdentity", "host/pc"},
              {"machinePassword", "pc-secret"}},
             MACHINE_WITH_USER_PASSWORD,
             false,
             "HELD and status EAP_FAILURE",
             "Eap status QX_EAP_STATUS_PROTECTED_FAILURE."},
        Case{"peap server refused",
             {{"method", "peap"}, {"identity", "alice"}, {"password", "secret"}},
             DISTRUSTS_SERVER,
             true,
             "HELD and status SERVER_REJECTED",
             nullptr},
        Case{"ttls pap",
             {{"method", "ttls"}, {"inner", "pap"}, {"identity", "alice"}, {"password", "secret"}},
             RIGHT,
             false,
             "AUTHENTICATED and status SUCCESS",
             nullptr},
        Case{"tls",
             {{"method", "tls"}, {"identity", "alice"}},
             RIGHT,
             true,
             "AUTHENTICATED and status SUCCESS",
             nullptr},
        Case{"tls without the key",
             {{"method", "tls"}, {"identity", "alice"}},
             KEYLESS,
             true,
             "HELD and status EAP_FAILURE",
             nullptr},
        Case{"md5 unanswered",
             {{"method", "md5"}, {"identity", "alice"}, {"password", "secret"}, {"answerTimeoutMs", "5000"}},
             SILENT,
             false,
             "HELD and status TIMEOUT",
             nullptr},
        Case{"fast provisioning",
             {{"method", "fast"},
              {"inner", "mschapv2"},
              {"identity", "alice"},
              {"password", "secret"},
              {"provisioning", "unauthenticated"}},
             RIGHT,
             true,
             "AUTHENTICATED and status SUCCESS",
             "Completed unauthenticated provisioning."}),
    [](const testing::TestParamInfo<Case>& info) { return testNameOf(info.param.what); });

}  // namespace
}  // namespace tamsel::test
