// The real service answers tray programs over its real socket: requests written with the tray
// program's own request writer, replies read with its own SOAP reader. Hostile clients are
// answered or logged, and nobody else notices them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QByteArray>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/client/SoapRequest.h"
#include "platform/qtsoap/QtSoapMessage.h"
#include "runtime/lum/Log.h"
#include "runtime/lum/LumMain.h"
#include "tests/system/ServiceClientTest.h"
#include "tests/system/ServiceLog.h"
#include "tests/system/ServiceProcess.h"
#include "tests/vel/connection/PipeClient.h"
#include "vel/exception/NoConnectionException.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

// A request as the tray program writes it.
std::string trayRequest(const QString& method, const QString& number,
                        const std::vector<std::pair<QString, QString>>& children = {}) {
    SoapRequest request(method, number);
    for (const auto& [name, value] : children) request.addRequestParam(name, value);
    request.endRequest();
    return request.text().toStdString();
}

// The head and tail of the envelope the tray program writes, around body elements of our own.
std::string trayEnvelope(const std::string& elements) {
    return soapEnvelopeHead().toStdString() + elements + soapEnvelopeTail().toStdString();
}

std::string faultBytes(const char* faultString, const char* number, const char* code) {
    return std::string(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" "
               "xmlns=\"urn:varnel:tamsel:connapi\" "
               "encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\">\n"
               "<SOAP-ENV:Body>\n<SOAP-ENV:Fault>\n<SOAP-ENV:faultcode>Client</SOAP-ENV:faultcode>\n"
               "<SOAP-ENV:faultstring>") +
           faultString + "</SOAP-ENV:faultstring>\n<SOAP-ENV:detail>\n<sequenceNumber>" + number +
           "</sequenceNumber>\n<errorCode>" + code +
           "</errorCode>\n<errorString></errorString>\n</SOAP-ENV:detail>\n</SOAP-ENV:Fault>\n</"
           "SOAP-ENV:Body>\n"
           "</SOAP-ENV:Envelope>\n";
}

struct Reply {
    std::string name;
    std::string faultString;
    int sequenceNumber = -1;
    int errorCode = -1;
};

Reply read(const std::string& bytes) {
    QtSoapMessage soap;
    Reply reply;
    if (!soap.setContent(QByteArray::fromStdString(bytes))) return reply;
    reply.name = soap.method().name().toStdString();
    if (soap.isFault()) {
        reply.faultString = soap.method()["faultstring"].text().toStdString();
        reply.sequenceNumber = soap.faultDetail()["sequenceNumber"].toInt();
        reply.errorCode = soap.faultDetail()["errorCode"].toInt();
    } else {
        reply.sequenceNumber = soap.method()["sequenceNumber"].toInt();
    }
    return reply;
}

class ConnApiServiceTest : public ServiceClientTest {
protected:
    // A request that no handler will ever serve, answered: without a configuration, with fault 1
    // and its number.
    static void expectAnswered(PipeClient& client, int number) {
        client.send(trayRequest("getVersionRequest", QString::number(number)));
        Reply reply = read(client.receive());
        EXPECT_EQ(reply.faultString, "unknownRequest");
        EXPECT_EQ(reply.sequenceNumber, number);
        EXPECT_EQ(reply.errorCode, 1);
    }

    // Ctrl+C; the run's log once the service has ended and every line is written.
    std::string stopAndReadLog() {
        EXPECT_EQ(stopService(), 0) << service->output();
        return root.logText();
    }
};

TEST_F(ConnApiServiceTest, UnknownRequestIsAnsweredWithItsFaultBytesOnTheAskingConnectionOnly) {
    PipeClient& asker = connectClient();
    PipeClient& other = connectClient();
    asker.send(trayRequest("fooRequest", "7"));
    // No configuration is active, so the precheck answers before the request is looked at.
    EXPECT_EQ(asker.receive(), faultBytes("unknownRequest", "7", "1"));
    expectAnswered(other, 8);
    expectAnswered(asker, 9);
    const std::string log = stopAndReadLog();
    EXPECT_THAT(log, HasSubstr("]: Normal Shutdown: "));
    EXPECT_THAT(log, HasSubstr("TextToConnApiCommand: Unknown command.")) << "the unknown name is logged";
}

struct HostileRow {
    const char* name;
    std::string payload;
    // The replies, in order; none for a message that is only logged.
    std::vector<std::pair<const char*, int>> replies;
};

TEST_F(ConnApiServiceTest, HostileMessagesAreAnsweredOrLoggedAndNobodyElseNotices) {
    const std::string secret = "secret-beside-the-service";
    root.write("secret.txt", secret);
    const std::string fifo = root.path() + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

    std::string bomb = "<!DOCTYPE e [<!ENTITY a \"aaaaaaaaaa\">";
    for (char c = 'b'; c <= 'k'; ++c) {
        bomb += std::string("<!ENTITY ") + c + " \"";
        for (int i = 0; i < 10; ++i) bomb += std::string("&") + static_cast<char>(c - 1) + ";";
        bomb += "\">";
    }
    bomb += "]>" + trayEnvelope(
                       "<tamsel:getGroupsRequest><tamsel:sequenceNumber>&k;</tamsel:sequenceNumber>"
                       "</tamsel:getGroupsRequest>");
    std::string nested;
    for (int i = 0; i < 10000; ++i) nested += "<tamsel:a>";
    std::string flat;
    std::vector<std::pair<const char*, int>> flatReplies;
    // As many as one message may hold.
    for (int i = 0; i < 500; ++i) {
        flat += "<tamsel:getVersionRequest><tamsel:sequenceNumber>" + std::to_string(i) +
                "</tamsel:sequenceNumber></tamsel:getVersionRequest>";
        flatReplies.push_back({"unknownRequest", i});
    }

    const std::vector<HostileRow> rows = {
        {"not XML", "hello, service", {}},
        {"QQ", "QQ", {}},
        {"a root of no kind", "<foo/>", {}},
        {"no Body",
         soapEnvelopeHead().toStdString().substr(0, soapEnvelopeHead().indexOf("\n")) +
             "</SOAP-ENV:Envelope>",
         {}},
        {"a document type naming a file",
         "<!DOCTYPE e SYSTEM \"file://" + root.path() + "/secret.txt\">" +
             trayRequest("getGroupsRequest", "1"),
         {}},
        {"a document type naming a FIFO",
         "<!DOCTYPE e [<!ENTITY x SYSTEM \"" + fifo + "\">]>" +
             trayEnvelope("<tamsel:getGroupsRequest><tamsel:sequenceNumber>&x;</tamsel:sequenceNumber>"
                          "</tamsel:getGroupsRequest>"),
         {}},
        {"an entity bomb", bomb, {}},
        {"hexadecimal number", trayRequest("fooRequest", "0x1F"), {{"unknownRequest", 31}}},
        {"octal number", trayRequest("fooRequest", "010"), {{"unknownRequest", 8}}},
        {"no number", trayRequest("fooRequest", "abc"), {{"unknownRequest", 0}}},
        {"number too large", trayRequest("fooRequest", "99999999999"), {{"unknownRequest", 2147483647}}},
        {"a 500,000-character name", trayEnvelope("<tamsel:" + std::string(500000, 'n') + "/>"), {}},
        {"10,000 nested elements", trayEnvelope(nested), {}},
        {"500 requests in one body", trayEnvelope(flat), flatReplies},
    };

    PipeClient& hostile = connectClient();
    PipeClient& bystander = connectClient();
    int number = 100;
    for (const HostileRow& row : rows) {
        SCOPED_TRACE(row.name);
        hostile.send(row.payload);
        for (const auto& [faultString, sequence] : row.replies) {
            Reply reply = read(hostile.receive());
            ASSERT_EQ(reply.faultString, faultString);
            ASSERT_EQ(reply.sequenceNumber, sequence);
        }
        // The next request is answered, first of what comes after the row.
        expectAnswered(hostile, ++number);
        expectAnswered(bystander, ++number);
    }
    const std::string log = stopAndReadLog();
    // The first three messages that do not read are logged one by one, the other five in one line.
    EXPECT_EQ(countOf(log, "Internal error 207, contact software manufacturer"), 2) << log;
    EXPECT_EQ(countOf(log, "Internal error 103, contact software manufacturer"), 1) << log;
    EXPECT_EQ(countOf(log, ": 5 more messages that do not read in "), 1) << log;
    EXPECT_EQ(countOf(log, "Invalid SOAP message format - Body missing"), 1) << log;
    EXPECT_THAT(log, Not(HasSubstr(secret)));
    EXPECT_THAT(log, Not(HasSubstr("Fatal Shutdown")));
}

TEST_F(ConnApiServiceTest, ClientThatNeverReadsIsDroppedAndTheOthersAreServed) {
    PipeClient& deaf = connectClient();
    PipeClient& other = connectClient();
    std::string body;
    for (int i = 0; i < 500; ++i)
        body += "<tamsel:getVersionRequest><tamsel:sequenceNumber>" + std::to_string(i) +
                "</tamsel:sequenceNumber></tamsel:getVersionRequest>";
    const std::string envelope = trayEnvelope(body);
    // Each envelope is answered with 500 faults that nobody reads, until the service lets go.
    bool dropped = false;
    for (int i = 0; i < 400 && !dropped; ++i) {
        try {
            deaf.send(envelope);
        } catch (const NoConnectionException&) {
            dropped = true;
        }
    }
    EXPECT_TRUE(dropped);
    expectAnswered(other, 1);
    const std::string log = stopAndReadLog();
    EXPECT_THAT(log, HasSubstr("the client does not read: dropped"));
    EXPECT_THAT(log, Not(HasSubstr("Fatal Shutdown")));
}

TEST_F(ConnApiServiceTest, RepairByteStopsTheServiceInOrder) {
    PipeClient& client = connectClient();
    expectAnswered(client, 1);
    client.sendRaw("1\nQ");
    EXPECT_EQ(service->waitForExit(), 0) << service->output();
    EXPECT_THROW(client.receive(), NoConnectionException);
    const std::string log = root.logText();
    EXPECT_THAT(log, HasSubstr("]: Service will attempt to perform 'repair'.\n"));
    expectOrderedRun(log, 2);
}

// The logon client's session news reach the service's logon state machine even before a
// configuration is in force: both are answered, and the user's logon and logoff are followed.
TEST_F(ConnApiServiceTest, TheLogonClientsSessionRequestsReachTheLogonStateMachine) {
    PipeClient& logonClient = connectClient();
    logonClient.send(trayRequest("ssoUserSessionActionsRequest", "3",
                                 {{"userTokenHandle", "40"}, {"userLogonProcessId", "41"}}));
    Reply started = read(logonClient.receive());
    EXPECT_EQ(started.name, "ssoUserSessionActionsResponse");
    EXPECT_EQ(started.sequenceNumber, 3);
    logonClient.send(trayRequest("ssoNoUserSessionRequest", "4"));
    Reply ended = read(logonClient.receive());
    EXPECT_EQ(ended.name, "ssoNoUserSessionResponse");
    EXPECT_EQ(ended.sequenceNumber, 4);
    const std::string log = stopAndReadLog();
    const size_t session = log.find("]: User session has started.\n");
    ASSERT_NE(session, std::string::npos) << log;
    EXPECT_NE(log.find("]: SERVICE_STATUS: emitUserAction\n", session), std::string::npos);
    EXPECT_THAT(log, Not(HasSubstr("Internal error")));
}

}  // namespace
