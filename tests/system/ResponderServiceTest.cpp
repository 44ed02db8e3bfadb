// 802.1X machine connections of the real service on a lab with an authenticator on the wired port:
// the network answers the authentication library from the profile and the machine's certificate
// store, and checks the server against the profile's rules.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <cctype>
#include <memory>
#include <optional>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

#include "runtime/lum/Log.h"
#include "runtime/lum/LumMain.h"
#include "tests/keys/ConfigurationSigner.h"
#include "tests/support/AdministratorFile.h"
#include "tests/support/LabBuilder.h"
#include "tests/support/TestPki.h"
#include "tests/system/ServiceLog.h"
#include "tests/system/ServiceProcess.h"

namespace {

using tamsel::test::AdministratorFile;
using tamsel::test::CertificateSpec;
using tamsel::test::LabBuilder;
using tamsel::test::TestCertificate;
using tamsel::test::TestPki;
namespace pki = tamsel::test::pki;

std::string pkiFile(const char* name) {
    return std::string(TEST_PKI) + "/" + name;
}

// One group holding one wired machine network with the given method, in a signed administrator file.
std::string configurationWith(const std::string& method) {
    std::string network = R"(      <wiredNetwork>
        <displayName>Wired-1X</displayName>
        <connectionTimeout>40</connectionTimeout>
        <authenticationNetwork>
          <machineAuthentication>)" +
                          method + R"(</machineAuthentication>
          <setting802.1x><authPeriod>30</authPeriod><heldPeriod>60</heldPeriod><startPeriod>30</startPeriod><maxStart>3</maxStart></setting802.1x>
        </authenticationNetwork>
      </wiredNetwork>
)";
    return ConfigurationSigner::sign(AdministratorFile().text(network),
                                     ConfigurationSigner::readFile(TAMSEL_TEST_PRIVATE_KEY));
}

std::string validation(const std::string& rule, const std::string& chain) {
    return "<validateServerCertificate><serverNameValidationRules>" + rule + "</serverNameValidationRules>" +
           chain + "</validateServerCertificate>";
}
const char* const ANY_CA = "<validateChainWithAnyCaFromOs/>";

std::string peapMachine(const std::string& validateServer) {
    return "<eapPeap>" + validateServer +
           R"(<unprotectedIdentityPattern encryptContent="true">anonymous</unprotectedIdentityPattern>
              <disableFastReconnect/>
              <authMethods><builtinMethods><authenticateWithPassword>
                <protectedIdentityPattern encryptContent="true">host/lab</protectedIdentityPattern>
                <passwordSource><passwordFromProfile encryptContent="true">machine secret</passwordFromProfile></passwordSource>
                <methods><eapMschapv2/></methods>
              </authenticateWithPassword></builtinMethods></authMethods>
            </eapPeap>)";
}

// The wired port's authenticator: PEAP-MSCHAPv2 for the machine with the standard server.
LabBuilder peapLab() {
    LabBuilder lab;
    lab.wiredAdapter(1, "eth0", {{"link", "up"}});
    lab.add("authenticator", {{"on", "eth0"},
                              {"method", "peap"},
                              {"inner", "mschapv2"},
                              {"identity", "host/lab"},
                              {"password", "machine secret"},
                              {"serverCertificate", pkiFile(pki::SERVER)}});
    lab.add("dhcp",
            {{"on", "eth0"}, {"address", "192.0.2.10"}, {"mask", "255.255.255.0"}, {"gateway", "192.0.2.1"}});
    return lab;
}

class ResponderService : public testing::Test {
protected:
    // The signer reads the file with the project's XML pieces, which need the run-time.
    void SetUp() override {
        // The test program's own errors and warnings go to its standard output.
        static const LogFileSpec spec = {LogConstants::FOLDER_PROGRAM_DATA,
                                         LogConstants::LEVEL_ERROR | LogConstants::LEVEL_WARNING,
                                         nullptr,
                                         nullptr,
                                         1,
                                         0};
        configureLogFiles(&spec, 1);
        runtime.emplace();
    }
    void start(const std::string& method, const LabBuilder& lab) {
        root.write("system/configuration.xml", configurationWith(method));
        lab.writeTo(root.path() + "/lab.xml");
        service = std::make_unique<ServiceProcess>(root, std::vector<std::string>{"-run"});
        ASSERT_TRUE(service->started());
    }
    void TearDown() override {
        if (service) {
            service->signal(SIGINT);
            EXPECT_EQ(service->waitForExit(), 0) << service->output();
            EXPECT_EQ(countOf(root.logText(), "Internal error"), 0) << root.logText();
            EXPECT_EQ(countOf(root.logText(), "Assertion"), 0) << root.logText();
        }
        runtime.reset();
        EXPECT_EQ(LumMain::leakCount(), 0);
    }
    static bool refused(const std::string& log) {
        return std::regex_search(log, std::regex("ERROR_MSG: .*The configuration is invalid"));
    }
    // Waits for the part; a file the service refused ends the wait at once.
    bool logged(const std::string& part) {
        waitFor([&] {
            std::string log = root.logText();
            return countOf(log, part) >= 1 || refused(log);
        });
        return countOf(root.logText(), part) >= 1;
    }

    TempRoot root;
    std::optional<LumRuntime> runtime;
    std::unique_ptr<ServiceProcess> service;
};

const char* const CONNECTED = "Network Wired-1X: AccessStateMachine new state = ACCESS_CONNECTED";
const char* const SERVER = "CN=radius.corp.example,O=Corp Example";

struct NameRule {
    const char* what;
    const char* rule;
    bool trusted;
};

void PrintTo(const NameRule& rule, std::ostream* out) {
    *out << rule.what;
}

class PeapNameRule : public ResponderService, public testing::WithParamInterface<NameRule> {};

// The machine's password comes from the profile; the server's names decide whether the network
// goes on: a trusted server connects, any other ends the authentication before the password is
// sent and the network does not connect.
TEST_P(PeapNameRule, TheServerNameRuleDecidesAProfilePasswordConnection) {
    const NameRule& c = GetParam();
    LabBuilder lab = peapLab();
    lab.add("certificateStore", {{"store", "LOCAL_MACHINE/ROOT"}, {"file", pkiFile(pki::CA)}});
    start(peapMachine(validation(c.rule, ANY_CA)), lab);
    if (c.trusted) {
        ASSERT_TRUE(logged(CONNECTED)) << root.logText();
        std::string log = root.logText();
        EXPECT_EQ(countOf(log, "]: Server certificate validated: " + std::string(SERVER) + "\n"), 1) << log;
        EXPECT_EQ(countOf(log, "Server certificate invalid"), 0);
        EXPECT_EQ(countOf(log, "AUTH_STATE_CREDENTIAL_SENT -> AUTH_STATE_SUCCESS"), 1) << log;
        return;
    }
    ASSERT_TRUE(logged("Port State HELD")) << root.logText();
    std::string log = root.logText();
    EXPECT_EQ(countOf(log, "]: Server certificate invalid (name mismatch: " + std::string(SERVER) + ")\n"), 1)
        << log;
    EXPECT_EQ(countOf(log, "Server certificate validated"), 0);
    EXPECT_EQ(countOf(log, "Sending password"), 0) << "no password goes to an untrusted server";
    EXPECT_EQ(countOf(log, "ACCESS_AUTHENTICATED"), 0);
    EXPECT_EQ(countOf(log, CONNECTED), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, PeapNameRule,
    testing::Values(
        NameRule{
            "alternative name in the domain",
            R"(<matchSubjectAlternativeName match="endsWith">corp.example</matchSubjectAlternativeName>)",
            true},
        NameRule{"subject exactly", R"(<matchSubject match="exactly">radius.corp.example</matchSubject>)",
                 true},
        NameRule{
            "suffix inside a label",
            R"(<matchSubjectAlternativeName match="endsWith">us.corp.example</matchSubjectAlternativeName>)",
            false},
        NameRule{"another server", R"(<matchSubject match="exactly">radius.example.net</matchSubject>)",
                 false}),
    [](const testing::TestParamInfo<NameRule>& info) {
        std::string name;
        for (const char* c = info.param.what; *c != '\0'; ++c)
            if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
        return name;
    });

// The profile's own CA, given as its certificate's text, trusts the server although no store of
// the machine holds that CA: the library builds the chain with it.
TEST_F(ResponderService, ACaGivenInTheProfileTrustsItsServerWhereNoStoreHoldsIt) {
    const std::string chain = R"(<validateChainWithSpecificCa><certificate reference="false">)" +
                              readText(pkiFile(pki::CA)) + "</certificate></validateChainWithSpecificCa>";
    start(
        peapMachine(validation(R"(<matchSubject match="exactly">radius.corp.example</matchSubject>)", chain)),
        peapLab());
    ASSERT_TRUE(logged(CONNECTED)) << root.logText();
    std::string log = root.logText();
    EXPECT_EQ(countOf(log, "]: Server certificate validated: " + std::string(SERVER) + "\n"), 1) << log;
    EXPECT_EQ(countOf(log, "Can not"), 0) << log;
}

// A machine certificate for EAP-TLS: the store holds one without client authentication first and
// the right one after it; the score picks the second, which the authenticator's CA issued.
TEST_F(ResponderService, AnEapTlsMachineConnectionPicksItsCertificateByScore) {
    CertificateSpec caSpec;
    caSpec.commonName = "Machines CA";
    caSpec.ca = true;
    TestCertificate ca = TestPki::selfSigned(caSpec);
    CertificateSpec hostSpec;
    hostSpec.commonName = "host.corp.example";
    hostSpec.dnsNames = {"host.corp.example"};
    hostSpec.extendedUsages = {tamsel::test::EKU_CLIENT_AUTH};
    hostSpec.keyUsage = 1 | 4;
    TestCertificate host = TestPki::issue(hostSpec, ca);
    CertificateSpec otherSpec;
    otherSpec.commonName = "old.corp.example";
    otherSpec.dnsNames = {"old.corp.example"};
    TestCertificate other = TestPki::selfSigned(otherSpec);
    root.write("machines-ca.pem", ca.pem());
    root.write("host.pem", host.pem() + host.keyPem());
    root.write("old.pem", other.pem() + other.keyPem());

    LabBuilder lab;
    lab.wiredAdapter(1, "eth0", {{"link", "up"}});
    lab.add("authenticator", {{"on", "eth0"},
                              {"method", "tls"},
                              {"identity", "host@corp.example"},
                              {"serverCertificate", pkiFile(pki::SERVER)},
                              {"clientCa", "machines-ca.pem"}});
    lab.add("dhcp",
            {{"on", "eth0"}, {"address", "192.0.2.10"}, {"mask", "255.255.255.0"}, {"gateway", "192.0.2.1"}});
    lab.add("certificateStore", {{"store", "LOCAL_MACHINE/ROOT"}, {"file", pkiFile(pki::CA)}});
    lab.add("certificateStore", {{"store", "LOCAL_MACHINE/MY"}, {"file", "old.pem"}});
    lab.add("certificateStore", {{"store", "LOCAL_MACHINE/MY"}, {"file", "host.pem"}});
    start(
        R"(<eapTls>)" +
            validation(R"(<matchSubject match="exactly">radius.corp.example</matchSubject>)", ANY_CA) +
            // The identity comes from the chosen certificate.
            R"(<unprotectedIdentityPattern encryptContent="true">[username]@[domain]</unprotectedIdentityPattern>
                 <disableFastReconnect/>
                 <certificateSource><certificateFromMachine/></certificateSource>
               </eapTls>)",
        lab);
    ASSERT_TRUE(logged(CONNECTED)) << root.logText();
    std::string log = root.logText();
    EXPECT_EQ(
        countOf(log, "]: Using machine certificate " + host.hashHex() + " issued to host.corp.example\n"), 1)
        << log;
    EXPECT_EQ(countOf(log, "]: Server certificate validated: " + std::string(SERVER) + "\n"), 1) << log;
}

}  // namespace
