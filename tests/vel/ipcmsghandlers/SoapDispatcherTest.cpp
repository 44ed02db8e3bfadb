// A received envelope reaches its handlers element by element, and every request is answered on
// the asking connection only: with its reply, or with a fault that names the reply it would have
// had, the request's number and an error code.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "../connapi/ConnApiCorpus.h"
#include "tests/support/TestText.h"
#include "tests/vel/ipcmsghandlers/ConnApiTestSupport.h"
#include "vel/communication/UnreadableMessages.h"
#include "vel/connapi/ConnApiMessage.h"
#include "vel/connapi/ConnectionBodies.h"
#include "vel/connapi/CredentialBodies.h"
#include "vel/connapi/NetworkBodies.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/exception/MemoryException.h"
#include "vel/ipcmsghandlers/SoapRequestHandler.h"
#include "vel/ipcmsghandlers/SoapResponseHandler.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

using namespace tamsel::test;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

// A request handler whose handling the test gives as a function.
template <std::int32_t REPLY>
class ScriptedHandlerImpl : public SoapRequestHandlerImpl {
public:
    using SoapRequestHandlerImpl::SoapRequestHandlerImpl;
    std::int32_t replyCommand() override { return REPLY; }
};

class GroupsHandlerImpl : public ScriptedHandlerImpl<ConnApiMessages::GET_GROUPS_RESPONSE> {
public:
    using ScriptedHandlerImpl::ScriptedHandlerImpl;
    std::int32_t handle(const SoapBodyContext&, const SoapBodyContext& reply) override {
        AsciiVector groups;
        groups.add("Office");
        NetworkBodies::writeGroupList(reply, groups);
        return 0;
    }
};

class ActiveGroupHandlerImpl : public ScriptedHandlerImpl<ConnApiMessages::GET_ACTIVE_GROUP_RESPONSE> {
public:
    using ScriptedHandlerImpl::ScriptedHandlerImpl;
    std::int32_t handle(const SoapBodyContext&, const SoapBodyContext& reply) override {
        NetworkBodies::writeGroupName(reply, "Office");
        return 0;
    }
};

// Runs without an active configuration.
class SessionHandlerImpl : public ScriptedHandlerImpl<ConnApiMessages::SSO_USER_SESSION_ACTIONS_RESPONSE> {
public:
    using ScriptedHandlerImpl::ScriptedHandlerImpl;
    std::int32_t precheck() override { return 0; }
    std::int32_t handle(const SoapBodyContext&, const SoapBodyContext& reply) override {
        xmlWriteEmptyResponse(reply);
        return 0;
    }
};

// Reads its group with the real reader: a request without one raises XmlException.
class SetGroupHandlerImpl : public ScriptedHandlerImpl<ConnApiMessages::SET_ACTIVE_GROUP_RESPONSE> {
public:
    using ScriptedHandlerImpl::ScriptedHandlerImpl;
    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext& reply) override {
        NetworkBodies::writeGroupName(reply, NetworkBodies::readGroupName(request.body()));
        return 0;
    }
};

class ConversionHandlerImpl : public ScriptedHandlerImpl<ConnApiMessages::CONNECT_TO_NETWORK_RESPONSE> {
public:
    using ScriptedHandlerImpl::ScriptedHandlerImpl;
    std::int32_t handle(const SoapBodyContext& request, const SoapBodyContext&) override {
        ConnectionBodies::readConnectToNetwork(request.body());
        return 0;
    }
};

class ServiceErrorHandlerImpl : public ScriptedHandlerImpl<ConnApiMessages::ENABLE_AUTOCONNECT_RESPONSE> {
public:
    using ScriptedHandlerImpl::ScriptedHandlerImpl;
    std::int32_t handle(const SoapBodyContext&, const SoapBodyContext& reply) override {
        xmlWriteEmptyResponse(reply);
        throw MemoryException(12);
    }
};

class StdErrorHandlerImpl : public ScriptedHandlerImpl<ConnApiMessages::GET_CONNECTION_MODE_RESPONSE> {
public:
    using ScriptedHandlerImpl::ScriptedHandlerImpl;
    std::int32_t handle(const SoapBodyContext&, const SoapBodyContext&) override {
        throw std::runtime_error("out of range");
    }
};

class OddThrowHandlerImpl : public ScriptedHandlerImpl<ConnApiMessages::DISCONNECT_RESPONSE> {
public:
    using ScriptedHandlerImpl::ScriptedHandlerImpl;
    std::int32_t handle(const SoapBodyContext&, const SoapBodyContext&) override { throw 42; }
};

// Writes part of its reply, then finds it cannot go on.
class HalfReplyHandlerImpl : public ScriptedHandlerImpl<ConnApiMessages::ADD_GROUP_RESPONSE> {
public:
    using ScriptedHandlerImpl::ScriptedHandlerImpl;
    std::int32_t handle(const SoapBodyContext&, const SoapBodyContext& reply) override {
        NetworkBodies::writeGroupName(reply, "half");
        return ConnApiConstants::ERROR_CANNOT_CARRY_OUT;
    }
};

class HugeReplyHandlerImpl : public ScriptedHandlerImpl<ConnApiMessages::GET_SCAN_LIST_RESPONSE> {
public:
    using ScriptedHandlerImpl::ScriptedHandlerImpl;
    std::int32_t handle(const SoapBodyContext&, const SoapBodyContext& reply) override {
        std::vector<ScanEntryRecord> entries(12000);
        for (ScanEntryRecord& e : entries) e.ssid = "a-network-with-a-long-enough-name";
        ConnectionBodies::writeScanList(reply, entries);
        return 0;
    }
};

std::vector<std::string> g_answers;

class PasswordAnswerHandlerImpl : public SoapResponseHandlerImpl {
public:
    using SoapResponseHandlerImpl::SoapResponseHandlerImpl;
    void handleResponse() override {
        g_answers.push_back(CredentialBodies::readUsernamePasswordResponse(m_context.body()).username.text());
    }
};

class CertificateAnswerHandlerImpl : public SoapResponseHandlerImpl {
public:
    using SoapResponseHandlerImpl::SoapResponseHandlerImpl;
    void handleResponse() override { CredentialBodies::readCertificateResponse(m_context.body()); }
};

constexpr HandlerRow TEST_ROWS[] = {
    {ConnApiMessages::GET_GROUPS_REQUEST, HandlerKind::REQUEST, &makeHandler<GroupsHandlerImpl>, nullptr},
    {ConnApiMessages::GET_ACTIVE_GROUP_REQUEST, HandlerKind::REQUEST, &makeHandler<ActiveGroupHandlerImpl>,
     "Active group request received."},
    {ConnApiMessages::SET_ACTIVE_GROUP_REQUEST, HandlerKind::REQUEST, &makeHandler<SetGroupHandlerImpl>,
     nullptr},
    {ConnApiMessages::SSO_USER_SESSION_ACTIONS_REQUEST, HandlerKind::REQUEST,
     &makeHandler<SessionHandlerImpl>, nullptr},
    {ConnApiMessages::CONNECT_TO_NETWORK_REQUEST, HandlerKind::REQUEST, &makeHandler<ConversionHandlerImpl>,
     nullptr},
    {ConnApiMessages::ENABLE_AUTOCONNECT_REQUEST, HandlerKind::REQUEST, &makeHandler<ServiceErrorHandlerImpl>,
     nullptr},
    {ConnApiMessages::GET_CONNECTION_MODE_REQUEST, HandlerKind::REQUEST, &makeHandler<StdErrorHandlerImpl>,
     nullptr},
    {ConnApiMessages::DISCONNECT_REQUEST, HandlerKind::REQUEST, &makeHandler<OddThrowHandlerImpl>, nullptr},
    {ConnApiMessages::ADD_GROUP_REQUEST, HandlerKind::REQUEST, &makeHandler<HalfReplyHandlerImpl>, nullptr},
    {ConnApiMessages::GET_SCAN_LIST_REQUEST, HandlerKind::REQUEST, &makeHandler<HugeReplyHandlerImpl>,
     nullptr},
    {ConnApiMessages::GET_USERNAME_AND_PASSWORD_RESPONSE, HandlerKind::RESPONSE,
     &makeHandler<PasswordAnswerHandlerImpl>, "User name and password received from user."},
    {ConnApiMessages::GET_CERTIFICATE_RESPONSE, HandlerKind::RESPONSE,
     &makeHandler<CertificateAnswerHandlerImpl>, nullptr},
};

const HandlerTable& testTable() {
    static const HandlerTable table(TEST_ROWS);
    return table;
}

class SoapDispatcherTest : public ConnApiTest {
protected:
    void SetUp() override {
        ConnApiTest::SetUp();
        g_answers.clear();
        start(testTable());
        asker = connect();
        other = connect();
    }
    void TearDown() override {
        asker.reset();
        other.reset();
        ConnApiTest::TearDown();
    }

    // The messages the asking connection got for one envelope; the other connection got none.
    std::vector<std::string> ask(const std::string& envelope) {
        receive(asker, envelope);
        EXPECT_EQ(recorder(other).take(), std::vector<std::string>{}) << "answers go to the asker only";
        return recorder(asker).take();
    }

    Connection asker;
    Connection other;
};

TEST_F(SoapDispatcherTest, TwoElementsInOneBodyAreAnsweredInOrderEachOnItsOwn) {
    // The second element without a prefix, as a client that binds the default namespace writes it.
    const std::vector<std::string> replies = ask(
        trayEnvelope(element("getGroupsRequest", 5) + "\n<!-- a comment -->\n" +
                     "<getActiveGroupRequest><sequenceNumber>6</sequenceNumber></getActiveGroupRequest>"));
    ASSERT_EQ(replies.size(), 2u);
    SentMessage groups(replies[0]);
    EXPECT_EQ(groups.name(), "getGroupsResponse");
    EXPECT_EQ(groups.sequenceNumber(), 5);
    SentMessage active(replies[1]);
    EXPECT_EQ(active.name(), "getActiveGroupResponse");
    EXPECT_EQ(active.sequenceNumber(), 6);
    EXPECT_EQ(active.child("groupName"), "Office");
}

struct FaultCase {
    const char* name;
    std::string request;
    const char* faultString;
    const char* sequenceNumber;
    const char* errorCode;
};

TEST_F(SoapDispatcherTest, FailedRequestsAreAnsweredWithTheirFault) {
    const std::vector<FaultCase> cases = {
        {"unknown element", element("fooRequest", 7), "unknownRequest", "7", "10"},
        {"defined but not served", element("getVersionRequest", 8), "unknownRequest", "8", "10"},
        {"reply sent to the service", element("getGroupsResponse", 9), "unknownRequest", "9", "10"},
        {"hexadecimal number echoed in decimal",
         "<tamsel:fooRequest><tamsel:sequenceNumber>0x1F</tamsel:sequenceNumber></tamsel:fooRequest>",
         "unknownRequest", "31", "10"},
        {"required child missing", element("setActiveGroupRequest", 11), "setActiveGroupResponse", "11", "9"},
        {"value outside its table",
         element("connectToNetworkRequest", 12,
                 "<tamsel:networkName>n</tamsel:networkName><tamsel:connectionMode>often</"
                 "tamsel:connectionMode>"),
         "connectToNetworkResponse", "12", "9"},
        {"service error after a written reply", element("enableAutoconnectRequest", 13),
         "enableAutoconnectResponse", "13", "8"},
        {"standard exception", element("getConnectionModeRequest", 14), "getConnectionModeResponse", "14",
         "8"},
        {"anything else thrown", element("disconnectRequest", 15), "disconnectResponse", "15", "8"},
        {"half-written reply", element("addGroupRequest", 16), "addGroupResponse", "16", "3"},
        {"reply longer than a frame", element("getScanListRequest", 17), "getScanListResponse", "17", "8"},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::string> replies = ask(trayEnvelope(c.request));
        ASSERT_EQ(replies.size(), 1u);
        SentMessage fault(replies[0]);
        EXPECT_EQ(fault.name(), "Fault");
        EXPECT_EQ(fault.child("faultcode"), "Client");
        EXPECT_EQ(fault.child("faultstring"), c.faultString);
        EXPECT_EQ(fault.detail("sequenceNumber"), c.sequenceNumber);
        EXPECT_EQ(fault.detail("errorCode"), c.errorCode);
        EXPECT_EQ(fault.detail("errorString"), "");
        // Nothing of what the handler wrote goes with the fault.
        EXPECT_THAT(replies[0], ::testing::Not(HasSubstr("Response>")));
    }
}

TEST_F(SoapDispatcherTest, WithoutConfigurationRequestsGetFaultOneUnlessTheyWaiveTheCheck) {
    engine.configured = false;
    const std::vector<std::string> replies =
        ask(trayEnvelope(element("getGroupsRequest", 42) + element("ssoUserSessionActionsRequest", 43) +
                         element("fooRequest", 44)));
    ASSERT_EQ(replies.size(), 3u);
    // The service's corpus holds exactly this fault.
    EXPECT_EQ(replies[0], ConnApiCorpus::read("service", "101-fault.xml"));
    EXPECT_EQ(SentMessage(replies[1]).name(), "ssoUserSessionActionsResponse");
    EXPECT_EQ(SentMessage(replies[2]).detail("errorCode"), "1");
}

TEST_F(SoapDispatcherTest, AnswersToTheServiceAreHandledAndNeverAnsweredEvenWhenTheyDoNotRead) {
    LogCapture log;
    const std::vector<std::string> replies = ask(trayEnvelope(
        element("getUsernameAndPasswordResponse", 1,
                "<tamsel:groupName>g</tamsel:groupName><tamsel:networkName>n</tamsel:networkName>"
                "<tamsel:username>alice</tamsel:username>") +
        element("getCertificateResponse", 2,
                "<tamsel:groupName>g</tamsel:groupName><tamsel:networkName>n</tamsel:networkName>"
                "<tamsel:certificateHash>xyz</tamsel:certificateHash>") +
        element("getUsernameAndPasswordResponse", 3,
                "<tamsel:groupName>g</tamsel:groupName><tamsel:networkName>n</tamsel:networkName>"
                "<tamsel:username>bob</tamsel:username>")));
    EXPECT_EQ(replies, std::vector<std::string>{});
    EXPECT_THAT(g_answers, ElementsAre("alice", "bob"));
    EXPECT_TRUE(log.contains("Internal error 207, contact software manufacturer")) << log.text();
    EXPECT_TRUE(log.contains("Invalid HEX representation.")) << log.text();
    EXPECT_TRUE(log.contains("User name and password received from user.")) << log.text();
}

TEST_F(SoapDispatcherTest, MessagesThatDoNotReadAreLoggedAndTheConnectionGoesOn) {
    const struct {
        const char* name;
        std::string payload;
        const char* logged;
    } cases[] = {
        {"not XML", "hello, service", "Internal error 207, contact software manufacturer"},
        {"QQ", "QQ", "Internal error 207, contact software manufacturer"},
        {"Q in an envelope", trayEnvelope("Q"), nullptr},
        {"a document type", "<!DOCTYPE a [<!ENTITY e \"x\">]>" + trayEnvelope(element("getGroupsRequest", 1)),
         "Internal error 207, contact software manufacturer"},
        {"root of no known kind", "<foo/>", "Error in configuration xml: TextToCommand: Unknown command."},
        {"request root", "<request type=\"identityRequest\"/>", "Invalid datagram format"},
        {"request root of an unknown type", "<event type=\"party\"/>",
         "Error in configuration xml: TextToType: Unknown command type."},
        {"no Body", "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"x\"><Header/></SOAP-ENV:Envelope>",
         "Invalid SOAP message format - Body missing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Each from a client of its own: a client's first few such messages are logged in full.
        asker = connect();
        LogCapture log;
        EXPECT_EQ(ask(c.payload), std::vector<std::string>{});
        if (c.logged != nullptr) {
            EXPECT_TRUE(log.contains(c.logged)) << log.text();
        }
        EXPECT_THAT(namesOf(ask(trayEnvelope(element("getGroupsRequest", 2)))),
                    ElementsAre("getGroupsResponse"));
    }
    EXPECT_EQ(engine.adapterResets, 0) << "only a message of the one byte Q repairs";
}

TEST_F(SoapDispatcherTest, AClientSendingJunkHasItsLinesFoldedAndIsClosedWhenNothingElseComes) {
    const int inFull = UnreadableMessages::LOGGED_IN_FULL;
    LogCapture log;
    for (int i = 0; i < inFull + 10; ++i) EXPECT_EQ(ask(i % 2 == 0 ? "hello" : "<a><b></a>"), std::vector<std::string>{});
    // Its first ones are logged as any such message; the rest are not.
    EXPECT_EQ(countOf(log.text(), "Internal error 207, contact software manufacturer"), inFull) << log.text();
    // A message that reads is served, and a run of junk starts anew behind it.
    EXPECT_THAT(namesOf(ask(trayEnvelope(element("getGroupsRequest", 1)))), ElementsAre("getGroupsResponse"));
    for (int i = 0; i < UnreadableMessages::MAX_IN_A_ROW - 1; ++i) ask("hello");
    EXPECT_FALSE(log.contains("sends nothing that reads")) << log.text();
    ask("hello");
    EXPECT_EQ(countOf(log.text(), "sends nothing that reads: closed after 100 such messages in a row"), 1) << log.text();
    // Told when it is closed: all but the ones logged in full.
    EXPECT_TRUE(log.contains(": " + std::to_string(10 + UnreadableMessages::MAX_IN_A_ROW) +
                             " more messages that do not read in "))
        << log.text();
    EXPECT_EQ(countOf(log.text(), "Internal error 207"), inFull);
    EXPECT_EQ(ask(trayEnvelope(element("getGroupsRequest", 2))), std::vector<std::string>{}) << "closed";
    // Another client is logged in full again.
    asker = connect();
    ask("hello");
    EXPECT_EQ(countOf(log.text(), "Internal error 207"), inFull + 1);
}

TEST_F(SoapDispatcherTest, RepairByteRestartsTheAdaptersAndSetsTheQuitSignal) {
    LogCapture log;
    EXPECT_EQ(ask("Q"), std::vector<std::string>{});
    EXPECT_EQ(engine.adapterResets, 1);
    EXPECT_TRUE(log.contains("Service will attempt to perform 'repair'.")) << log.text();
    // The signal is set: a wait returns at once.
    QuitSignal::wait();
}

TEST_F(SoapDispatcherTest, WalkEndsWithTheConnection) {
    recorder(asker).leave();
    receive(asker, trayEnvelope(element("getGroupsRequest", 1) + element("getGroupsRequest", 2)));
    EXPECT_EQ(recorder(asker).take(), std::vector<std::string>{});
}

TEST_F(SoapDispatcherTest, ArrivalLineIsLoggedAsTheHandlerIsMade) {
    LogCapture log;
    ask(trayEnvelope(element("getActiveGroupRequest", 1)));
    EXPECT_TRUE(log.contains("Active group request received.")) << log.text();
}

TEST(HandlerTableTest, ServiceTableServesEachCommandOnceAndUnknownOnesWithFaultTen) {
    std::set<std::int32_t> seen;
    for (const HandlerRow& row : HandlerTable::service().rows()) {
        EXPECT_TRUE(seen.insert(row.command).second) << row.command;
        EXPECT_GE(row.command, 1);
        EXPECT_LE(row.command, ConnApiMessages::COUNT);
    }
}

}  // namespace
