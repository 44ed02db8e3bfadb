#pragma once
// The roads a user takes, end to end: the real service on a lab of the test's own and a signed
// administrator file, watched by a tray program on the pipe, in its log, its files and the lab's
// record of the library's calls. The fixture and the pieces of configuration its tests share.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gui/client/SoapRequest.h"
#include "tests/keys/ConfigurationSigner.h"
#include "tests/support/AdministratorFile.h"
#include "tests/support/LabBuilder.h"
#include "tests/support/TestPki.h"
#include "tests/system/LabClient.h"
#include "tests/system/PipeRecorder.h"
#include "tests/system/ServiceClientTest.h"
#include "tests/system/ServiceLog.h"

namespace userroads {

using tamsel::test::AdministratorFile;
using tamsel::test::LabBuilder;
using tamsel::test::LabClient;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

const std::vector<std::string> OK = {"ok"};

inline std::string pki(const char* file) {
    return std::string(TEST_PKI) + "/" + file;
}

// An administrator file with the networks given in one group.
inline std::string configuration(const std::string& networks) {
    AdministratorFile file;
    file.eapMethods = "<eapPeap/><eapTls/><eapMschapv2/><eapFast/>";
    return file.text(networks);
}

// A wired 802.1X network of the authentication given (machine, user or both).
inline std::string wiredNetwork(const std::string& name, const std::string& authentication) {
    return R"(      <wiredNetwork>
        <displayName>)" +
           name + R"(</displayName>
        <connectionTimeout>40</connectionTimeout>
        <authenticationNetwork>
)" + authentication +
           R"(          <setting802.1x><authPeriod>30</authPeriod><heldPeriod>1</heldPeriod><startPeriod>30</startPeriod><maxStart>3</maxStart></setting802.1x>
        </authenticationNetwork>
      </wiredNetwork>
)";
}

// PEAP with MSCHAPv2 inside, the given identity and password source.
inline std::string peap(const std::string& identity, const std::string& passwordSource) {
    return R"(<eapPeap>
  <doNotValidateServerCertificate/>
  <unprotectedIdentityPattern encryptContent="true">anonymous</unprotectedIdentityPattern>
  <disableFastReconnect/>
  <authMethods><builtinMethods><authenticateWithPassword>
    <protectedIdentityPattern encryptContent="true">)" +
           identity + R"(</protectedIdentityPattern>
    <passwordSource>)" +
           passwordSource + R"(</passwordSource>
    <methods><eapMschapv2/></methods>
  </authenticateWithPassword></builtinMethods></authMethods>
</eapPeap>
)";
}

// EAP-TLS with the user's certificate, from the sources the element names.
inline std::string userEapTls(const std::string& allowedSources, const std::string& pinKept = "tilLogout") {
    return R"(<userAuthentication>
  <authenticationMethod>
    <eapTls>
      <doNotValidateServerCertificate/>
      <unprotectedIdentityPattern encryptContent="true">[username]</unprotectedIdentityPattern>
      <disableFastReconnect/>
      <certificateSource><certificateFromUser/></certificateSource>
    </eapTls>
  </authenticationMethod>
  <collectionBehavior>
    <withCertificate>
      <cacheCertificateFromUser><forever/></cacheCertificateFromUser>
      <allowedCertSourceFromUser><)" +
           allowedSources + R"(/></allowedCertSourceFromUser>
      <cachePinForSmartcard><)" +
           pinKept + R"(/></cachePinForSmartcard>
    </withCertificate>
  </collectionBehavior>
</userAuthentication>
)";
}

// The lab's wired port with its address; the authenticator is the test's.
inline LabBuilder wiredLab(LabBuilder::Attributes authenticator) {
    LabBuilder lab;
    lab.wiredAdapter(1, "eth0", {{"link", "up"}, {"speed", "1000"}});
    authenticator.insert(authenticator.begin(), {"on", "eth0"});
    authenticator.push_back({"serverCertificate", pki(tamsel::test::pki::SERVER)});
    authenticator.push_back({"serverKey", pki(tamsel::test::pki::SERVER_KEY)});
    lab.add("authenticator", authenticator);
    lab.add("dhcp", {{"on", "eth0"},
                     {"address", "192.0.2.10"},
                     {"mask", "255.255.255.0"},
                     {"gateway", "192.0.2.1"},
                     {"server", "192.0.2.1"}});
    return lab;
}

// The lines of the log that start with the text, in order of their messages.
inline std::vector<int> positionsOf(const std::string& log, const std::string& start) {
    std::vector<int> at;
    std::vector<std::string> lines = messages(log);
    for (int i = indexOf(lines, start); i >= 0; i = indexOf(lines, start, i + 1)) at.push_back(i);
    return at;
}

// The tray's answer to a PIN request, written as its PIN window writes it.
inline void answerPin(PipeClient& client, const std::string& network, const std::string& pin) {
    SoapRequest answer(QStringLiteral("getSmartCardPinResponse"));
    answer.addRequestParam(QStringLiteral("groupName"), QStringLiteral("Office"));
    answer.addRequestParam(QStringLiteral("networkName"), QString::fromStdString(network));
    answer.addRequestParam(QStringLiteral("pin"), QString::fromStdString(pin));
    answer.endRequest();
    client.send(answer.text().toStdString());
}

class UserRoadsTest : public ServiceClientTest {
protected:
    // Each test starts the service on its own lab and configuration.
    void SetUp() override {}

    void start(const LabBuilder& lab, const std::string& networks) {
        m_lab = lab.text();
        m_networks = networks;
        ServiceClientTest::SetUp();
    }
    // Signing needs the run-time.
    void prepareRoot() override {
        root.write("lab.xml", m_lab);
        root.write("system/configuration.xml",
                   ConfigurationSigner::sign(configuration(m_networks),
                                             ConfigurationSigner::readFile(TAMSEL_TEST_PRIVATE_KEY)));
    }
    std::vector<std::string> lab(const std::string& command) {
        LabClient client(root.file("run/lab"));
        return client.command(command);
    }
    // The library calls the lab recorded that start with the name.
    std::vector<std::string> calls(const std::string& name) {
        std::vector<std::string> out;
        for (const std::string& call : lab("calls"))
            if (call.rfind(name + "(", 0) == 0) out.push_back(call);
        return out;
    }
    bool logged(const std::string& line, int times = 1) {
        return waitFor([&] { return countOf(root.logText(), line) >= times; });
    }
    bool connected(const std::string& network, int times = 1) {
        return logged("Network " + network + ": AccessStateMachine new state = ACCESS_CONNECTED", times);
    }
    // The log once the network's machine logged this many new states: the machine's state may be
    // logged after the access machine's, and the log has a thread of its own.
    std::string logWithStates(const std::string& network, const std::string& machine, size_t states) {
        return readWhen([&] { return root.logText(); },
                        [&](const std::string& text) { return newStates(text, network, machine).size() >= states; });
    }
    // The tray heard the network connected, after the events it had heard before.
    static bool heardConnected(PipeRecorder& tray, size_t before = 0) {
        return waitFor([&] {
            std::vector<std::string> states = tray.networkStates();
            return states.size() > before && states.back() == "connected";
        });
    }

    // The end of every road: Ctrl+C, a whole run in order, and nothing the service could not handle.
    void stopInOrder(PipeRecorder& tray, size_t connectionThreads) {
        ASSERT_EQ(stopService(), 0) << service->output();
        tray.join();
        clients.clear();
        std::string log = root.logText();
        expectOrderedRun(log, connectionThreads);
        EXPECT_THAT(log, Not(HasSubstr("FATAL")));
    }

private:
    std::string m_lab;
    std::string m_networks;
};

}  // namespace userroads
