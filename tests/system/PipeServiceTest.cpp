// Tray programs talk to the running service over its real socket "run/vel", with the project's own
// client end, while an echoing subscriber on the engine thread answers each datagram.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <typeinfo>

#include "tests/system/ServiceClientTest.h"
#include "runtime/lum/Log.h"
#include "runtime/lum/LumMain.h"
#include "tests/system/ServiceEchoSubscriber.h"
#include "tests/system/ServiceLog.h"
#include "tests/system/ServiceProcess.h"
#include "tests/vel/connection/PipeClient.h"
#include "vel/exception/BaseException.h"
#include "vel/exception/NoConnectionException.h"
#include "vel/xmlconnectionapi/ConnApiFrame.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

constexpr int INSTANCES = ConnectionConstants::PIPE_INSTANCES;
const char* const STOPPED = "Stopping Varnel Tamsel...\nVarnel Tamsel is stopped.\n";

// A message of a client that no other client sends; sizes from a few bytes to more than one read
// of the socket.
std::string payloadOf(int client, int message) {
    static const size_t SIZES[] = {10, 350, 3100, 70000};
    std::string text = "<c" + std::to_string(client) + " m" + std::to_string(message) + "/>";
    text.resize(std::max(SIZES[message % 4], text.size()), static_cast<char>('a' + client));
    return text;
}

class PipeServiceTest : public ServiceClientTest {
protected:
    static void roundTrip(PipeClient& client, const std::string& payload) {
        client.send(payload);
        EXPECT_EQ(client.receive(), payload);
    }

    // A run that ended by Ctrl+C after an ordinary end of its work.
    void expectCleanEnd() {
        ASSERT_EQ(stopService(), 0) << service->output();
        std::string log = root.logText();
        EXPECT_THAT(service->output(), testing::EndsWith(STOPPED));
        EXPECT_THAT(log, HasSubstr("]: Normal Shutdown: 5.1.1.18\n"));
        EXPECT_THAT(log, HasSubstr("]: No memory leaks detected"));
        for (const char* fault : {"Fatal Shutdown", "Internal error", "Assertion", "queue is full"})
            EXPECT_THAT(log, Not(HasSubstr(fault))) << log;
    }

    // Lets the engine go on once it waits in the echo subscriber's hold (after HOLD_TEXT).
    void releaseEngine() {
        const std::string fifo = root.path() + "/" + ServiceEchoSubscriberImpl::HOLD_FIFO;
        int release = -1;
        ASSERT_TRUE(waitFor([&] {
            return (release = open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) >= 0;
        })) << "the engine does not wait on "
            << fifo;
        EXPECT_EQ(write(release, "!", 1), 1);
        close(release);
    }
};

}  // namespace

TEST_F(PipeServiceTest, FiveClientsAtOnceEachGetTheirOwnDatagramsBack) {
    constexpr int MESSAGES = 24;
    for (int c = 0; c < INSTANCES; ++c) connectClient();
    std::vector<std::future<std::vector<std::string>>> talks;
    for (int c = 0; c < INSTANCES; ++c) {
        talks.push_back(std::async(std::launch::async, [this, c] {
            std::vector<std::string> echoes;
            // A few requests in flight at once, as a tray program's windows send them.
            try {
                for (int m = 0; m < MESSAGES; m += 4) {
                    for (int k = m; k < m + 4; ++k) clients[c]->send(payloadOf(c, k));
                    for (int k = m; k < m + 4; ++k) echoes.push_back(clients[c]->receive());
                }
            } catch (const BaseException& e) {
                // The echoes so far tell where the connection ended; the service's log says why.
                ADD_FAILURE() << "client " << c << " lost its connection (" << typeid(e).name() << ") after "
                              << echoes.size() << " echoes";
            }
            return echoes;
        }));
    }
    for (int c = 0; c < INSTANCES; ++c) {
        std::vector<std::string> echoes = talks[c].get();
        ASSERT_EQ(echoes.size(), size_t{MESSAGES}) << service->output() << root.logText();
        for (int m = 0; m < MESSAGES; ++m)
            EXPECT_TRUE(echoes[m] == payloadOf(c, m)) << "client " << c << " message " << m;
    }
    // Read once the service has ended: the logging thread may still hold lines before that.
    expectCleanEnd();
    EXPECT_EQ(countOf(root.logText(), "]: Accepted new connection\n"), INSTANCES);
}

TEST_F(PipeServiceTest, ClientVanishingMidFrameLeavesTheOthersWorking) {
    struct Case {
        const char* name;
        std::string bytes;  // the start of a frame that never ends
    };
    const std::vector<Case> cases = {
        {"in the header", "12"},
        {"after the header", "100\n"},
        {"in the payload", "100\n<half"},
        {"in a payload longer than a read", "500000\n" + std::string(200000, 'h')},
    };
    std::vector<PipeClient*> stay;
    for (int c = 0; c < INSTANCES - 1; ++c) stay.push_back(&connectClient());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Served in the place the one before left.
        PipeClient& vanishes = connectClient();
        roundTrip(vanishes, "<whole/>");
        vanishes.sendRaw(c.bytes);
        vanishes.close();
        for (size_t s = 0; s < stay.size(); ++s) roundTrip(*stay[s], "<still " + std::to_string(s) + "/>");
    }
    // Read once the service has ended: the logging thread may still hold lines before that.
    expectCleanEnd();
    EXPECT_EQ(countOf(root.logText(), "]: Accepted new connection\n"),
              INSTANCES - 1 + static_cast<int>(cases.size()));
}

TEST_F(PipeServiceTest, SixthClientIsServedWhenOneOfFiveLeaves) {
    for (int c = 0; c < INSTANCES; ++c) roundTrip(connectClient(), "<c" + std::to_string(c) + "/>");
    // The sixth gets through to the socket and may already send; nobody answers it yet.
    PipeClient& sixth = connectClient();
    sixth.send("<sixth/>");
    auto answer = std::async(std::launch::async, [&sixth] { return sixth.receive(); });
    for (int c = 0; c < INSTANCES; ++c) roundTrip(*clients[c], "<again/>");
    EXPECT_EQ(answer.wait_for(std::chrono::seconds(0)), std::future_status::timeout);

    clients[0]->close();
    EXPECT_EQ(answer.get(), "<sixth/>");
    for (size_t c = 1; c < clients.size(); ++c) roundTrip(*clients[c], "<still/>");
    // Read once the service has ended: the logging thread may still hold lines before that.
    expectCleanEnd();
    EXPECT_EQ(countOf(root.logText(), "]: Accepted new connection\n"), INSTANCES + 1);
}

TEST_F(PipeServiceTest, FloodOfTinyFramesDoesNotStopTheService) {
    // Far more one-byte frames than the engine's queue holds arrive while the engine thread is
    // busy with one request; each flood fits the socket's buffer, so it is sent at once.
    constexpr int FRAMES = 20000;
    const std::string fifo = root.path() + "/" + ServiceEchoSubscriberImpl::HOLD_FIFO;
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0) << strerror(errno);
    std::string flood, expected;
    for (int i = 0; i < FRAMES; ++i) {
        char byte = static_cast<char>('A' + i % 26);
        flood += "1\n" + std::string(1, byte);
        expected += byte;
    }
    PipeClient& holder = connectClient();
    PipeClient& other = connectClient();
    std::vector<PipeClient*> flooders = {&connectClient(), &connectClient()};
    roundTrip(other, "<before/>");
    roundTrip(holder, ServiceEchoSubscriberImpl::HOLD_TEXT);

    for (PipeClient* flooder : flooders) flooder->sendRaw(flood);
    other.send("<other/>");
    releaseEngine();

    std::vector<std::future<std::string>> echoes;
    for (PipeClient* flooder : flooders) {
        echoes.push_back(std::async(std::launch::async, [flooder] {
            std::string echoed;
            for (int i = 0; i < FRAMES; ++i) echoed += flooder->receive();
            return echoed;
        }));
    }
    for (auto& echoed : echoes) EXPECT_TRUE(echoed.get() == expected) << "every frame came back, in order";
    EXPECT_EQ(other.receive(), "<other/>");
    roundTrip(other, "<after/>");
    EXPECT_TRUE(service->running());
    expectCleanEnd();
}

TEST_F(PipeServiceTest, StopWithClientsConnectedEndsCleanly) {
    PipeClient& idle = connectClient();
    PipeClient& midFrame = connectClient();
    PipeClient& deaf = connectClient();
    roundTrip(idle, "<idle/>");
    roundTrip(midFrame, "<whole/>");
    midFrame.sendRaw("50\n<part");
    // Echoes pile up until the service's send thread blocks on a client that never reads.
    const std::string big(200000, 'z');
    for (int i = 0; i < 20; ++i) deaf.send(big);
    roundTrip(idle, "<idle again/>");

    ASSERT_EQ(stopService(), 0) << service->output();
    EXPECT_THAT(service->output(), testing::EndsWith(STOPPED));
    for (PipeClient* client : {&idle, &midFrame}) EXPECT_THROW(client->receive(), NoConnectionException);
    // Nobody serves the pipe any more.
    PipeClient late;
    EXPECT_FALSE(late.connect());
    // Each connection's two threads ended with the pipe server, before the queues' workers.
    expectOrderedRun(root.logText(), 2 * 3);
}

namespace {

// The engine's queue load is logged once it is above half; the one-time timer fires at the start,
// so that nothing but the pipe posts while the clients come and go.
class PipeServiceLoadTest : public PipeServiceTest {
protected:
    PipeServiceLoadTest() {
        debugLevel = "0x4f";
        serviceEnvironment["TAMSEL_TEST_ONE_TIME_TIMER_S"] = "0";
    }
};

}  // namespace

TEST_F(PipeServiceLoadTest, ManyShortLivedClientsBehindABusyEngineStayWithinThePipesShare) {
    // Each client comes, sends a few frames at once and goes while the engine thread is busy, so
    // that its connection's news and datagrams wait in the engine's queue after it has gone: up to
    // seven frames stay below a connection's own limit, and its receive thread sees the client go.
    constexpr int CLIENTS = 64;
    const std::string fifo = root.path() + "/" + ServiceEchoSubscriberImpl::HOLD_FIFO;
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0) << strerror(errno);
    PipeClient& holder = connectClient();
    roundTrip(holder, ServiceEchoSubscriberImpl::HOLD_TEXT);

    std::vector<std::thread> comers;
    for (int c = 0; c < CLIENTS; ++c) {
        comers.emplace_back([c] {
            PipeClient client;
            ASSERT_TRUE(client.connect());
            std::string frames;
            for (int f = 0; f < c % 8; ++f) frames += "1\n" + std::string(1, static_cast<char>('a' + f % 26));
            client.sendRaw(frames);
            client.close();
        });
    }
    for (std::thread& t : comers) t.join();
    releaseEngine();
    // Accepted after every one of them.
    EXPECT_NO_THROW(roundTrip(connectClient(), "<last/>"));
    ASSERT_TRUE(service->running()) << root.logText();
    expectCleanEnd();
    std::string log = root.logText();
    EXPECT_EQ(countOf(log, "]: Accepted new connection\n"), CLIENTS + 2);
    EXPECT_THAT(log, Not(HasSubstr("Current number of messages in queue")))
        << "the queue was more than half full";
}

TEST_F(PipeServiceTest, ClientThatNeverReadsIsDroppedAndTheServiceGoesOn) {
    // Every datagram is echoed to a client that reads nothing: once the socket is full the echoes
    // wait in its connection, until there are more than a client may have waiting.
    const std::string big(ConnApiFrame::MAX_MESSAGE_LENGTH - 1000, 'd');
    constexpr int FRAMES = 2 * ConnectionConstants::MAX_OUTGOING_BYTES / ConnApiFrame::MAX_MESSAGE_LENGTH;
    PipeClient& other = connectClient();
    PipeClient& deaf = connectClient();
    roundTrip(other, "<before/>");
    // Its own frames go out until the service has cut it off.
    try {
        for (int i = 0; i < FRAMES; ++i) deaf.send(big);
    } catch (const NoConnectionException&) {
    }
    ASSERT_TRUE(waitFor([&] {
        return countOf(root.logText(), "the client does not read: dropped with") == 1;
    })) << "the deaf client was never dropped";
    // What it had not read yet is still in its socket, then the connection ends.
    EXPECT_THROW(for (;;) deaf.receive(), NoConnectionException);
    roundTrip(other, "<after/>");
    roundTrip(connectClient(), "<newcomer/>");
    expectCleanEnd();
    EXPECT_EQ(countOf(root.logText(), "the client does not read: dropped with"), 1);
}
