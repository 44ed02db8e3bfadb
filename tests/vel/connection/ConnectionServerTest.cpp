#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <future>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "runtime/lum/Log.h"
#include "tests/vel/connection/PipeHarness.h"
#include "tests/vel/multithread/QueueTestSupport.h"
#include "vel/exception/CanceledException.h"
#include "vel/exception/NoConnectionException.h"
#include "vel/exception/NvoException.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiFrame.h"

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Record = EchoSubscriberImpl::Record;

namespace {

const std::vector<int> CAME_AND_WENT = {ConnectionConstants::CONNECTED, ConnectionConstants::DISCONNECTED};

std::string payloadOf(int client, int message) {
    // Sizes on both sides of the receive buffer's inline area.
    size_t size = message % 4 == 3 ? 3000 + 17 * static_cast<size_t>(message) : 10;
    std::string text = "<c" + std::to_string(client) + " m" + std::to_string(message) + "/>";
    text.resize(std::max(size, text.size()), static_cast<char>('a' + client));
    return text;
}

class ConnectionServerTest : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        setLogLevelMask(LogConstants::INITIAL_MASK);
        service.emplace();
        ASSERT_TRUE(service->running());
    }
    void TearDown() override {
        clients.clear();
        service.reset();
        RuntimeTest::TearDown();
    }

    EchoSubscriberImpl& subscriber() { return *service->subscriber; }

    PipeClient& connectClient() {
        clients.emplace_back(std::make_unique<PipeClient>());
        EXPECT_TRUE(clients.back()->connect());
        return *clients.back();
    }

    // Waits until n connections came and m of them went.
    bool waitForStates(int came, int went) {
        return subscriber().waitUntil([&](EchoSubscriberImpl& s) {
            return s.count(ConnectionConstants::CONNECTED) == came &&
                   s.count(ConnectionConstants::DISCONNECTED) == went;
        });
    }

    void roundTrip(PipeClient& client, const std::string& payload) {
        client.send(payload);
        EXPECT_EQ(client.receive(), payload);
    }

    std::optional<PipeService> service;
    std::vector<std::unique_ptr<PipeClient>> clients;
};

}  // namespace

TEST_F(ConnectionServerTest, FiveClientsAtOnceEachGetTheirOwnDatagramsBack) {
    constexpr int CLIENTS = ConnectionConstants::PIPE_INSTANCES, MESSAGES = 40;
    for (int c = 0; c < CLIENTS; ++c) connectClient();
    std::vector<std::future<std::vector<std::string>>> talks;
    for (int c = 0; c < CLIENTS; ++c) {
        talks.push_back(std::async(std::launch::async, [this, c] {
            std::vector<std::string> echoes;
            // A few requests in flight at once, as a tray program's windows send them.
            for (int m = 0; m < MESSAGES; m += 4) {
                for (int k = m; k < m + 4; ++k) clients[c]->send(payloadOf(c, k));
                for (int k = m; k < m + 4; ++k) echoes.push_back(clients[c]->receive());
            }
            return echoes;
        }));
    }
    for (int c = 0; c < CLIENTS; ++c) {
        ASSERT_EQ(talks[c].wait_for(DEADLINE), std::future_status::ready);
        std::vector<std::string> echoes = talks[c].get();
        ASSERT_EQ(echoes.size(), size_t{MESSAGES});
        for (int m = 0; m < MESSAGES; ++m) EXPECT_EQ(echoes[m], payloadOf(c, m)) << "client " << c;
    }
    // Each connection handed its own datagrams, in order, to the subscriber on one engine thread.
    std::vector<Record> records = subscriber().snapshot();
    ASSERT_EQ(records.size(), size_t{CLIENTS});
    std::set<std::string> firsts;
    for (const Record& r : records) {
        EXPECT_THAT(r.states, ElementsAre(ConnectionConstants::CONNECTED));
        ASSERT_EQ(r.datagrams.size(), size_t{MESSAGES});
        firsts.insert(r.datagrams[0]);
    }
    EXPECT_EQ(firsts.size(), size_t{CLIENTS});
    EXPECT_EQ(subscriber().threads().size(), 1u);
    EXPECT_EQ(service->server().impl()->connectionCount(), CLIENTS);

    for (auto& client : clients) client->close();
    ASSERT_TRUE(waitForStates(CLIENTS, CLIENTS));
    for (const Record& r : subscriber().snapshot()) EXPECT_EQ(r.states, CAME_AND_WENT);
    EXPECT_EQ(service->server().impl()->connectionCount(), 0);
}

TEST_F(ConnectionServerTest, ClientVanishingMidFrameLeavesTheOthersWorking) {
    PipeClient& stays = connectClient();
    PipeClient& vanishes = connectClient();
    roundTrip(stays, "<before/>");
    roundTrip(vanishes, "<whole/>");
    ASSERT_TRUE(waitForStates(2, 0));
    vanishes.sendRaw("100\n<half");
    vanishes.close();
    ASSERT_TRUE(waitForStates(2, 1));
    roundTrip(stays, "<after/>");

    std::vector<Record> records = subscriber().snapshot();
    ASSERT_EQ(records.size(), 2u);
    // The half frame was never handed on; the gone connection was told once.
    const Record& gone = records[0].states.size() == 2 ? records[0] : records[1];
    const Record& alive = records[0].states.size() == 2 ? records[1] : records[0];
    EXPECT_EQ(gone.states, CAME_AND_WENT);
    EXPECT_THAT(gone.datagrams, ElementsAre("<whole/>"));
    EXPECT_THAT(alive.datagrams, ElementsAre("<before/>", "<after/>"));
    EXPECT_EQ(service->server().impl()->connectionCount(), 1);

    // A reply to a connection that has gone is dropped without a word.
    std::vector<Connection> finished = subscriber().finished();
    ASSERT_EQ(finished.size(), 1u);
    EXPECT_TRUE(finished[0].isFinished());
    finished[0].send(Datagram("<late/>"));
}

TEST_F(ConnectionServerTest, ClientsThatComeAndGoAtOnceAreToldOnceEachInOrder) {
    constexpr int ROUNDS = 20;
    for (int i = 0; i < ROUNDS; ++i) {
        PipeClient client;
        ASSERT_TRUE(client.connect());
        if (i % 2 == 1) client.send("<bye/>");
        client.close();
    }
    ASSERT_TRUE(waitForStates(ROUNDS, ROUNDS));
    for (const Record& r : subscriber().snapshot()) EXPECT_EQ(r.states, CAME_AND_WENT);
    EXPECT_EQ(service->server().impl()->connectionCount(), 0);
}

TEST_F(ConnectionServerTest, SixthClientIsServedWhenOneOfFiveLeaves) {
    for (int c = 0; c < ConnectionConstants::PIPE_INSTANCES; ++c)
        roundTrip(connectClient(), "<c" + std::to_string(c) + "/>");
    ASSERT_TRUE(waitForStates(5, 0));
    // The sixth gets through to the socket and may already send; it is served once one leaves.
    PipeClient& sixth = connectClient();
    sixth.send("<sixth/>");
    auto answer = std::async(std::launch::async, [&sixth] { return sixth.receive(); });
    clients[0]->close();
    ASSERT_EQ(answer.wait_for(DEADLINE), std::future_status::ready);
    EXPECT_EQ(answer.get(), "<sixth/>");
    ASSERT_TRUE(waitForStates(6, 1));
    for (size_t c = 1; c < clients.size(); ++c) roundTrip(*clients[c], "<still/>");
    EXPECT_EQ(service->server().impl()->connectionCount(), 5);
}

TEST_F(ConnectionServerTest, FloodOfTinyFramesWaitsForTheEngineInsteadOfFillingItsQueue) {
    // Far more frames than the event queue holds arrive while the engine thread is busy.
    constexpr int FRAMES = 5000;
    static_assert(FRAMES > ThreadedQueueImpl::QUEUE_SIZE * 10);
    PipeClient& flooder = connectClient();
    PipeClient& other = connectClient();
    ASSERT_TRUE(waitForStates(2, 0));
    Gate busy;
    service->queue().post(busy.event());
    ASSERT_TRUE(busy.entered());
    std::string flood;
    for (int i = 0; i < FRAMES; ++i) flood += "1\n" + std::string(1, static_cast<char>('A' + i % 26));
    flooder.sendRaw(flood);
    other.send("<other/>");
    busy.open();

    std::string echoed;
    for (int i = 0; i < FRAMES; ++i) echoed += flooder.receive();
    std::string expected;
    for (int i = 0; i < FRAMES; ++i) expected += static_cast<char>('A' + i % 26);
    EXPECT_TRUE(echoed == expected) << "every frame came back, in order";
    EXPECT_EQ(other.receive(), "<other/>");
    roundTrip(other, "<later/>");
    EXPECT_EQ(subscriber().datagramCount(), FRAMES + 2);
}

TEST_F(ConnectionServerTest, RepliesBeyondWhatThePipeHoldsComeBackWholeAndInOrderOnceTheClientReads) {
    // Large and small replies alternate while the client reads nothing: the first large one is
    // begun by the engine thread and finished by the send thread, and no small one may overtake it.
    PipeClient& client = connectClient();
    std::vector<std::string> sent;
    for (int i = 0; i < 8; ++i) {
        sent.push_back(i % 2 == 0 ? std::string(300000, static_cast<char>('a' + i))
                                  : "<small" + std::to_string(i) + "/>");
        client.send(sent.back());
    }
    ASSERT_TRUE(subscriber().waitUntil([](EchoSubscriberImpl& s) { return s.datagramCount() == 8; }));
    for (const std::string& expected : sent) EXPECT_TRUE(client.receive() == expected);
    roundTrip(client, "<after/>");
}

TEST_F(ConnectionServerTest, RepliesFromSeveralThreadsAtOnceComeBackWholeAndEachInItsOrder) {
    // Threads write their own replies while others queue theirs and the send thread finishes begun
    // frames: no frame may be cut into by another, and each thread's replies keep their order.
    PipeClient& client = connectClient();
    ASSERT_TRUE(waitForStates(1, 0));
    std::vector<Connection> live = subscriber().connections();
    ASSERT_EQ(live.size(), 1u);
    constexpr int THREADS = 4;
    constexpr int REPLIES = 40;
    auto reply = [](int thread, int number) {
        std::string text = "<t" + std::to_string(thread) + " n" + std::to_string(number) + "/>";
        // Every second is more than one piece of the socket: two writers at once would mix them.
        // All of them together stay below the backlog at which a client that does not read is dropped.
        text.resize(
            number % 2 == 1 ? 70000 + 7 * static_cast<size_t>(number) : 40 + 13 * static_cast<size_t>(number),
            static_cast<char>('a' + thread));
        return text;
    };
    std::vector<std::thread> senders;
    for (int t = 0; t < THREADS; ++t)
        senders.emplace_back([&, t] {
            for (int n = 0; n < REPLIES; ++n) {
                std::string text = reply(t, n);
                live[0].send(Datagram(text.data(), static_cast<std::int32_t>(text.size())));
            }
        });
    std::vector<int> next(THREADS, 0);
    for (int i = 0; i < THREADS * REPLIES; ++i) {
        std::string got = client.receive();
        int thread = -1;
        int number = -1;
        bool named =
            std::sscanf(got.c_str(), "<t%d n%d/>", &thread, &number) == 2 && 0 <= thread && thread < THREADS;
        EXPECT_TRUE(named) << "reply " << i << ": " << got.substr(0, 40);
        if (!named) break;
        EXPECT_EQ(number, next[thread]) << "thread " << thread;
        EXPECT_TRUE(got == reply(thread, number)) << "the reply " << thread << "/" << number << " came whole";
        next[thread] = number + 1;
    }
    for (std::thread& s : senders) s.join();
    ASSERT_FALSE(HasFailure());
    roundTrip(client, "<after/>");
}

TEST_F(ConnectionServerTest, UnacceptableHeaderEndsOnlyThatConnection) {
    struct Case {
        const char* name;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"header beginning with its line feed", "\n12\nabcdefghijkl"},
        {"payload over the limit", "1000001\nabc"},
        {"overflowing length", "99999999999999\nabc"},
        {"no line feed", std::string(ConnApiFrame::MAX_HEADER_LENGTH + 1, '-')},
    };
    PipeClient& good = connectClient();
    int came = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PipeClient& bad = connectClient();
        ++came;
        roundTrip(bad, "<first/>");
        // The bad client neither closes nor reads: its replies pile up until the server's send
        // thread blocks, and its connection still has to end.
        const std::string big(200000, 'r');
        for (int i = 0; i < 10; ++i) bad.send(big);
        bad.sendRaw(c.bytes);
        ASSERT_TRUE(waitForStates(came, came - 1));
        roundTrip(good, "<fine/>");
    }
    EXPECT_EQ(subscriber().count(ConnectionConstants::DISCONNECTED), static_cast<int>(cases.size()));
    size_t refused = 0;
    for (const std::string& line : readLines(root.log()))
        refused += line.find("IPC message header can never be accepted") != std::string::npos;
    EXPECT_EQ(refused, cases.size());
}

TEST_F(ConnectionServerTest, StopWithClientsConnectedEndsEveryThreadCleanly) {
    PipeClient& idle = connectClient();
    PipeClient& midFrame = connectClient();
    PipeClient& deaf = connectClient();
    roundTrip(idle, "<idle/>");
    midFrame.sendRaw("50\n<part");
    // Replies pile up until the server's send thread blocks on a client that never reads.
    subscriber().echo = true;
    std::string big(200000, 'z');
    for (int i = 0; i < 20; ++i) deaf.send(big);
    ASSERT_TRUE(subscriber().waitUntil([](EchoSubscriberImpl& s) { return s.datagramCount() >= 6; }));

    auto stopped = std::async(std::launch::async, [this] { service->stop(); });
    ASSERT_EQ(stopped.wait_for(DEADLINE), std::future_status::ready);
    stopped.get();
    EXPECT_EQ(service->server().impl()->connectionCount(), 0);
    EXPECT_EQ(service->forwarder().impl()->subscriberCount(), 0);
    for (PipeClient* client : {&idle, &midFrame}) EXPECT_THROW(client->receive(), NoConnectionException);
    // Nobody serves the pipe any more.
    PipeClient late;
    EXPECT_FALSE(late.connect());
    // A second stop is a broken invariant.
    service->server().cancel();
    EXPECT_THAT(takeAssertions(), ElementsAre("! m_serverCancelDone"));
}

TEST_F(ConnectionServerTest, DatagramsAreLoggedWithTheirMasks) {
    setLogLevelMask(LogConstants::INITIAL_MASK | LogConstants::LEVEL_PIPE_IN | LogConstants::LEVEL_PIPE_OUT);
    PipeClient& client = connectClient();
    roundTrip(client, "<logged/>");
    setLogLevelMask(LogConstants::INITIAL_MASK);
    roundTrip(client, "<quiet/>");
    std::string log = readText(root.log());
    EXPECT_THAT(log, HasSubstr("Accepted new connection"));
    EXPECT_THAT(log, ::testing::ContainsRegex("Connection 0x[0-9a-f]+, incoming datagram: <logged/>"));
    EXPECT_THAT(log, ::testing::ContainsRegex("Connection 0x[0-9a-f]+, outgoing datagram: <logged/>"));
    EXPECT_THAT(log, ::testing::Not(HasSubstr("<quiet/>")));
}

TEST_F(ConnectionServerTest, DumpedDatagramsHideTheirSecrets) {
    setLogLevelMask(LogConstants::INITIAL_MASK | LogConstants::LEVEL_PIPE_IN | LogConstants::LEVEL_PIPE_OUT);
    PipeClient& client = connectClient();
    roundTrip(client, "<r><tamsel:password>hunter2</tamsel:password><pin>4711</pin><user>alice</user></r>");
    setLogLevelMask(LogConstants::INITIAL_MASK);
    std::string log = readText(root.log());
    EXPECT_THAT(log, HasSubstr("incoming datagram: <r><tamsel:password>***</tamsel:password><pin>***</pin>"
                               "<user>alice</user></r>"));
    EXPECT_THAT(log, HasSubstr("outgoing datagram: <r><tamsel:password>***</tamsel:password>"));
    EXPECT_THAT(log, ::testing::Not(HasSubstr("hunter2")));
    EXPECT_THAT(log, ::testing::Not(HasSubstr("4711")));
}

TEST_F(ConnectionServerTest, SecondServerOnTheSamePipeFailsToBeCreated) {
    ConnectionServer second;
    try {
        second.create(ConnApiConstants::PIPE_NAME, ConnectionConstants::PIPE_INSTANCES, service->forwarder());
        ADD_FAILURE() << "created";
    } catch (const NvoException& e) {
        EXPECT_STREQ(e.function(), "ipcNamedPipeServer_create");
    }
    EXPECT_TRUE(second.isNull());
    EXPECT_EQ(service->forwarder().impl()->subscriberCount(), 2);
    roundTrip(connectClient(), "<first server still serves/>");
}

TEST_F(ConnectionServerTest, ClientThatNeverReadsIsDroppedOnceItsBacklogIsFull) {
    // Echoes of the largest frames pile up for a client that sends and never reads.
    const std::string big(ConnApiFrame::MAX_MESSAGE_LENGTH, 'L');
    constexpr int FRAMES = 2 * ConnectionConstants::MAX_OUTGOING_BYTES / ConnApiFrame::MAX_MESSAGE_LENGTH;
    PipeClient& other = connectClient();
    PipeClient& deaf = connectClient();
    ASSERT_TRUE(waitForStates(2, 0));
    try {
        for (int i = 0; i < FRAMES; ++i) deaf.send(big);
    } catch (const NoConnectionException&) {
        // cut off before all of it went out
    }
    ASSERT_TRUE(waitForStates(2, 1));
    roundTrip(other, "<still served/>");
    size_t dropped = 0;
    for (const std::string& line : readLines(root.log()))
        dropped += line.find("the client does not read: dropped with") != std::string::npos;
    EXPECT_EQ(dropped, 1u);
}
