// Roads a user takes, end to end: the real service on a lab of the test's own and a signed
// administrator file, watched by a tray program on the pipe, in its log, its files and the lab's
// record of the library's calls.
#include "tests/system/UserRoadsFixture.h"

namespace {

using namespace userroads;
using tamsel::test::LabBuilder;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

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

    answerPin(client, "Wired-Card", tamsel::test::pki::CARD_PIN);
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
