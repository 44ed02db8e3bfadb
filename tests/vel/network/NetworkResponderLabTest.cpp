#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "tests/support/TestText.h"
#include "tests/vel/port/CredentialTestSupport.h"
#include "tests/vel/port/RequestMakerPortTest.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/network/Network.h"

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
class NetworkResponderLabTest : public RequestMakerPortTest, public testing::WithParamInterface<Case> {
protected:
    void TearDown() override {
        onEngine([this] {
            if (!network.isNull()) {
                network.impl()->clearReferences();
                network.reset();
            }
        });
        if (follower != nullptr) follower->release();
        RequestMakerPortTest::TearDown();
    }

    NetworkFollowerImpl* follower = nullptr;
    Network network;
};

TEST_P(NetworkResponderLabTest, TheServerNameRuleDecidesTheAuthentication) {
    const Case& c = GetParam();
    writeServerCertificates(root);
    startLab(peapLab("LOCAL_MACHINE/ROOT"));
    makeManager(1);
    onEngine([&] {
        network = Network::create(Ascii("Office"));
        network.setFlagB(true);
        network.setNetworkMedia(NetworkImpl::MEDIA_WIRED);
        network.setConnectionTypes(NetworkImpl::CONNECTION_TYPES_USER);
        AuthenticationParameters user =
            network.getAuthenticationParameters(AdapterConstants::CONNECTION_USER);
        AuthenticationMethod peap = AuthenticationMethod::ofType(25);
        peap.setCredentialType(1);
        peap.setValidateServerCertificate(true);
        peap.addInnerAuthenticationMethod(AuthenticationMethod::ofType(26));
        user.addAuthenticationMethod(peap);
        user.setCredentialType(1);
        // The profile names the identities outright.
        user.setUnprotectedIdentityPattern("anonymous");
        user.setProtectedIdentityPattern("alice");
        user.setPasswordOrKeyCredential(Credential::newPassword("secret"));
        ElementVector rules = ElementVector::create();
        rules.add(TrustedServerRule::create(0, c.how, c.rule).m);
        user.setValidationParameters(
            CertificateValidationParameters::create(false, rules, true, ElementVector::create()));
        network.impl()->m_session.m_currentConnectionType = AdapterConstants::CONNECTION_USER;
        follower = new NetworkFollowerImpl(network);
        adapter.addSubscriber(follower);
        manager.auth(0);
    });
    runToOutcome();
    std::string text = log();
    EXPECT_NE(text.find("Port State " + std::string(c.outcome)), std::string::npos)
        << c.what << "\n"
        << text.substr(text.size() - std::min<size_t>(text.size(), 4000));
    EXPECT_NE(text.find(c.line), std::string::npos) << c.what;
    size_t internal = text.find("Internal error");
    EXPECT_EQ(internal, std::string::npos)
        << c.what << "\n"
        << text.substr(internal == std::string::npos ? 0 : internal - std::min<size_t>(internal, 1500), 2500);
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
