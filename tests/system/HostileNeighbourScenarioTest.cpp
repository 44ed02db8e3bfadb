// A hostile neighbour on the pipe while the wired network connects: the real service on the signed
// office configuration, a tray program that watches the connection, and a second client that sends
// garbage, unknown commands, oversized frames and floods. The neighbour is answered or dropped, the
// connection completes as it would alone, and the tray program sees it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/system/LabClient.h"
#include "tests/system/OfficeLab.h"
#include "tests/system/ServiceClientTest.h"
#include "tests/system/TrayMessages.h"
#include "vel/communication/UnreadableMessages.h"
#include "vel/exception/BaseException.h"

namespace {

using tamsel::test::LabClient;
using tamsel::test::replyTo;
using tamsel::test::trayEnvelope;
using tamsel::test::trayRequest;
using tamsel::test::trayRequestElement;
using ::testing::HasSubstr;
using ::testing::Not;

std::string frame(const std::string& payload) {
    return std::to_string(payload.size()) + "\n" + payload;
}

struct HostileRow {
    const char* name;
    // Sent as it is, frames and all.
    std::string bytes;
};

class HostileNeighbourTest : public ServiceClientTest {
protected:
    void SetUp() override {
        root.write("system/configuration.xml", readText(OFFICE_CONFIGURATION));
        root.write("lab.xml", officeLab(false));
        ServiceClientTest::SetUp();
    }
};

TEST_F(HostileNeighbourTest, TheWiredConnectionCompletesWhileANeighbourSendsGarbageAndFloods) {
    std::string flood;
    for (int i = 0; i < 2000; ++i) flood += "1\nx";
    std::string requests;
    for (int i = 0; i < 2000; ++i) requests += frame(trayRequest("getServiceStateRequest", 1000 + i));
    std::string oneBody;
    for (int i = 0; i < 500; ++i) oneBody += trayRequestElement("fooRequest", 5000 + i);
    const std::vector<HostileRow> rows = {
        {"garbage", frame("hello, service")},
        {"bytes that are no frame", std::string("\x01\x02\xff\xfe garbage without a header\n", 31)},
        {"an unknown command", frame(trayRequest("fooRequest", 7))},
        {"500 unknown commands in one body", frame(trayEnvelope(oneBody))},
        {"a 500,000-character element name",
         frame(trayEnvelope("<tamsel:" + std::string(500000, 'n') + "/>"))},
        {"2,000 one-byte frames", flood},
        {"2,000 status requests at once", requests},
        {"a frame longer than any message may be", "99999999\n" + std::string(70000, 'z')},
    };

    PipeClient& tray = connectClient();
    LabClient lab(root.path() + "/run/lab");
    ASSERT_TRUE(waitFor([&] {
        return countOf(root.logText(), "Network Wired-LAN: AccessStateMachine new state = ACCESS_STARTED") >
               0;
    })) << root.logText();
    ASSERT_EQ(lab.command("link eth0 up"), std::vector<std::string>{"ok"});

    int answered = 0;
    int dropped = 0;
    int number = 100;
    for (const HostileRow& row : rows) {
        SCOPED_TRACE(row.name);
        // One neighbour at a time, gone before the next: the pipe serves five clients at once.
        PipeClient neighbour;
        ASSERT_TRUE(waitFor([&] { return neighbour.connect(); }));
        try {
            neighbour.sendRaw(row.bytes);
            // Still there: a status request is answered after whatever the row brought back.
            neighbour.send(trayRequest("getServiceStateRequest", ++number));
            EXPECT_THAT(replyTo(neighbour, number), HasSubstr("<getServiceStateResponse>"));
            ++answered;
        } catch (const BaseException&) {
            ++dropped;
        }
        neighbour.close();
    }
    EXPECT_EQ(answered + dropped, static_cast<int>(rows.size()));
    EXPECT_GE(dropped, 1) << "a frame over the limit ends its connection";

    // The tray program hears the wired network connect and is answered as before.
    ASSERT_TRUE(waitFor([&] {
        return countOf(root.logText(),
                       "Network Wired-LAN: AccessStateMachine new state = ACCESS_CONNECTED") == 1;
    })) << root.logText();
    bool heardConnected = false;
    while (!heardConnected) {
        std::string message = tray.receive();
        heardConnected = message.find("networkStateEvent") != std::string::npos &&
                         message.find("<networkState>connected</networkState>") != std::string::npos;
    }
    tray.send(trayRequest("getServiceStateRequest", ++number));
    EXPECT_THAT(replyTo(tray, number), HasSubstr("<tamselEnabled>true</tamselEnabled>"));

    EXPECT_EQ(stopService(), 0);
    const std::string log = root.logText();
    // The service names each message it cannot read (207) and each unknown command (149) as it
    // always does (fewer when it drops a flooding neighbour first), and nothing else goes wrong.
    const int unreadable = countOf(log, "]: Internal error 207, contact software manufacturer\n");
    const int unknown = countOf(log, "]: Internal error 149, contact software manufacturer\n");
    EXPECT_GE(unreadable, 3);
    EXPECT_LE(unreadable, 1 + 1 + 1 + 2000);  // garbage, no frame, the long name, the one-byte frames
    EXPECT_GE(unknown, 1);
    EXPECT_LE(unknown, 1 + 500);
    EXPECT_EQ(countOf(log, "Internal error"), unreadable + unknown) << log;
    EXPECT_THAT(log, HasSubstr("Network Wired-LAN: AccessStateMachine new state = ACCESS_AUTHENTICATED"));
    EXPECT_THAT(log, Not(HasSubstr("AUTHENTICATION_FAILED")));
    EXPECT_THAT(log, Not(HasSubstr("FATAL")));
    EXPECT_THAT(log, Not(HasSubstr("Fatal Shutdown")));
    EXPECT_THAT(log, Not(HasSubstr("Assertion")));
    EXPECT_THAT(log, HasSubstr("]: Normal Shutdown: "));
}


TEST_F(HostileNeighbourTest, AClientSendingOnlyJunkIsClosedAndTheLogKeepsItsHistory) {
    // Every log file there is before the neighbour comes, with what it holds.
    PipeClient& tray = connectClient();
    tray.send(trayRequest("getServiceStateRequest", 1));
    EXPECT_THAT(replyTo(tray, 1), HasSubstr("<getServiceStateResponse>"));
    std::map<std::string, std::string> before;
    for (const auto& file : std::filesystem::directory_iterator(root.path() + "/logs"))
        before[file.path().filename().string()] = readText(file.path().string());
    ASSERT_TRUE(before.count("CurrentLog.txt"));

    // Junk frames, some with junk in their headers, from one connection after another: without a
    // bound each would write three or four lines, and these would rotate the log several times.
    constexpr int CONNECTIONS = 8;
    constexpr int FRAMES = 3000;
    std::string junk;
    for (int i = 0; i < FRAMES; ++i) junk += i % 2 == 0 ? frame("hello, service") : "x" + frame("<a><b></a>");
    for (int c = 0; c < CONNECTIONS; ++c) {
        SCOPED_TRACE(c);
        PipeClient neighbour;
        ASSERT_TRUE(waitFor([&] { return neighbour.connect(); }));
        try {
            neighbour.sendRaw(junk);
        } catch (const BaseException&) {
            // Closed before it had sent all.
        }
        ASSERT_TRUE(waitFor([&] { return countOf(root.logText(), "sends nothing that reads: closed") == c + 1; }))
            << "the neighbour was not closed\n" << root.logText();
        // Whatever the service had sent it before, then the end of the connection.
        EXPECT_THROW(for (;;) neighbour.receive(), BaseException);
        neighbour.close();
    }

    tray.send(trayRequest("getServiceStateRequest", 2));
    EXPECT_THAT(replyTo(tray, 2), HasSubstr("<getServiceStateResponse>"));
    EXPECT_EQ(stopService(), 0);
    for (const auto& [name, text] : before) {
        SCOPED_TRACE(name);
        const std::string now = readText(root.path() + "/logs/" + name);
        EXPECT_EQ(now.compare(0, text.size(), text), 0) << "the file from before was rotated away";
    }
    const std::string log = root.logText();
    // The first few of each connection are logged as any message that does not read, the rest in
    // a line or two.
    EXPECT_EQ(countOf(log, "]: Internal error 207, contact software manufacturer\n"),
              CONNECTIONS * UnreadableMessages::LOGGED_IN_FULL);
    EXPECT_GE(countOf(log, "more messages that do not read in"), CONNECTIONS);
    // What the parser says of each is logged with it, and only then.
    EXPECT_LE(countOf(log, "XML error: "), CONNECTIONS * UnreadableMessages::LOGGED_IN_FULL * 3);
    EXPECT_LT(log.size(), before.at("CurrentLog.txt").size() + 400000) << "the log grew by the junk";

    // The console of scripts/run tells the first such message and each closed client, no more.
    tamsel::test::ChildProcess follower;
    ASSERT_TRUE(follower.start(FOLLOW_LOG, {"--once", root.log()}));
    const std::string told = follower.readAll();
    EXPECT_EQ(countOf(told, "Internal error 207"), 1) << told;
    EXPECT_EQ(countOf(told, "a client that sent nothing readable was closed"), CONNECTIONS) << told;
}

}  // namespace
