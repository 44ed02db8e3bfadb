#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/support/TestText.h"
#include "tests/vel/port/CredentialTestSupport.h"
#include "tests/vel/port/RequestMakerPortTest.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/network/Network.h"
#include "vel/network/NetworkBehavior.h"

using ::testing::HasSubstr;

namespace tamsel::test {
namespace {

// Stands where the network's machines follow the adapter: it names the network as the adapter's
// credential responder.
class NetworkFollowerImpl : public ReferenceImpl, public AdapterSubscriberInterface {
public:
    explicit NetworkFollowerImpl(const Network& network) : m_network(network) {}
    REFERENCE_IMPL_FORWARDS
    void eapStatus(const VelAdapter&, std::int32_t) override {}
    void adapterStateChanged(const VelAdapter&, std::int32_t, std::int32_t) override {}
    CredentialResponderInterface* credentialResponderForAdapter(const VelAdapter&) override {
        return m_network.impl();
    }

private:
    Network m_network;
};

struct Case {
    const char* what;
    int how;  // of the name rule: 1 exactly, 2 ends with
    const char* rule;
    const char* outcome;
    const char* line;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.what;
}

// A wired PEAP-MSCHAPv2 network with its password in the profile, its server checked against a
// name rule, on the lab through the real port manager and credential requests.
// The network holds the port's adapter, as once the matchmaker has attached it, and closes the
// port through the port's manager as the adapter does.
class AttachedBehavior : public IdleNetworkBehavior {
public:
    AttachedBehavior(const VelAdapter& adapter, const PortManagerProxy& manager)
        : m_adapter(adapter), m_manager(manager) {}
    VelAdapter adapter() override { return m_adapter; }
    void closeAdapterPort() override { m_manager.closePort(); }
    void clearReferences() override {
        m_adapter = VelAdapter();
        m_manager = PortManagerProxy();
    }

private:
    VelAdapter m_adapter;
    PortManagerProxy m_manager;
};

class PeapNetworkLabTest : public RequestMakerPortTest {
protected:
    void TearDown() override {
        // The maker this test put in refers to the fixture: put back what was there, even none.
        if (makerInstalled) NetworkBehaviorMaker::set(previousMaker);
        onEngine([this] {
            if (!network.isNull()) {
                network.impl()->clearReferences();
                network.reset();
            }
        });
        if (follower != nullptr) follower->release();
        RequestMakerPortTest::TearDown();
    }

    // A user's PEAP network with the given server checks authenticates on eth0 to its end.
    void authenticate(const CertificateValidationParameters& validation,
                      std::int32_t source = NetworkIdentity::SOURCE_PROFILE,
                      std::int32_t connectionTypes = NetworkImpl::CONNECTION_TYPES_USER,
                      const char* password = "secret") {
        makeManager(1);
        previousMaker = NetworkBehaviorMaker::set(
            [this](NetworkImpl&) { return std::make_unique<AttachedBehavior>(adapter, manager); });
        makerInstalled = true;
        onEngine([&] {
            network = Network::create(Ascii("Office"));
            network.setFlagB(true);
            network.setNetworkMedia(NetworkImpl::MEDIA_WIRED);
            network.setConnectionTypes(connectionTypes);
            AuthenticationParameters user =
                network.getAuthenticationParameters(AdapterConstants::CONNECTION_USER);
            AuthenticationMethod peap = AuthenticationMethod::ofType(25);
            peap.setCredentialType(1);
            peap.setValidateServerCertificate(true);
            peap.addInnerAuthenticationMethod(AuthenticationMethod::ofType(26));
            user.addAuthenticationMethod(peap);
            user.setCredentialType(source);
            // The profile names the identities outright.
            user.setUnprotectedIdentityPattern("anonymous");
            user.setProtectedIdentityPattern("alice");
            user.setIdentity(Credential::newIdentity("alice"));
            user.setPasswordOrKeyCredential(Credential::newPassword(password));
            user.setValidationParameters(validation);
            network.impl()->m_session.m_currentConnectionType = AdapterConstants::CONNECTION_USER;
            follower = new NetworkFollowerImpl(network);
            adapter.addSubscriber(follower);
            manager.auth(0);
        });
        runToOutcome();
    }
    // The port's outcome and a line of the log; never an internal error.
    void expectOutcome(const char* what, const char* outcome, const char* line) {
        std::string text = log();
        EXPECT_NE(text.find("Port State " + std::string(outcome)), std::string::npos)
            << what << "\n"
            << text.substr(text.size() - std::min<size_t>(text.size(), 4000));
        EXPECT_NE(text.find(line), std::string::npos) << what;
        size_t internal = text.find("Internal error");
        EXPECT_EQ(internal, std::string::npos)
            << what << "\n"
            << text.substr(internal == std::string::npos ? 0 : internal - std::min<size_t>(internal, 1500),
                           2500);
    }

    NetworkBehaviorMaker::Maker previousMaker;
    bool makerInstalled = false;
    NetworkFollowerImpl* follower = nullptr;
    Network network;
};

class NetworkResponderLabTest : public PeapNetworkLabTest, public testing::WithParamInterface<Case> {};

TEST_P(NetworkResponderLabTest, TheServerNameRuleDecidesTheAuthentication) {
    const Case& c = GetParam();
    writeServerCertificates(root);
    startLab(peapLab("LOCAL_MACHINE/ROOT"));
    ElementVector rules = ElementVector::create();
    rules.add(TrustedServerRule::create(0, c.how, c.rule).m);
    authenticate(CertificateValidationParameters::create(false, rules, true, ElementVector::create()));
    expectOutcome(c.what, c.outcome, c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Peap, NetworkResponderLabTest,
    testing::Values(Case{"domain suffix", 2, "corp.example", "AUTHENTICATED and status SUCCESS",
                         "Server certificate validated: "},
                    Case{"exact name", 1, "radius.corp.example", "AUTHENTICATED and status SUCCESS",
                         "Server certificate validated: "},
                    Case{"suffix inside a label", 2, "us.corp.example", "HELD and status SERVER_REJECTED",
                         "Server certificate invalid (name mismatch: "}),
    [](const testing::TestParamInfo<Case>& info) { return testNameOf(info.param.what); });

// The engine's services as the service has them before logon.
class BeforeLogonServices : public NetworkCredentialServicesInterface {
public:
    void retrieveMachinePassword(NetworkImpl&) override {}
    Ascii computerName() override { return Ascii("host.corp.example"); }
    void writeInternalConfiguration() override {}
    void postToImpersonatedQueue(const MessageEvent&) override {}
    bool connectsBeforeLogon() override { return true; }
};

// Logon credentials that fail before logon on a network for the machine and the user: the port
// closes inside the retry request, and the request still ends cleanly.
TEST_F(PeapNetworkLabTest, ALogonRetryBeforeLogonClosesThePortCleanly) {
    BeforeLogonServices services;
    NetworkCredentialServicesInterface* previous = NetworkCredentialResponder::installServices(&services);
    writeServerCertificates(root);
    startLab(peapLab("LOCAL_MACHINE/ROOT", {{"retry", "true"}}));
    authenticate(
        CertificateValidationParameters::create(true, ElementVector::create(), true, ElementVector::create()),
        NetworkIdentity::SOURCE_LOGON, NetworkImpl::CONNECTION_TYPES_BOTH, "wrong");
    NetworkCredentialResponder::installServices(previous);
    std::string text = log();
    size_t retry = text.find("Password retry, credential source is sso");
    ASSERT_NE(retry, std::string::npos) << text.substr(text.size() - std::min<size_t>(text.size(), 4000));
    EXPECT_NE(text.find("Closing the port", retry), std::string::npos) << text.substr(retry);
    EXPECT_EQ(text.find("Internal error"), std::string::npos) << text.substr(retry);
    onEngine(
        [&] { EXPECT_EQ(network.impl()->m_session.currentCredentialSource(), NetworkIdentity::SOURCE_GUI); });
}

struct CaCase {
    const char* what;
    // Where the server's CA is in the lab ("" nowhere), and what the profile trusts.
    const char* caStore;
    enum { SERVER_CA_TEXT, SERVER_CA_BASE64, SERVER_CA_HASH, OTHER_CA_TEXT, UNREADABLE_TEXT } trusted;
    const char* outcome;
    const char* line;
};

void PrintTo(const CaCase& c, std::ostream* out) {
    *out << c.what;
}

class NetworkSpecificCaLabTest : public PeapNetworkLabTest, public testing::WithParamInterface<CaCase> {};

// The profile's own CAs: a certificate given as text is trusted even where no store holds it, the
// library taking it for the chain; one named by hash comes from the machine's stores; a server
// that chains to neither is refused.
TEST_P(NetworkSpecificCaLabTest, TheProfilesCasDecideTheChain) {
    const CaCase& c = GetParam();
    TestCertificate ca = writeServerCertificates(root);
    CertificateSpec otherSpec;
    otherSpec.commonName = "Other Root";
    otherSpec.ca = true;
    TestCertificate other = TestPki::selfSigned(otherSpec);
    LabBuilder lab = peapLab(c.caStore);
    if (*c.caStore == '\0') {
        lab = LabBuilder();
        lab.wiredAdapter(1, "eth0");
        lab.add("authenticator", {{"on", "eth0"},
                                  {"method", "peap"},
                                  {"identity", "alice"},
                                  {"password", "secret"},
                                  {"serverCertificate", "server.pem"}});
    }
    startLab(lab);
    std::string pem = ca.pem();
    // The body between the PEM lines, as an administrator may paste it.
    std::string base64 = pem.substr(pem.find('\n') + 1);
    base64 = base64.substr(0, base64.find("-----END"));
    ElementVector cas = ElementVector::create();
    switch (c.trusted) {
        case CaCase::SERVER_CA_TEXT:
            cas.add(TrustedCaCert::create(1, pem.c_str()).m);
            break;
        case CaCase::SERVER_CA_BASE64:
            cas.add(TrustedCaCert::create(1, base64.c_str()).m);
            break;
        case CaCase::SERVER_CA_HASH:
            cas.add(TrustedCaCert::create(2, ca.hashHex().c_str()).m);
            break;
        case CaCase::OTHER_CA_TEXT:
            cas.add(TrustedCaCert::create(1, other.pem().c_str()).m);
            break;
        case CaCase::UNREADABLE_TEXT:
            cas.add(TrustedCaCert::create(1, "Corp Root CA").m);
            break;
    }
    ElementVector rules = ElementVector::create();
    rules.add(TrustedServerRule::create(0, 1, "radius.corp.example").m);
    authenticate(CertificateValidationParameters::create(false, rules, false, cas));
    expectOutcome(c.what, c.outcome, c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Peap, NetworkSpecificCaLabTest,
    testing::Values(CaCase{"text of a CA in no store", "", CaCase::SERVER_CA_TEXT,
                           "AUTHENTICATED and status SUCCESS", "Server certificate validated: "},
                    CaCase{"base64 alone of a CA in no store", "", CaCase::SERVER_CA_BASE64,
                           "AUTHENTICATED and status SUCCESS", "Server certificate validated: "},
                    CaCase{"hash of a machine root CA", "LOCAL_MACHINE/ROOT", CaCase::SERVER_CA_HASH,
                           "AUTHENTICATED and status SUCCESS", "Server certificate validated: "},
                    CaCase{"hash of a user root CA", "CURRENT_USER/ROOT", CaCase::SERVER_CA_HASH,
                           "HELD and status SERVER_REJECTED", "in the local machine certificate stores"},
                    CaCase{"another CA's text", "LOCAL_MACHINE/ROOT", CaCase::OTHER_CA_TEXT,
                           "HELD and status SERVER_REJECTED", "Server certificate chain is not trusted"},
                    CaCase{"unreadable text", "LOCAL_MACHINE/ROOT", CaCase::UNREADABLE_TEXT,
                           "HELD and status SERVER_REJECTED",
                           "Can not read CA certificate 1 given in the profile"}),
    [](const testing::TestParamInfo<CaCase>& info) { return testNameOf(info.param.what); });

}  // namespace
}  // namespace tamsel::test

namespace tamsel::test {
namespace {

class NetworkCertificateIdentityTest : public PortTest {};

// The identity a certificate gives: a machine's is its DNS name with the first dot made an at sign,
// a user's its certificate name.
TEST_F(NetworkCertificateIdentityTest, IdentitiesComeFromTheSelectedCertificate) {
    CertificateSpec hostSpec;
    hostSpec.commonName = "host.corp.example";
    hostSpec.dnsNames = {"host.corp.example"};
    TestCertificate host = TestPki::selfSigned(hostSpec);
    root.write("host.pem", host.pem() + host.keyPem());
    LabBuilder builder;
    builder.wiredAdapter(1, "eth0");
    builder.add("certificateStore", {{"store", "LOCAL_MACHINE/MY"}, {"file", "host.pem"}});
    startLab(builder);
    onEngine([&] {
        std::vector<Certificate> list = certificates(CertificateStore::machinePersonal());
        ASSERT_EQ(list.size(), 1U);
        Certificate certificate = list.front();
        certificate.createHandle();
        certificate.populateX509();
        Network network = Network::create(Ascii("Office"));
        NetworkCredentialResponder& responder = network.impl()->m_responder;
        for (std::int32_t type : {AdapterConstants::CONNECTION_MACHINE, AdapterConstants::CONNECTION_USER}) {
            network.impl()->m_session.m_currentConnectionType = type;
            responder.useCertificate(certificate);
            responder.identityFromCertificate();
            CredentialProxy identity = network.getAuthenticationParameters(type).getIdentity();
            ASSERT_TRUE(identity.exists());
            EXPECT_STREQ(identity.credential().identity().text(), type == AdapterConstants::CONNECTION_MACHINE
                                                                      ? "host@corp.example"
                                                                      : certificate.certificateName().text());
        }
        responder.dropCertificate();
        certificate.destroyHandle();
        network.impl()->clearReferences();
    });
}

}  // namespace
}  // namespace tamsel::test
