// The lab's logon client against a recording server on the pipe, which plays the service.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <fstream>
#include <future>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>

#include "platform/lab/LabLogonClient.h"
#include "platform/travik/travik_ipc.h"
#include "tests/support/TempHome.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/xmlconnectionapi/ConnApiFrame.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

namespace tamsel::test {
namespace {

using namespace std::chrono_literals;
using lab::LogonClient;
using lab::PipeMessage;
using M = ConnApiMessages;

constexpr auto DEADLINE = 10s;

std::string dataFile(const std::string& name) {
    std::ifstream in(std::string(TAMSEL_CONNAPI_DATA) + "/logon/" + name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The server end of the pipe: accepts the one client, records every message it sends and writes
// the service's side.
class RecordingPipeServer {
public:
    RecordingPipeServer() { m_created = ipcNamedPipeServer_create(&m_server, "vel", 1); }
    ~RecordingPipeServer() {
        if (m_client != nullptr) ipcCancel(m_client);
        if (m_server != nullptr) ipcCancel(m_server);
        if (m_reader.joinable()) m_reader.join();
        ipcDestroy(&m_client);
        ipcDestroy(&m_server);
    }
    bool created() const { return m_created == IPC_OK; }

    // Waits for the client to connect, then reads on.
    bool accept() {
        auto accepted = std::async(std::launch::async, [this] { return ipcAccept(&m_client, m_server); });
        if (accepted.wait_for(DEADLINE) != std::future_status::ready) {
            ipcCancel(m_server);
            return false;
        }
        if (accepted.get() != IPC_OK) return false;
        m_reader = std::thread([this] { read(); });
        return true;
    }
    // The next message the client sent; an empty name when none came in time.
    PipeMessage next() {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_changed.wait_for(lock, DEADLINE, [this] { return !m_messages.empty(); })) return {};
        PipeMessage message = m_messages.front();
        m_messages.pop_front();
        return message;
    }
    void send(const std::string& payload) {
        std::string frame = ConnApiFrame::frame(payload);
        ASSERT_EQ(ipcSend(m_client, frame.data(), static_cast<int>(frame.size())), IPC_OK);
    }
    void send(std::int32_t command, std::int32_t sequenceNumber, const lab::MessageChildren& children = {}) {
        send(LogonClient::envelope(command, sequenceNumber, children));
    }
    // Takes the next message, which must be the command's; answers it with the reply (the row after
    // it) and returns it.
    PipeMessage expectAndReply(std::int32_t command, const lab::MessageChildren& reply = {}) {
        PipeMessage message = next();
        EXPECT_EQ(message.name, ConnApiCommandToText(command));
        if (message.name == ConnApiCommandToText(command)) send(command + 1, message.sequenceNumber, reply);
        return message;
    }

private:
    void read() {
        std::string bytes;
        char chunk[4096];
        int count = 0;
        while (ipcRecv(m_client, chunk, sizeof chunk, &count) == IPC_OK) {
            bytes.append(chunk, static_cast<size_t>(count));
            while (true) {
                auto header = ConnApiFrame::readHeader(reinterpret_cast<const uint8_t*>(bytes.data()),
                                                       static_cast<int>(bytes.size()), 0, nullptr);
                if (header.status != ConnApiFrame::HeaderStatus::ACCEPTED) break;
                size_t end = static_cast<size_t>(header.headerLength + header.messageLength);
                if (bytes.size() < end) break;
                std::optional<PipeMessage> message =
                    LogonClient::read(bytes.substr(header.headerLength, header.messageLength));
                bytes.erase(0, end);
                std::lock_guard<std::mutex> lock(m_mutex);
                PipeMessage unreadable;
                unreadable.name = "(unreadable)";
                m_messages.push_back(message ? *message : unreadable);
                m_changed.notify_all();
            }
        }
    }

    int m_created = IPC_ERR_SYSTEM;
    IpcHandle* m_server = nullptr;
    IpcHandle* m_client = nullptr;
    std::thread m_reader;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<PipeMessage> m_messages;
};

TEST(LabLogonClientMessages, AreWrittenInTheLogonComponentsDocumentedFormAndReadBack) {
    struct Case {
        const char* file;
        std::int32_t command;
        std::int32_t sequenceNumber;
        lab::MessageChildren children;
    } cases[] = {
        {"047-ssoLogonPolicyRequest.xml", M::SSO_LOGON_POLICY_REQUEST, 3, {}},
        {"049-ssoPrelogonActionsRequest.xml", M::SSO_PRELOGON_ACTIONS_REQUEST, 4, {{"logonAttemptId", "42"}}},
        {"051-ssoUserSessionActionsRequest.xml",
         M::SSO_USER_SESSION_ACTIONS_REQUEST,
         5,
         {{"userTokenHandle", "1234"}, {"userLogonProcessId", "5678"}}},
        {"053-ssoNoUserSessionRequest.xml", M::SSO_NO_USER_SESSION_REQUEST, 6, {}},
        {"055-ssoChangePasswordRequest.xml",
         M::SSO_CHANGE_PASSWORD_REQUEST,
         7,
         {{"changePasswordAttemptId", "5"},
          {"username", "alice"},
          {"domain", "CORP"},
          {"password", "new-Pa55"},
          {"oldPassword", "old-Pa55"}}},
        {"068-getLogonUsernameAndPasswordResponse.xml",
         M::GET_LOGON_USERNAME_AND_PASSWORD_RESPONSE,
         42,
         {{"username", "alice"}, {"domain", "CORP"}, {"password", "Pa55"}}},
        {"070-getLogonSmartCardPinResponse.xml", M::GET_LOGON_SMART_CARD_PIN_RESPONSE, 43, {{"pin", "2468"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        // The client's names are the service's.
        ASSERT_STREQ(M::name(c.command), ConnApiCommandToText(c.command));
        const std::string expected = dataFile(c.file);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(LogonClient::envelope(c.command, c.sequenceNumber, c.children), expected);
        std::optional<PipeMessage> message = LogonClient::read(expected);
        ASSERT_TRUE(message);
        EXPECT_EQ(message->name, ConnApiCommandToText(c.command));
        EXPECT_EQ(message->sequenceNumber, c.sequenceNumber);
        for (const auto& [name, value] : c.children) EXPECT_EQ(message->children[name], value) << name;
    }
    // Text that would break the markup is escaped and reads back as it was.
    std::optional<PipeMessage> odd = LogonClient::read(
        LogonClient::envelope(M::GET_LOGON_USERNAME_AND_PASSWORD_RESPONSE, 1, {{"password", "a<b&c>\"d"}}));
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->children["password"], "a<b&c>\"d");
    // Neither a document type nor what is not XML is read.
    EXPECT_FALSE(
        LogonClient::read("<!DOCTYPE x [<!ENTITY e \"1\">]>" + dataFile("047-ssoLogonPolicyRequest.xml")));
    EXPECT_FALSE(LogonClient::read("not xml"));
}

class LabLogonClientTest : public testing::Test {
protected:
    TempHome m_home{"logonclient"};
    RecordingPipeServer m_server;
};

TEST_F(LabLogonClientTest, ALogonAndALogoffReachTheServiceAndItsCredentialRequestsAreAnswered) {
    ASSERT_TRUE(m_server.created());
    LogonClient client("vel");
    client.logon({"alice", "CORP", "secret", "n3w-secret", "2468"});
    ASSERT_TRUE(m_server.accept());

    m_server.expectAndReply(M::SSO_LOGON_POLICY_REQUEST,
                            {{"maxNumberOfSecondsToWaitForConnectionBeforeLogon", "30"},
                             {"numberOfSecondsBeforeAllowingUserToSkipLogonWait", "5"},
                             {"maxNumberOfSecondsToWaitForPasswordChange", "60"}});
    PipeMessage prelogon = m_server.expectAndReply(M::SSO_PRELOGON_ACTIONS_REQUEST);
    const std::string attempt = prelogon.children["logonAttemptId"];
    ASSERT_FALSE(attempt.empty());

    // Another attempt's "preLogonDone" does not end the wait: the logon is still before its
    // session when the service asks for the logon credentials for its network.
    m_server.send(M::LOGON_EVENT, 100, {{"logonAttemptId", attempt + "7"}, {"eventType", "preLogonDone"}});
    m_server.send(M::GET_LOGON_USERNAME_AND_PASSWORD_REQUEST, 101);
    PipeMessage credentials = m_server.next();
    EXPECT_EQ(credentials.name, ConnApiCommandToText(M::GET_LOGON_USERNAME_AND_PASSWORD_RESPONSE));
    EXPECT_EQ(credentials.sequenceNumber, 101);
    EXPECT_EQ(credentials.children["username"], "alice");
    EXPECT_EQ(credentials.children["domain"], "CORP");
    EXPECT_EQ(credentials.children["password"], "secret");

    // Its own ends the wait, long before the policy's 30 s.
    m_server.send(M::LOGON_EVENT, 102, {{"logonAttemptId", attempt}, {"eventType", "preLogonDone"}});
    PipeMessage session = m_server.expectAndReply(M::SSO_USER_SESSION_ACTIONS_REQUEST);
    EXPECT_EQ(session.children["userLogonProcessId"], std::to_string(::getpid()));
    EXPECT_FALSE(session.children["userTokenHandle"].empty());

    m_server.send(M::GET_LOGON_SMART_CARD_PIN_REQUEST, 103);
    PipeMessage pin = m_server.next();
    EXPECT_EQ(pin.name, ConnApiCommandToText(M::GET_LOGON_SMART_CARD_PIN_RESPONSE));
    EXPECT_EQ(pin.sequenceNumber, 103);
    EXPECT_EQ(pin.children["pin"], "2468");

    // The server wants a new password: the client asks the service to change it, for the attempt
    // whose password expired; once changed, it is the password of every answer.
    m_server.send(M::LOGON_EVENT, 104, {{"logonAttemptId", attempt}, {"eventType", "passwordExpired"}});
    PipeMessage change = m_server.expectAndReply(M::SSO_CHANGE_PASSWORD_REQUEST);
    EXPECT_EQ(change.children["changePasswordAttemptId"], attempt);
    EXPECT_EQ(change.children["username"], "alice");
    EXPECT_EQ(change.children["domain"], "CORP");
    EXPECT_EQ(change.children["password"], "n3w-secret");
    EXPECT_EQ(change.children["oldPassword"], "secret");
    for (std::int32_t request : {105, 106}) {
        m_server.send(M::GET_LOGON_USERNAME_AND_PASSWORD_REQUEST, request);
        PipeMessage changed = m_server.next();
        EXPECT_EQ(changed.sequenceNumber, request);
        EXPECT_EQ(changed.children["password"], "n3w-secret");
    }

    client.logoff();
    m_server.expectAndReply(M::SSO_NO_USER_SESSION_REQUEST);
}

TEST_F(LabLogonClientTest, WithoutAPolicyTheLogonGoesOnWithoutWaitingForTheNetwork) {
    ASSERT_TRUE(m_server.created());
    LogonClient client("vel");
    client.logon({"alice", "CORP", "secret", "", ""});
    ASSERT_TRUE(m_server.accept());
    PipeMessage policy = m_server.next();
    ASSERT_EQ(policy.name, ConnApiCommandToText(M::SSO_LOGON_POLICY_REQUEST));
    // No configuration is active: the service faults the request.
    m_server.send(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SOAP-ENV:Envelope "
        "xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\">\n<SOAP-ENV:Body>\n<SOAP-ENV:Fault>\n"
        "<SOAP-ENV:faultcode>Client</SOAP-ENV:faultcode>\n"
        "<SOAP-ENV:faultstring>ssoLogonPolicyResponse</SOAP-ENV:faultstring>\n<SOAP-ENV:detail>\n"
        "<sequenceNumber>" +
        std::to_string(policy.sequenceNumber) +
        "</sequenceNumber>\n<errorCode>1</errorCode>\n<errorString></errorString>\n</SOAP-ENV:detail>\n"
        "</SOAP-ENV:Fault>\n</SOAP-ENV:Body>\n</SOAP-ENV:Envelope>\n");
    m_server.expectAndReply(M::SSO_PRELOGON_ACTIONS_REQUEST);
    // No "preLogonDone" comes, and none is waited for.
    m_server.expectAndReply(M::SSO_USER_SESSION_ACTIONS_REQUEST);
}

}  // namespace
}  // namespace tamsel::test
