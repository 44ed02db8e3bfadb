// The user's and the logon client's answers reach the running service: a password typed in one of
// several tray programs, the logon client's credentials, the VPN's credentials and banner, and a
// location request, each followed through the real service on a lab to the state it leads to.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/keys/ConfigurationSigner.h"
#include "tests/support/AdministratorFile.h"
#include "tests/support/LabBuilder.h"
#include "tests/support/TestPki.h"
#include "tests/system/LabClient.h"
#include "tests/system/PipePeer.h"
#include "tests/system/ServiceClientTest.h"
#include "tests/system/ServiceLog.h"
#include "vel/credmgr/StoredCredentialText.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

namespace {

using lab::MessageChildren;
using tamsel::test::AdministratorFile;
using tamsel::test::LabBuilder;
using tamsel::test::LabClient;
using M = ConnApiMessages;
using ::testing::HasSubstr;
using ::testing::Not;

bool hasState(PipePeer& peer, const std::string& state) {
    return waitFor([&] {
        for (const PipeMessageBody& event : peer.heard("networkStateEvent"))
            if (event.child("networkState") == state) return true;
        return false;
    });
}

// The texts of a network's credentials in the internal file, as the service reads them back.
std::vector<std::string> storedCredentials(const TempRoot& root, const std::string& network) {
    const std::string file = readText(root.path() + "/system/internalConfiguration.xml");
    std::vector<std::string> texts;
    size_t at = file.find("<networkName>" + network + "</networkName>");
    const size_t end = file.find("</network>", at);
    const std::string open = "<credential>", close = "</credential>";
    while (at != std::string::npos && (at = file.find(open, at)) < end) {
        at += open.size();
        const std::string hex = file.substr(at, file.find(close, at) - at);
        ByteArray plain;
        if (StoredCredentialText::decrypt(ByteArray::fromHex(Ascii(hex.c_str())), plain))
            texts.emplace_back(reinterpret_cast<const char*>(plain.bytes()), plain.length());
    }
    return texts;
}

// The log without the threads that the event queue's thread started itself (the VPN client's event
// thread), which must have been joined there too, before the event queue stops.
std::string withoutEngineThreads(const std::string& log) {
    const std::regex exec(R"(\[tid=(\d+)\]: Ostrum:TRACE: context=vel, thread exec, .*thread_id=(\d+)$)");
    const std::regex join(R"(\[tid=(\d+)\]: Ostrum:TRACE: context=vel, thread join, .*thread_id=(\d+)$)");
    std::string eventQueue;
    size_t execs = 0;
    std::set<std::string> own;
    std::string kept;
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);) {
        std::smatch match;
        if (std::regex_search(line, match, exec)) {
            if (execs++ == EVENT_QUEUE_THREAD) eventQueue = match[2];
            if (!eventQueue.empty() && match[1] == eventQueue) {
                own.insert(match[2]);
                continue;
            }
        } else if (std::regex_search(line, match, join) && own.count(match[2]) != 0) {
            EXPECT_EQ(match[1], eventQueue) << line;
            own.erase(match[2]);
            continue;
        } else if (std::regex_search(line, match, join) && match[2] == eventQueue) {
            EXPECT_THAT(own, ::testing::IsEmpty()) << "the event queue stops after its own threads";
        }
        kept += line + "\n";
    }
    return kept;
}

// The tray program's answer to a password request: alice's user name and password for its network.
void answerPassword(PipePeer& tray, const PipeMessageBody& request) {
    tray.send(M::GET_USERNAME_AND_PASSWORD_RESPONSE, std::stoi(request.child("sequenceNumber")),
              {{"groupName", request.child("groupName")},
               {"networkName", request.child("networkName")},
               {"passwordType", request.child("passwordType")},
               {"username", "alice"},
               {"password", "secret"}});
}

class AnswersServiceTest : public ServiceClientTest {
protected:
    void SetUp() override {
        root.write("system/configuration.xml", readText(ANSWERS_CONFIGURATION));
        lab.writeTo(root.path() + "/lab.xml");
        ServiceClientTest::SetUp();
    }
    void TearDown() override {
        // A test that ended early: the service goes, so that every peer's connection ends.
        if (service && service->running()) {
            service->signal(SIGKILL);
            service->waitForExit();
        }
        peers.clear();
        ServiceClientTest::TearDown();
    }

    PipePeer& connectPeer() {
        PipeClient& client = connectClient();
        peers.push_back(std::make_unique<PipePeer>(client));
        return *peers.back();
    }
    // The tray program tells the service that a user is logged on, which the user's networks wait for.
    void startUserSession(PipePeer& tray) {
        tray.send(M::SSO_USER_SESSION_ACTIONS_REQUEST, 1,
                  {{"userTokenHandle", "40"}, {"userLogonProcessId", "41"}});
        ASSERT_TRUE(tray.reply("ssoUserSessionActionsResponse", 1)) << root.logText();
    }
    // How many of the stand-ins' calls so far start so.
    int labCalls(const std::string& start) {
        LabClient control(root.path() + "/run/lab");
        int count = 0;
        for (const std::string& call : control.command("calls"))
            if (call.rfind(start, 0) == 0) ++count;
        return count;
    }
    // Ctrl+C: the service ends in order, with no internal error on the way. Each connection has a
    // reading and a writing thread; other clients are the lab's.
    void stopInOrder(size_t otherClients = 0) {
        EXPECT_EQ(stopService(), 0) << service->output();
        for (const auto& peer : peers) peer->join();
        expectOrderedRun(withoutEngineThreads(root.logText()), 2 * (peers.size() + otherClients));
    }

    // The office with the company's PEAP network on the radio, its point telling where it stands.
    static LabBuilder radioLab() {
        LabBuilder lab;
        lab.wirelessAdapter(2, "wlan0", {{"bands", "bg"}, {"locationCapable", "true"}});
        lab.add("accessPoint", {{"ssid", "corp"},
                                {"bssid", "02:aa:00:00:00:01"},
                                {"channel", "6"},
                                {"signal", "-55"},
                                {"security", "wpa2EnterpriseAes"},
                                {"location", "48.8566,2.3522"},
                                {"locationFormat", "GEO"},
                                {"locationId", "AP-12"},
                                {"locationAccuracy", "10"}});
        lab.add("authenticator",
                {{"on", "corp"},
                 {"method", "peap"},
                 {"inner", "mschapv2"},
                 {"identity", "alice"},
                 {"password", "secret"},
                 {"serverCertificate", std::string(TEST_PKI) + "/" + tamsel::test::pki::SERVER},
                 {"serverKey", std::string(TEST_PKI) + "/" + tamsel::test::pki::SERVER_KEY}});
        lab.add("dhcp", {{"on", "corp"}, {"address", "192.0.2.20"}, {"mask", "255.255.255.0"}});
        return lab;
    }

    // The tray program answers each password request of the company's network until it connects.
    void connectWithPassword(PipePeer& tray) {
        for (size_t asked = 1; asked <= 2; ++asked) {
            std::optional<PipeMessageBody> request = tray.await("getUsernameAndPasswordRequest", asked);
            ASSERT_TRUE(request) << root.logText();
            answerPassword(tray, *request);
        }
        ASSERT_TRUE(hasState(tray, "connected")) << root.logText();
    }

    // The office's wired port, whose authenticator knows alice by her logon.
    static LabBuilder wiredLab() {
        LabBuilder lab;
        lab.wiredAdapter(1, "eth0", {{"link", "up"}});
        lab.add("authenticator",
                {{"on", "eth0"}, {"method", "md5"}, {"identity", "alice"}, {"password", "secret"}});
        lab.add("dhcp", {{"on", "eth0"}, {"address", "192.0.2.10"}, {"mask", "255.255.255.0"}});
        return lab;
    }

    LabBuilder lab = radioLab();
    std::vector<std::unique_ptr<PipePeer>> peers;
};

// The password request goes to every tray program, again to one that connects while it is open, and
// is answered by one of them: the network connects, everybody hears it, the password is kept, and a
// tray program that comes later is asked nothing.
TEST_F(AnswersServiceTest, APasswordAskedOfEveryTrayIsAnsweredByOne) {
    PipePeer& a = connectPeer();
    startUserSession(a);
    std::optional<PipeMessageBody> first = a.await("getUsernameAndPasswordRequest");
    ASSERT_TRUE(first) << root.logText();
    EXPECT_EQ(first->child("groupName"), "Office");
    EXPECT_EQ(first->child("networkName"), "Corp PEAP");

    PipePeer& b = connectPeer();
    std::optional<PipeMessageBody> again = a.await("getUsernameAndPasswordRequest", 2);
    std::optional<PipeMessageBody> toB = b.await("getUsernameAndPasswordRequest");
    ASSERT_TRUE(again && toB) << root.logText();
    EXPECT_NE(again->child("sequenceNumber"), first->child("sequenceNumber"));
    EXPECT_NE(toB->child("sequenceNumber"), first->child("sequenceNumber"));
    EXPECT_EQ(toB->child("networkName"), "Corp PEAP");

    // The user name and password for the outer identity, then the password again for the tunnel's
    // inner method: each request goes to both, and A answers each.
    EXPECT_EQ(again->child("passwordType"), "usernameAndPassword");
    answerPassword(a, *again);
    std::optional<PipeMessageBody> inner = a.await("getUsernameAndPasswordRequest", 3);
    ASSERT_TRUE(inner && b.await("getUsernameAndPasswordRequest", 2)) << root.logText();
    EXPECT_EQ(inner->child("passwordType"), "password");
    answerPassword(a, *inner);
    EXPECT_TRUE(hasState(a, "connected")) << root.logText();
    EXPECT_TRUE(hasState(b, "connected"));
    EXPECT_THAT(storedCredentials(root, "Corp PEAP"),
                ::testing::Contains(::testing::AllOf(HasSubstr("Pwd"), ::testing::EndsWith("secret"))));

    PipePeer& c = connectPeer();
    c.send(M::RESEND_LAST_NETWORK_STATE_EVENT_REQUEST, 5);
    ASSERT_TRUE(c.reply("resendLastNetworkStateEventResponse", 5));
    EXPECT_EQ(c.heard("getUsernameAndPasswordRequest").size(), 0u);
    EXPECT_EQ(a.heard("getUsernameAndPasswordRequest").size(), 3u);
    stopInOrder();
}

// A location request numbered above what the library's 16-bit numbers hold is answered at once and
// its location reaches every tray program under the request's whole number.
TEST_F(AnswersServiceTest, ALocationRequestIsAnsweredThenItsLocationReachesEveryTray) {
    PipePeer& a = connectPeer();
    startUserSession(a);
    connectWithPassword(a);
    PipePeer& b = connectPeer();
    // Answered: the service counts b among its clients.
    b.send(M::RESEND_LAST_NETWORK_STATE_EVENT_REQUEST, 1);
    ASSERT_TRUE(b.reply("resendLastNetworkStateEventResponse", 1));
    a.send(M::GET_LOCATION_REQUEST, 70000,
           {{"locationFormat", "GEO"},
            {"requestSecureResponseOnly", "false"},
            {"locationEncoding", "text"},
            {"requestDigitalSignature", "false"},
            {"requestLocationId", "true"},
            {"locationResolution", "apResolution"}});
    std::optional<PipeMessageBody> reply = a.reply("getLocationResponse", 70000);
    ASSERT_TRUE(reply) << root.logText();
    EXPECT_EQ(reply->children.size(), 1u) << "the sequence number alone";
    for (PipePeer* tray : {&a, &b}) {
        std::optional<PipeMessageBody> event = tray->await("locationResponseEvent");
        ASSERT_TRUE(event) << root.logText();
        EXPECT_EQ(event->child("sequenceNumber"), "70000");
        EXPECT_EQ(event->child("locationFormat"), "GEO");
        EXPECT_EQ(event->child("locationId"), "AP-12");
        EXPECT_EQ(event->child("locationAccuracy"), "10");
    }
    stopInOrder();
}

// A point that cannot tell where it stands answers with an error: the trays hear the request's own
// number and the point's error, each in its own field.
TEST_F(AnswersServiceTest, ALocationErrorReachesTheTraysUnderItsRequestsNumber) {
    PipePeer& a = connectPeer();
    startUserSession(a);
    connectWithPassword(a);
    LabClient control(root.path() + "/run/lab");
    ASSERT_EQ(control.command("set accessPoint bssid=02:aa:00:00:00:01 locationError=-17"),
              std::vector<std::string>{"ok"});
    a.send(M::GET_LOCATION_REQUEST, 4243,
           {{"locationFormat", "GEO"},
            {"requestSecureResponseOnly", "false"},
            {"locationEncoding", "text"},
            {"requestDigitalSignature", "false"},
            {"requestLocationId", "true"}});
    ASSERT_TRUE(a.reply("getLocationResponse", 4243)) << root.logText();
    std::optional<PipeMessageBody> event = a.await("locationErrorEvent");
    ASSERT_TRUE(event) << root.logText();
    EXPECT_EQ(event->child("sequenceNumber"), "4243");
    EXPECT_EQ(event->child("error"), "-17");
    stopInOrder();
}

// A user file giving the network the VPN entry "Office", starting by itself or not.
std::string vpnEntry(const std::string& network, bool automatic) {
    return R"(<UserConfiguration major_version="5" minor_version="1" development_version="1">
  <metaConnections>
    <metaConnection>
      <network><groupName>Office</groupName><displayName>)" +
           network + R"(</displayName></network>
      <vpnConnectionEntry>Office</vpnConnectionEntry>
      <autoConnectVpn>)" +
           (automatic ? "true" : "false") + R"(</autoConnectVpn>
    </metaConnection>
  </metaConnections>
</UserConfiguration>
)";
}

// The radio lab with the company's VPN gateway, which asks for a password and shows a banner; the
// user may bring the VPN up on the company's network.
class TrayVpnTest : public AnswersServiceTest {
protected:
    void SetUp() override {
        lab.add("vpnGateway", {{"profile", "Office"},
                               {"user", "alice"},
                               {"password", "vpn-pass"},
                               {"banner", "Authorized use only"}});
        root.write("system/userConfiguration.xml", vpnEntry("Corp PEAP", false));
        AnswersServiceTest::SetUp();
    }
};

// The tray program connects the VPN: the gateway's credential request goes to it and to a tray
// program that connects while it is open; the answer and the accepted banner connect the tunnel.
TEST_F(TrayVpnTest, TheVpnConnectsWithTheAnsweredCredentialsAndBanner) {
    PipePeer& a = connectPeer();
    startUserSession(a);
    connectWithPassword(a);
    a.send(M::GET_VPN_CAPABILITIES_REQUEST, 20);
    std::optional<PipeMessageBody> capabilities = a.reply("getVpnCapabilitiesResponse", 20);
    ASSERT_TRUE(capabilities) << root.logText();
    EXPECT_EQ(capabilities->child("isAutomatedVpnCapable"), "true");
    EXPECT_EQ(capabilities->child("defaultConnectionEntry"), "Office");

    a.send(M::CONNECT_VPN_REQUEST, 21);
    ASSERT_TRUE(a.reply("connectVpnResponse", 21)) << root.logText();
    std::optional<PipeMessageBody> asked = a.await("getVpnCredentialsRequest");
    ASSERT_TRUE(asked) << root.logText();
    PipePeer& b = connectPeer();
    ASSERT_TRUE(b.await("getVpnCredentialsRequest")) << root.logText();

    a.send(M::GET_VPN_CREDENTIALS_RESPONSE, std::stoi(asked->child("sequenceNumber")),
           {{"username", "alice"}, {"password", "vpn-pass"}});
    std::optional<PipeMessageBody> banner = b.await("getBannerRequest");
    ASSERT_TRUE(banner) << root.logText();
    EXPECT_EQ(banner->child("bannerPrompt"), "Authorized use only");
    b.send(M::GET_BANNER_RESPONSE, std::stoi(banner->child("sequenceNumber")), {{"bannerAccepted", "true"}});
    for (PipePeer* tray : {&a, &b}) {
        EXPECT_TRUE(waitFor([&] {
            for (const PipeMessageBody& event : tray->heard("vpnStateEvent"))
                if (event.child("vpnState") == "connected") return true;
            return false;
        })) << root.logText();
    }
    stopInOrder();
}

class LogonAnswersTest : public AnswersServiceTest {
protected:
    void SetUp() override {
        lab = wiredLab();
        AnswersServiceTest::SetUp();
    }
};

// The logon client asks the policy and announces the logon attempt; the wired network then asks it
// for the logon credentials. An answer to an older request changes nothing; the answer to the open
// one connects the network.
TEST_F(LogonAnswersTest, TheLogonClientsAnswerToTheOpenRequestConnects) {
    PipePeer& logon = connectPeer();
    logon.send(M::SSO_LOGON_POLICY_REQUEST, 1);
    std::optional<PipeMessageBody> policy = logon.reply("ssoLogonPolicyResponse", 1);
    ASSERT_TRUE(policy) << root.logText();
    EXPECT_EQ(policy->child("maxNumberOfSecondsToWaitForConnectionBeforeLogon"), "20");
    EXPECT_EQ(policy->child("numberOfSecondsBeforeAllowingUserToSkipLogonWait"), "0");
    EXPECT_EQ(policy->child("maxNumberOfSecondsToWaitForPasswordChange"), "60");
    logon.send(M::SSO_PRELOGON_ACTIONS_REQUEST, 2, {{"logonAttemptId", "7"}});
    ASSERT_TRUE(logon.reply("ssoPrelogonActionsResponse", 2)) << root.logText();

    std::optional<PipeMessageBody> request = logon.await("getLogonUsernameAndPasswordRequest");
    ASSERT_TRUE(request) << root.logText();
    const int number = std::stoi(request->child("sequenceNumber"));
    const MessageChildren alice = {{"username", "alice"}, {"domain", "CORP"}, {"password", "secret"}};
    logon.send(M::GET_LOGON_USERNAME_AND_PASSWORD_RESPONSE, number - 1, alice);
    // Once the next request is answered, the stale answer has been handled: the port is still
    // waiting for its identity.
    logon.send(M::RESEND_LAST_NETWORK_STATE_EVENT_REQUEST, 3);
    ASSERT_TRUE(logon.reply("resendLastNetworkStateEventResponse", 3));
    EXPECT_EQ(labCalls("qxCredIdentity("), 0);

    logon.send(M::GET_LOGON_USERNAME_AND_PASSWORD_RESPONSE, number, alice);
    EXPECT_TRUE(hasState(logon, "connected")) << root.logText();
    EXPECT_EQ(labCalls("qxCredIdentity("), 1);
    EXPECT_EQ(logon.heard("getLogonUsernameAndPasswordRequest").size(), 1u);
    stopInOrder();
}

// The wired port's server holds alice's password as expired and takes the new one her logon knows.
class LogonPasswordChangeTest : public AnswersServiceTest {
protected:
    void SetUp() override {
        lab = LabBuilder();
        lab.wiredAdapter(1, "eth0", {{"link", "up"}});
        // The server answers at once: the old conversation's failure, which the reconnect overtakes,
        // must not fail the new one.
        lab.add("authenticator", {{"on", "eth0"},
                                  {"method", "md5"},
                                  {"identity", "alice"},
                                  {"password", "secret"},
                                  {"newPassword", "n3w-secret"}});
        lab.add("dhcp", {{"on", "eth0"}, {"address", "192.0.2.10"}, {"mask", "255.255.255.0"}});
        lab.add(
            "logon",
            {{"user", "alice"}, {"domain", "CORP"}, {"password", "secret"}, {"newPassword", "n3w-secret"}});
        AnswersServiceTest::SetUp();
    }
};

// The server demands a new password during alice's logon: the logon component hears that it has
// expired and asks for the change with her new password; the network authenticates again, sends
// it through the password-change states and every tray hears that the change succeeded.
TEST_F(LogonPasswordChangeTest, AnExpiredLogonPasswordIsChangedAndTheNetworkConnects) {
    PipePeer& tray = connectPeer();
    LabClient control(root.path() + "/run/lab");
    ASSERT_EQ(control.command("logon alice secret CORP"), std::vector<std::string>{"ok"});
    std::optional<PipeMessageBody> result = tray.await("logonChangePasswordEvent");
    ASSERT_TRUE(result) << root.logText();
    EXPECT_EQ(result->child("changePasswordResult"), "passwordChangeSucceeded");
    EXPECT_TRUE(hasState(tray, "connected")) << root.logText();
    const std::string log = root.logText();
    EXPECT_THAT(log, HasSubstr("Wired Logon network triggered password change"));
    EXPECT_THAT(log,
                HasSubstr("Sending password change result: NetworkConstants::PASSWORD_CHANGE_SUCCEEDED"));
    const std::string state = "Network Wired Logon: NetworkStateMachine new state ";
    const size_t fromServer = log.find(state + "USER_ND_PWD_CHG_FROM_SERVER");
    ASSERT_NE(fromServer, std::string::npos) << log;
    EXPECT_NE(log.find(state + "USER_ND_PWD_CHG_DONE", fromServer), std::string::npos);
    stopInOrder(1);
}

// One wired network of the machine and its user on one account: before logon the machine's connection
// authenticates with alice's account from the profile, after logon the user's with her logon
// credentials; alice's password has not expired yet.
class MachinePasswordChangeTest : public AnswersServiceTest {
protected:
    void SetUp() override {
        const std::string md5Machine =
            R"(<eapMd5><unprotectedIdentityPattern encryptContent="true">alice</unprotectedIdentityPattern>)"
            R"(<passwordSource><passwordFromProfile encryptContent="true">secret</passwordFromProfile>)"
            R"(</passwordSource></eapMd5>)";
        const std::string md5User =
            R"(<eapMd5><unprotectedIdentityPattern encryptContent="true">[username]</unprotectedIdentityPattern>)"
            R"(<passwordSource><passwordFromLogon/></passwordSource></eapMd5>)";
        const std::string network =
            "<wiredNetwork><displayName>Wired Shared</displayName><connectionTimeout>40</connectionTimeout>"
            "<authenticationNetwork><machineUserAuthentication><machine>" +
            md5Machine + "</machine><user><authenticationMethod>" + md5User +
            "</authenticationMethod><collectionBehavior><withPassword/></collectionBehavior></user>"
            "</machineUserAuthentication><setting802.1x><authPeriod>30</authPeriod><heldPeriod>60</heldPeriod>"
            "<startPeriod>30</startPeriod><maxStart>3</maxStart></setting802.1x></authenticationNetwork>"
            "</wiredNetwork>\n";
        AdministratorFile file;
        file.eapMethods = "<eapMd5/>";
        file.connectionAtLogon =
            "<attemptConnectionBeforeUserLogon><secondsToWaitForConnection>20</secondsToWaitForConnection>"
            "</attemptConnectionBeforeUserLogon>";
        administratorText = file.text(network);
        lab = LabBuilder();
        lab.wiredAdapter(1, "eth0", {{"link", "up"}});
        lab.add("authenticator", {{"on", "eth0"}, {"method", "md5"}, {"identity", "alice"}, {"password", "secret"}});
        lab.add("dhcp", {{"on", "eth0"}, {"address", "192.0.2.10"}, {"mask", "255.255.255.0"}});
        AnswersServiceTest::SetUp();
    }
    // Signing needs the run-time.
    void prepareRoot() override {
        root.write("system/configuration.xml",
                   ConfigurationSigner::sign(administratorText,
                                             ConfigurationSigner::readFile(TAMSEL_TEST_PRIVATE_KEY)));
    }
    // The network's state machine lines in the order the service logged them.
    std::vector<std::string> networkStates() const {
        const std::string prefix = "Network Wired Shared: NetworkStateMachine new state ";
        std::vector<std::string> states;
        std::istringstream in(root.logText());
        for (std::string line; std::getline(in, line);) {
            const size_t at = line.find(prefix);
            if (at != std::string::npos) states.push_back(line.substr(at + prefix.size()));
        }
        return states;
    }

    // The logon component answers every request for the logon credentials, as they come, with this
    // password until the service says for the n-th time that it has expired: a connection that
    // starts again asks anew, and the service takes only the answer to its open request.
    std::optional<PipeMessageBody> answerLogonUntilExpiry(PipePeer& logon, const std::string& password,
                                                          size_t n) {
        std::optional<PipeMessageBody> found;
        waitFor([&] {
            const std::vector<PipeMessageBody> asked = logon.heard("getLogonUsernameAndPasswordRequest");
            for (; answered < asked.size(); ++answered)
                logon.send(M::GET_LOGON_USERNAME_AND_PASSWORD_RESPONSE,
                           std::stoi(asked[answered].child("sequenceNumber")),
                           {{"username", "alice"}, {"domain", "CORP"}, {"password", password}});
            size_t seen = 0;
            for (const PipeMessageBody& event : logon.heard("logonEvent"))
                if (event.child("eventType") == "passwordExpired" && ++seen == n) found = event;
            return found.has_value();
        });
        return found;
    }
    // The logon component's change of alice's password after the service said it has expired.
    void changePassword(PipePeer& logon, const PipeMessageBody& expired, int sequenceNumber,
                        const std::string& from, const std::string& to) {
        logon.send(M::SSO_CHANGE_PASSWORD_REQUEST, sequenceNumber,
                   {{"changePasswordAttemptId", expired.child("logonAttemptId")},
                    {"username", "alice"},
                    {"domain", "CORP"},
                    {"password", to},
                    {"oldPassword", from}});
    }

    std::string administratorText;
    // The logon credential requests answered so far.
    size_t answered = 0;
};

// Alice's password expires twice on the server her machine and she both use. The first time the
// server demands a new one at her logon: the logon component passes it and her connection takes it
// to the server. The second time the logon ends right after the logon component passed the new
// password, so the machine's connection, on her account, meets the server's demand with it. Each
// change reaches every tray as a success, and the server takes each new password for good.
TEST_F(MachinePasswordChangeTest, ChangesAreCarriedThroughByTheUsersAndThenTheMachinesConnection) {
    PipePeer& logon = connectPeer();
    const std::string connected = "Network Wired Shared: AccessStateMachine new state = ACCESS_CONNECTED";
    ASSERT_TRUE(waitFor([&] { return countOf(root.logText(), connected) >= 1; })) << root.logText();
    LabClient control(root.path() + "/run/lab");
    const std::vector<std::string> ok = {"ok"};
    ASSERT_EQ(control.command("set authenticator on=eth0 newPassword=n3w-secret"), ok);

    // The user's phase: the change waits for the server's second demand.
    logon.send(M::SSO_PRELOGON_ACTIONS_REQUEST, 1, {{"logonAttemptId", "7"}});
    ASSERT_TRUE(logon.reply("ssoPrelogonActionsResponse", 1)) << root.logText();
    std::optional<PipeMessageBody> expired = answerLogonUntilExpiry(logon, "secret", 1);
    ASSERT_TRUE(expired) << root.logText();
    changePassword(logon, *expired, 2, "secret", "n3w-secret");
    std::optional<PipeMessageBody> result = logon.await("logonChangePasswordEvent");
    ASSERT_TRUE(result) << root.logText();
    EXPECT_EQ(result->child("changePasswordResult"), "passwordChangeSucceeded");
    ASSERT_TRUE(waitFor([&] { return countOf(root.logText(), connected) >= 2; })) << root.logText();

    // The cable out and in: the user's connection asks for her logon credentials again, and the
    // server knows only her new password, which has expired too.
    ASSERT_EQ(control.command("set authenticator on=eth0 newPassword=n3w-secret-2"), ok);
    ASSERT_EQ(control.command("link eth0 down"), ok);
    ASSERT_TRUE(waitFor([&] {
        const std::vector<std::string> states = networkStates();
        return !states.empty() && states.back() == "USER_T_DISCONNECTED";
    })) << root.logText();
    ASSERT_EQ(control.command("link eth0 up"), ok);
    expired = answerLogonUntilExpiry(logon, "n3w-secret", 2);
    ASSERT_TRUE(expired) << root.logText();
    // Both go out at once: the session ends before the user's connection authenticates again.
    changePassword(logon, *expired, 3, "n3w-secret", "n3w-secret-2");
    logon.send(M::SSO_NO_USER_SESSION_REQUEST, 4);
    result = logon.await("logonChangePasswordEvent", 2);
    ASSERT_TRUE(result) << root.logText();
    EXPECT_EQ(result->child("changePasswordResult"), "passwordChangeSucceeded");
    EXPECT_EQ(result->child("changePasswordAttemptId"), expired->child("logonAttemptId"));

    // The user's change went from the server's demand to done with the logon's credentials; the
    // machine's from the server's demand back to the connected machine phase, where it stays.
    std::vector<std::string> states;
    const std::string machineChange = "MACHINE_ND_PWD_CHG_FROM_SERVER";
    ASSERT_TRUE(waitFor([&] {
        states = networkStates();
        return std::find(states.begin(), states.end(), machineChange) != states.end() &&
               states.back() == "MACHINE_T_NOT_DISCONNECTED";
    })) << testing::PrintToString(states);
    const auto user = std::find(states.begin(), states.end(), "USER_ND_PWD_CHG_FROM_SERVER");
    ASSERT_NE(user, states.end()) << testing::PrintToString(states);
    EXPECT_EQ(*(user + 1), "USER_ND_PWD_CHG_DONE") << testing::PrintToString(states);
    const auto machine = std::find(user, states.end(), machineChange);
    ASSERT_NE(machine, states.end()) << testing::PrintToString(states);
    EXPECT_THAT(std::vector<std::string>(machine + 1, states.end()),
                ::testing::Each(::testing::Eq("MACHINE_T_NOT_DISCONNECTED")));
    const std::string log = root.logText();
    EXPECT_THAT(log, HasSubstr("USER_T_NOT_DISCONNECTED NetworkStateMachine sending credentials to server"));
    EXPECT_THAT(log, HasSubstr("MACHINE_T_NOT_DISCONNECTED NetworkStateMachine sending credentials to server"));
    EXPECT_EQ(countOf(log, "Sending password change result: NetworkConstants::PASSWORD_CHANGE_SUCCEEDED"), 2);
    EXPECT_EQ(countOf(log, "Sending password change result: NetworkConstants::PASSWORD_CHANGE_FAILED"), 0);
    stopInOrder();
}

// The wired network of the logon with its VPN entry "Office" starting by itself, on a gateway that
// asks for nothing.
class LogonVpnTest : public AnswersServiceTest {
protected:
    void SetUp() override {
        lab = wiredLab();
        lab.add("vpnGateway", {{"profile", "Office"}});
        root.write("system/userConfiguration.xml", vpnEntry("Wired Logon", true));
        AnswersServiceTest::SetUp();
    }
};

// Alice logs on at the machine: the lab's logon client gives the wired network her logon
// credentials, and once her session starts the automatic VPN comes up on the connected network.
TEST_F(LogonVpnTest, ALogonBringsUpTheAutomaticVpnOnTheLogonsNetwork) {
    PipePeer& tray = connectPeer();
    LabClient control(root.path() + "/run/lab");
    ASSERT_EQ(control.command("logon alice secret CORP"), std::vector<std::string>{"ok"});
    ASSERT_TRUE(hasState(tray, "connected")) << root.logText();
    std::vector<std::string> states;
    ASSERT_TRUE(waitFor([&] {
        states.clear();
        for (const PipeMessageBody& event : tray.heard("vpnStateEvent"))
            states.push_back(event.child("vpnState"));
        return !states.empty() && states.back() == "connected";
    })) << testing::PrintToString(states)
        << root.logText();
    EXPECT_THAT(states, ::testing::ElementsAre("connecting", "connected"));
    EXPECT_EQ(tray.heard("getVpnCredentialsRequest").size(), 0u);
    // The lab's logon client is the service's other client.
    stopInOrder(1);
}

}  // namespace
