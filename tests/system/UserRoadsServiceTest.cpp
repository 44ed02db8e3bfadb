// Roads a user takes, end to end: the real service on a lab of the test's own and a signed
// administrator file, watched by a tray program on the pipe, in its log, its files and the lab's
// record of the library's calls.
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

namespace {

using tamsel::test::AdministratorFile;
using tamsel::test::LabBuilder;
using tamsel::test::LabClient;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

const std::vector<std::string> OK = {"ok"};

std::string pki(const char* file) {
    return std::string(TEST_PKI) + "/" + file;
}

// An administrator file with the networks given in one group.
std::string configuration(const std::string& networks) {
    AdministratorFile file;
    file.eapMethods = "<eapPeap/><eapTls/><eapMschapv2/><eapFast/>";
    return file.text(networks);
}

// A wired 802.1X network of the authentication given (machine, user or both).
std::string wiredNetwork(const std::string& name, const std::string& authentication) {
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
std::string peap(const std::string& identity, const std::string& passwordSource) {
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
std::string userEapTls(const std::string& allowedSources) {
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
      <cachePinForSmartcard><tilLogout/></cachePinForSmartcard>
    </withCertificate>
  </collectionBehavior>
</userAuthentication>
)";
}

// The lab's wired port with its address; the authenticator is the test's.
LabBuilder wiredLab(LabBuilder::Attributes authenticator) {
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
std::vector<int> positionsOf(const std::string& log, const std::string& start) {
    std::vector<int> at;
    std::vector<std::string> lines = messages(log);
    for (int i = indexOf(lines, start); i >= 0; i = indexOf(lines, start, i + 1)) at.push_back(i);
    return at;
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

// 9: the machine sleeps and wakes. The service logs both broadcasts, tells its networks of the
// resume, and the wired 802.1X network authenticates again and is connected; the tray hears it.
TEST_F(UserRoadsTest, AfterSuspendAndResumeTheWiredNetworkAuthenticatesAgain) {
    start(
        wiredLab({{"method", "peap"}, {"inner", "mschapv2"}, {"identity", "alice"}, {"password", "secret"}}),
        wiredNetwork(
            "Wired-PEAP",
            "<machineAuthentication>" +
                peap("alice", R"(<passwordFromProfile encryptContent="true">secret</passwordFromProfile>)") +
                "</machineAuthentication>\n"));
    PipeRecorder tray(connectClient());
    ASSERT_TRUE(connected("Wired-PEAP")) << root.logText();
    ASSERT_TRUE(heardConnected(tray)) << testing::PrintToString(tray.networkStates());
    const size_t before = tray.networkStates().size();

    ASSERT_EQ(lab("power suspend"), OK);
    ASSERT_TRUE(logged("PowerEvent recvd: PBT_APMSUSPEND, type=4, VEL_POWER_EVENT_SUSPEND"))
        << root.logText();
    ASSERT_EQ(lab("power resume"), OK);
    ASSERT_TRUE(logged("PowerEvent recvd: PBT_APMRESUMEAUTOMATIC, type=18, VEL_POWER_EVENT_RESUME"))
        << root.logText();
    ASSERT_TRUE(connected("Wired-PEAP", 2)) << root.logText();
    ASSERT_TRUE(heardConnected(tray, before)) << testing::PrintToString(tray.networkStates());

    // The configuration enters its state after the network's.
    std::string log = readWhen([&] { return root.logText(); },
                               [](const std::string& text) { return topStates(text).size() >= 5; });
    // Only the resume reaches the network, which authenticates once more from the start.
    EXPECT_EQ(countOf(log, "ServicePowerImpl::notifySubscribers(),# of subscribers: 1\n"), 1) << log;
    EXPECT_EQ(calls("qxCredSessionStart").size(), 2U);
    std::vector<int> resume = positionsOf(log, "ServicePowerImpl::notifySubscribers()");
    std::vector<int> sessions = positionsOf(log, "Starting new authentication session");
    ASSERT_EQ(resume.size(), 1U);
    ASSERT_EQ(sessions.size(), 2U);
    EXPECT_LT(positionsOf(log, "PowerEvent recvd: PBT_APMSUSPEND")[0], resume[0]);
    EXPECT_LT(sessions[0], resume[0]);
    EXPECT_LT(resume[0], sessions[1]);
    EXPECT_THAT(
        newStates(log, "Wired-PEAP", "AccessStateMachine"),
        ElementsAre("ACCESS_STARTED", "ACCESS_ATTACHED", "ACCESS_CONNECTING", "ACCESS_AUTHENTICATED",
                    "ACCESS_CONNECTED", "ACCESS_CONNECTING", "ACCESS_AUTHENTICATED", "ACCESS_CONNECTED"));
    EXPECT_THAT(topStates(log), ElementsAre("STARTED", "CONNECTING", "CONNECTED", "CONNECTING", "CONNECTED"));
    stopInOrder(tray, 2);
}

// 5: the machine authenticates with its own account at start; the user's logon through the lab's
// logon client brings single sign-on with the logon's name and password and the user's connection;
// the logoff brings the machine's connection back.
TEST_F(UserRoadsTest, TheMachineConnectsThenTheUsersLogonThenTheMachineAgainAfterLogoff) {
    start(
        wiredLab({{"method", "peap"},
                  {"inner", "mschapv2"},
                  {"identity", "alice"},
                  {"password", "secret"},
                  {"machineIdentity", "host/lab-pc"},
                  {"machinePassword", "machine-secret"}}),
        wiredNetwork(
            "Wired-SSO",
            "<machineUserAuthentication>\n<machine>\n" +
                peap("host/lab-pc",
                     R"(<passwordFromProfile encryptContent="true">machine-secret</passwordFromProfile>)") +
                "</machine>\n<user>\n<authenticationMethod>\n" + peap("[username]", "<passwordFromLogon/>") +
                "</authenticationMethod>\n<collectionBehavior><withPassword/></collectionBehavior>\n"
                "</user>\n</machineUserAuthentication>\n"));
    PipeRecorder tray(connectClient());
    ASSERT_TRUE(connected("Wired-SSO")) << root.logText();
    ASSERT_TRUE(heardConnected(tray)) << testing::PrintToString(tray.networkStates());
    EXPECT_THAT(newStates(logWithStates("Wired-SSO", "NetworkStateMachine", 2), "Wired-SSO", "NetworkStateMachine"),
                ElementsAre("MACHINE_T_DISCONNECTED", "MACHINE_T_NOT_DISCONNECTED"));

    ASSERT_EQ(lab("logon alice secret CORP"), OK);
    ASSERT_TRUE(connected("Wired-SSO", 2)) << root.logText();
    std::string log = logWithStates("Wired-SSO", "NetworkStateMachine", 3);
    EXPECT_GE(countOf(log, "Getting credentials from logon.\n"), 1) << log;
    EXPECT_THAT(
        newStates(log, "Wired-SSO", "NetworkStateMachine"),
        ElementsAre("MACHINE_T_DISCONNECTED", "MACHINE_T_NOT_DISCONNECTED", "USER_T_NOT_DISCONNECTED"));

    ASSERT_EQ(lab("logoff"), OK);
    ASSERT_TRUE(connected("Wired-SSO", 3)) << root.logText();
    ASSERT_TRUE(heardConnected(tray)) << testing::PrintToString(tray.networkStates());
    log = logWithStates("Wired-SSO", "NetworkStateMachine", 4);
    std::vector<std::string> lines = messages(log);
    // Logon, single sign-on and logoff in their order, each followed by its authentication.
    int logon = indexOf(lines, "User is attempting to logon.");
    int user = indexOf(lines, "Requesting user authentication pre-logon.", logon);
    int sso = indexOf(lines, "User logon and password received from user.", user);
    int userConnected =
        indexOf(lines, "Network Wired-SSO: AccessStateMachine new state = ACCESS_CONNECTED", sso);
    int machine = indexOf(lines, "Requesting machine authentication pre-logon.", userConnected);
    int machineConnected =
        indexOf(lines, "Network Wired-SSO: AccessStateMachine new state = ACCESS_CONNECTED", machine);
    EXPECT_GE(logon, 0) << log;
    EXPECT_GT(user, logon);
    EXPECT_GT(sso, user);
    EXPECT_GT(userConnected, sso);
    EXPECT_GT(machine, userConnected);
    EXPECT_GT(machineConnected, machine);
    EXPECT_THAT(newStates(log, "Wired-SSO", "NetworkStateMachine"),
                ElementsAre("MACHINE_T_DISCONNECTED", "MACHINE_T_NOT_DISCONNECTED", "USER_T_NOT_DISCONNECTED",
                            "MACHINE_T_NOT_DISCONNECTED"));
    // The server took three sessions, none refused.
    EXPECT_EQ(calls("qxCredSessionStart").size(), 3U);
    EXPECT_EQ(countOf(log, "Authentication Failed"), 0) << log;
    // The tray heard the end of the pre-logon phase, the logon component being asked for the logon's
    // credentials, and each of the three connections.
    EXPECT_THAT(tray.children("logonEvent", "eventType"), ElementsAre("preLogonDone"));
    EXPECT_EQ(tray.count("getLogonUsernameAndPasswordRequest"), 1U);
    std::vector<std::string> states = tray.networkStates();
    EXPECT_EQ(std::count(states.begin(), states.end(), "connected"), 3) << testing::PrintToString(states);
    stopInOrder(tray, 4);
}

// 6: EAP-TLS with the user's certificate from the user's own store of the lab, read wearing the
// logged-on user's token: the one certificate there is chosen, its name is the identity and the
// server takes it.
TEST_F(UserRoadsTest, TheUsersCertificateFromTheirStoreAuthenticatesEapTls) {
    LabBuilder world =
        wiredLab({{"method", "tls"}, {"identity", "alice"}, {"clientCa", pki(tamsel::test::pki::CA)}});
    world.add("certificateStore", {{"store", "CURRENT_USER/MY"},
                                   {"file", pki(tamsel::test::pki::USER_P12)},
                                   {"password", tamsel::test::pki::PASSWORD}});
    start(world, wiredNetwork("Wired-TLS", userEapTls("smartCardOrOsCertificate")));
    PipeRecorder tray(connectClient());
    ASSERT_EQ(lab("logon alice secret CORP"), OK);
    ASSERT_TRUE(connected("Wired-TLS")) << root.logText();
    ASSERT_TRUE(heardConnected(tray)) << testing::PrintToString(tray.networkStates());

    std::string log = readWhen([&] { return root.logText(); }, [](const std::string& text) {
        const std::vector<std::string> states = newStates(text, "Wired-TLS", "NetworkStateMachine");
        return !states.empty() && states.back() == "USER_T_NOT_DISCONNECTED";
    });
    EXPECT_EQ(countOf(log, "User certificate list has been created (1 certificate(s))\n"), 1) << log;
    EXPECT_EQ(countOf(log, "Setting identity alice@corp.example from user certificate "), 1) << log;
    EXPECT_EQ(countOf(log, "Sending user certificate response to qxAuth: "), 1) << log;
    EXPECT_THAT(log, HasSubstr("Complete client certificate chain has been built"));
    EXPECT_EQ(calls("qxCredUserCert").size(), 1U);
    EXPECT_EQ(countOf(log, "Authentication Failed"), 0) << log;
    EXPECT_THAT(tray.children("networkStateEvent", "outerEapMethod"), testing::Contains("eapTls"));
    EXPECT_THAT(newStates(log, "Wired-TLS", "AccessStateMachine"),
                ElementsAre("ACCESS_STARTED", "ACCESS_ATTACHED", "ACCESS_CONNECTING", "ACCESS_AUTHENTICATED",
                            "ACCESS_CONNECTED"));
    EXPECT_THAT(newStates(log, "Wired-TLS", "NetworkStateMachine").back(), "USER_T_NOT_DISCONNECTED");
    stopInOrder(tray, 4);
}

// 7: EAP-FAST. The first connection provisions a PAC without authentication and saves it in the
// internal configuration file; after a restart the service hands that PAC to the server, which
// skips provisioning, and connects.
TEST_F(UserRoadsTest, AnEapFastPacProvisionedOnceIsUsedAfterARestart) {
    start(wiredLab({{"method", "fast"},
                    {"inner", "mschapv2"},
                    {"identity", "alice"},
                    {"password", "secret"},
                    {"provisioning", "unauthenticated"}}),
          wiredNetwork("Wired-FAST", R"(<machineAuthentication>
  <eapFast>
    <doNotValidateServerCertificate/>
    <unprotectedIdentityPattern encryptContent="true">anonymous</unprotectedIdentityPattern>
    <disableFastReconnect/>
    <usePac>
      <allowUnauthPacProvisioning>true</allowUnauthPacProvisioning>
      <validateWithSpecificPacs/>
    </usePac>
    <enablePosture>false</enablePosture>
    <authMethods><builtinMethods><authenticateWithPassword>
      <protectedIdentityPattern encryptContent="true">alice</protectedIdentityPattern>
      <passwordSource><passwordFromProfile encryptContent="true">secret</passwordFromProfile></passwordSource>
      <methods><eapMschapv2/></methods>
    </authenticateWithPassword></builtinMethods></authMethods>
  </eapFast>
</machineAuthentication>
)"));
    {
        PipeRecorder tray(connectClient());
        ASSERT_TRUE(connected("Wired-FAST")) << root.logText();
        ASSERT_TRUE(heardConnected(tray)) << testing::PrintToString(tray.networkStates());
        std::string log = root.logText();
        EXPECT_EQ(countOf(log, "Completed unauthenticated provisioning.\n"), 1) << log;
        EXPECT_EQ(countOf(log, "Saving PAC  for iid: alice\n"), 1) << log;
        EXPECT_EQ(countOf(log, "Requested tunnel pac was sent.\n"), 1)
            << "the new PAC opens the second round";
        // The administrator finds the PAC kept for the network, enciphered.
        std::string saved = readText(root.file("system/internalConfiguration.xml"));
        EXPECT_THAT(saved, HasSubstr("<networkName>Wired-FAST</networkName>"));
        EXPECT_THAT(saved, HasSubstr("<credential>"));
        EXPECT_THAT(saved, Not(HasSubstr("alice")));
        ASSERT_EQ(restartService(), 0) << service->output();
        // The first run's pipe is gone with it.
        tray.join();
        clients.clear();
    }

    PipeRecorder tray(connectClient());
    ASSERT_TRUE(connected("Wired-FAST")) << root.logText();
    EXPECT_THAT(root.logText("PreviousLog1.txt"), HasSubstr("Normal Shutdown"));
    ASSERT_TRUE(heardConnected(tray)) << testing::PrintToString(tray.networkStates());
    std::string log = root.logText();
    EXPECT_EQ(countOf(log, "Requested tunnel pac was sent.\n"), 1) << log;
    EXPECT_EQ(countOf(log, "Sent Null pac."), 0) << log;
    EXPECT_EQ(countOf(log, "provisioning."), 0) << log;
    EXPECT_EQ(countOf(log, "Saving PAC"), 0) << log;
    EXPECT_EQ(countOf(log, "No PACs requested"), 0) << "a PAC that opens the tunnel asks for no types";
    EXPECT_EQ(calls("qxCredEapFASTPac").size(), 1U);
    EXPECT_EQ(calls("qxCredEapFASTProvisionModes").size(), 0U);
    EXPECT_THAT(newStates(log, "Wired-FAST", "AccessStateMachine"),
                ElementsAre("ACCESS_STARTED", "ACCESS_ATTACHED", "ACCESS_CONNECTING", "ACCESS_AUTHENTICATED",
                            "ACCESS_CONNECTED"));
    stopInOrder(tray, 2);
}

// 6, the card: EAP-TLS with the certificate of a smart card. The service asks the tray for the
// card's PIN; the tray's answer, written as the tray's PIN window writes it, opens the card's key and
// the network connects. Taken out, the card's certificate is no longer usable: the next
// authentication fails and the tray hears the failure.
TEST_F(UserRoadsTest, ASmartCardWithItsPinConnectsAndOnceRemovedFails) {
    LabBuilder world =
        wiredLab({{"method", "tls"}, {"identity", "alice"}, {"clientCa", pki(tamsel::test::pki::CA)}});
    world.add("smartCard", {{"id", "card1"},
                            {"name", "Alice card"},
                            {"file", pki(tamsel::test::pki::CARD_P12)},
                            {"pin", tamsel::test::pki::CARD_PIN}});
    start(world, wiredNetwork("Wired-Card", userEapTls("smartCardOnlyCertificate")));
    PipeClient& client = connectClient();
    PipeRecorder tray(client);
    ASSERT_EQ(lab("logon alice secret CORP"), OK);
    ASSERT_TRUE(waitFor([&] { return tray.count("getSmartCardPinRequest") == 1; })) << root.logText();
    PipeMessageBody asked = tray.named("getSmartCardPinRequest")[0];
    EXPECT_EQ(asked.child("groupName"), "Office");
    EXPECT_EQ(asked.child("networkName"), "Wired-Card");
    EXPECT_EQ(asked.child("smartCardName"), "Alice card");
    EXPECT_FALSE(root.logText().find("ACCESS_AUTHENTICATED") != std::string::npos)
        << "nothing goes on without the PIN";

    SoapRequest answer(QStringLiteral("getSmartCardPinResponse"));
    answer.addRequestParam(QStringLiteral("groupName"), QStringLiteral("Office"));
    answer.addRequestParam(QStringLiteral("networkName"), QStringLiteral("Wired-Card"));
    answer.addRequestParam(QStringLiteral("pin"), QString::fromLatin1(tamsel::test::pki::CARD_PIN));
    answer.endRequest();
    client.send(answer.text().toStdString());
    ASSERT_TRUE(connected("Wired-Card")) << root.logText();
    ASSERT_TRUE(heardConnected(tray)) << testing::PrintToString(tray.networkStates());
    std::string log = root.logText();
    EXPECT_EQ(countOf(log, "Received SmartCard PIN response from user\n"), 1) << log;
    EXPECT_EQ(countOf(log, "Loading client certificate private key with PIN...\n"), 1) << log;
    EXPECT_EQ(countOf(log, "Sending user certificate response to qxAuth: "), 1) << log;
    EXPECT_EQ(calls("qxCredUserCert").size(), 1U);

    // The card goes; the port comes up again and authenticates without it.
    const size_t before = tray.networkStates().size();
    ASSERT_EQ(lab("card remove card1"), OK);
    ASSERT_TRUE(logged("removed from the list and marked as unusable")) << root.logText();
    ASSERT_EQ(lab("link eth0 down"), OK);
    ASSERT_EQ(lab("link eth0 up"), OK);
    ASSERT_TRUE(logged("Authentication Failed")) << root.logText();
    ASSERT_TRUE(waitFor([&] {
        std::vector<std::string> states = tray.networkStates();
        return states.size() > before && states.back() != "connected";
    })) << testing::PrintToString(tray.networkStates());
    log = root.logText();
    EXPECT_EQ(countOf(log, "Sending user certificate response to qxAuth: "), 1) << log;
    EXPECT_EQ(countOf(log, "Internal error"), 0) << log;
    stopInOrder(tray, 4);
}

}  // namespace
