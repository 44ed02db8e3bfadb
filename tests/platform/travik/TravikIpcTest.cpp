#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/travik/travik_ipc.h"
#include "tests/support/TempHome.h"

namespace {

using namespace std::chrono_literals;
constexpr auto DEADLINE = 10s;

bool isDisconnect(int result) {
    return result == IPC_ERR_PEER_CLOSED || result == IPC_ERR_NO_CONNECTION;
}

// True once the thread sleeps in the kernel (blocked in a read or a poll), false at the deadline.
bool waitUntilBlocked(pid_t tid) {
    auto end = std::chrono::steady_clock::now() + DEADLINE;
    std::string path = "/proc/self/task/" + std::to_string(tid) + "/stat";
    while (std::chrono::steady_clock::now() < end) {
        std::ifstream in(path);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        size_t close = text.rfind(')');
        if (close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'S') return true;
        std::this_thread::yield();
    }
    return false;
}

// Runs a blocking call on a thread of its own; the thread's id is known before the call starts.
class Blocking {
public:
    explicit Blocking(std::function<int()> call) {
        std::promise<pid_t> started;
        auto tid = started.get_future();
        m_result = std::async(std::launch::async, [call, &started] {
            started.set_value(static_cast<pid_t>(syscall(SYS_gettid)));
            return call();
        });
        m_tid = tid.get();
    }
    bool blocked() { return waitUntilBlocked(m_tid) && m_result.wait_for(0s) == std::future_status::timeout; }
    // The call's result, or a marker when it did not return within the deadline.
    int result() { return m_result.wait_for(DEADLINE) == std::future_status::ready ? m_result.get() : 12345; }

private:
    pid_t m_tid = 0;
    std::future<int> m_result;
};

class TravikIpcTest : public ::testing::Test {
public:
    void SetUp() override {
        m_home = std::make_unique<tamsel::test::TempHome>("ipc");
        m_root = m_home->path();
        // A send to a closed peer must come back as a result, never as a signal.
        signal(SIGPIPE, SIG_DFL);
    }
    void TearDown() override {
        for (IpcHandle** h : {&client, &accepted, &server}) EXPECT_EQ(ipcDestroy(h), IPC_OK);
        m_home.reset();
    }

    std::string path() const { return m_root + "/run/vel"; }

    // A server, one client and its accepted end.
    void connectPair() {
        ASSERT_EQ(ipcNamedPipeServer_create(&server, "vel", 5), IPC_OK);
        ASSERT_EQ(ipcNamedPipeClient_create(&client, "vel"), IPC_OK);
        ASSERT_EQ(ipcConnect(client), IPC_OK);
        ASSERT_EQ(ipcAccept(&accepted, server), IPC_OK);
    }

    // Leaves a socket file behind as a server that died would.
    void leaveStaleSocket() {
        std::filesystem::create_directories(m_root + "/run");
        int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        strcpy(address.sun_path, path().c_str());
        ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        close(fd);
        ASSERT_TRUE(std::filesystem::exists(path()));
    }

    std::unique_ptr<tamsel::test::TempHome> m_home;
    std::string m_root;
    IpcHandle* server = nullptr;
    IpcHandle* accepted = nullptr;
    IpcHandle* client = nullptr;
};

TEST_F(TravikIpcTest, ConnectTellsWhetherSomeoneServesTheName) {
    struct Case {
        const char* name;
        std::function<void(TravikIpcTest&)> setUp;
        int expected;
    };
    const std::vector<Case> cases = {
        {"nothing there", [](TravikIpcTest&) {}, IPC_ERR_NOT_LISTENING},
        {"socket of a dead server", [](TravikIpcTest& t) { t.leaveStaleSocket(); }, IPC_ERR_NOT_LISTENING},
        {"server destroyed",
         [](TravikIpcTest& t) {
             ASSERT_EQ(ipcNamedPipeServer_create(&t.server, "vel", 5), IPC_OK);
             ASSERT_EQ(ipcDestroy(&t.server), IPC_OK);
         },
         IPC_ERR_NOT_LISTENING},
        {"server listening",
         [](TravikIpcTest& t) { ASSERT_EQ(ipcNamedPipeServer_create(&t.server, "vel", 5), IPC_OK); }, IPC_OK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(m_root + "/run");
        c.setUp(*this);
        ASSERT_EQ(ipcNamedPipeClient_create(&client, "vel"), IPC_OK);
        EXPECT_EQ(ipcConnect(client), c.expected);
        EXPECT_EQ(ipcDestroy(&client), IPC_OK);
        EXPECT_EQ(client, nullptr);
        EXPECT_EQ(ipcDestroy(&server), IPC_OK);
    }
}

TEST_F(TravikIpcTest, ServerReplacesAStaleSocketAndRefusesBesideALiveOne) {
    leaveStaleSocket();
    ASSERT_EQ(ipcNamedPipeServer_create(&server, "vel", 5), IPC_OK);

    IpcHandle* second = nullptr;
    EXPECT_EQ(ipcNamedPipeServer_create(&second, "vel", 5), IPC_ERR_IN_USE);
    EXPECT_EQ(second, nullptr);
    // The refused server left the live one's socket in place.
    ASSERT_EQ(ipcNamedPipeClient_create(&client, "vel"), IPC_OK);
    EXPECT_EQ(ipcConnect(client), IPC_OK);
    EXPECT_EQ(ipcAccept(&accepted, server), IPC_OK);
}

TEST_F(TravikIpcTest, SocketIsOpenToOwnerAndGroupOnly) {
    umask(0);
    ASSERT_EQ(ipcNamedPipeServer_create(&server, "vel", 5), IPC_OK);
    umask(022);
    struct stat st;
    ASSERT_EQ(stat(path().c_str(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0660u);
    // Nothing but the pipe and its lock is left in the run folder.
    std::vector<std::string> names;
    for (auto& entry : std::filesystem::directory_iterator(m_root + "/run"))
        names.push_back(entry.path().filename());
    EXPECT_THAT(names, ::testing::UnorderedElementsAre("vel", "vel.lock"));
}

TEST_F(TravikIpcTest, BytesArriveInOrderInReadsUpToTheCapacity) {
    connectPair();
    std::string big(3 * 1024 * 1024, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 4096);
    // Larger than the socket's buffer: the send blocks until the reader drains it.
    Blocking sending([&] { return ipcSend(client, big.data(), static_cast<int>(big.size())); });
    std::string got;
    char buffer[1000];
    int capacities[] = {1, 7, 1000};
    for (size_t i = 0; got.size() < big.size(); ++i) {
        int capacity = capacities[i % 3];
        int count = 0;
        ASSERT_EQ(ipcRecv(accepted, buffer, capacity, &count), IPC_OK);
        ASSERT_GE(count, 1);
        ASSERT_LE(count, capacity);
        got.append(buffer, static_cast<size_t>(count));
    }
    EXPECT_EQ(sending.result(), IPC_OK);
    EXPECT_TRUE(got == big);
}

TEST_F(TravikIpcTest, TrySendTakesWhatFitsNeverWaitsAndKeepsTheOrderOfBothPieces) {
    connectPair();
    const std::string header = "7\n";
    std::string payload(3 * 1024 * 1024, '\0');
    for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<char>(i * 13 + i / 977);
    const std::string whole = header + payload;
    int sent = -1;
    ASSERT_EQ(ipcTrySend(client, header.data(), static_cast<int>(header.size()), payload.data(),
                         static_cast<int>(payload.size()), &sent),
              IPC_OK);
    // More than the socket holds: part of it went, from the first piece on, and nothing waited.
    ASSERT_GT(sent, static_cast<int>(header.size()));
    ASSERT_LT(sent, static_cast<int>(whole.size()));
    int more = -1;
    EXPECT_EQ(ipcTrySend(client, "x", 1, nullptr, 0, &more), IPC_OK);
    EXPECT_EQ(more, 0);
    Blocking rest(
        [&] { return ipcSend(client, whole.data() + sent, static_cast<int>(whole.size()) - sent); });
    std::string got;
    char buffer[65536];
    while (got.size() < whole.size()) {
        int count = 0;
        ASSERT_EQ(ipcRecv(accepted, buffer, sizeof buffer, &count), IPC_OK);
        got.append(buffer, static_cast<size_t>(count));
    }
    EXPECT_EQ(rest.result(), IPC_OK);
    EXPECT_TRUE(got == whole);

    ASSERT_EQ(ipcDestroy(&accepted), IPC_OK);
    int result = IPC_OK;
    // The peer's close may need a write or two to show.
    for (int i = 0; i < 100 && result == IPC_OK; ++i) result = ipcTrySend(client, "ab", 2, "cd", 2, &sent);
    EXPECT_PRED1(isDisconnect, result);
    EXPECT_EQ(sent, 0);
    ASSERT_EQ(ipcCancel(client), IPC_OK);
    EXPECT_EQ(ipcTrySend(client, "ab", 2, nullptr, 0, &sent), IPC_ERR_CANCELED);
    EXPECT_EQ(ipcTrySend(client, nullptr, 2, nullptr, 0, &sent), IPC_ERR_ARGUMENT);
}

TEST_F(TravikIpcTest, AfterAShortReadTheNextReadFindsWhatArrivedMeanwhileAndThePeersClose) {
    connectPair();
    char buffer[64];
    int count = 0;
    ASSERT_EQ(ipcSend(client, "ab", 2), IPC_OK);
    ASSERT_EQ(ipcRecv(accepted, buffer, sizeof buffer, &count), IPC_OK);
    ASSERT_EQ(std::string(buffer, static_cast<size_t>(count)), "ab");
    // The socket was emptied by that read: the next one waits first, and must still see bytes
    // that came in before it was called, and then the hang-up.
    ASSERT_EQ(ipcSend(client, "cd", 2), IPC_OK);
    ASSERT_EQ(ipcRecv(accepted, buffer, sizeof buffer, &count), IPC_OK);
    EXPECT_EQ(std::string(buffer, static_cast<size_t>(count)), "cd");
    ASSERT_EQ(ipcDestroy(&client), IPC_OK);
    EXPECT_TRUE(isDisconnect(ipcRecv(accepted, buffer, sizeof buffer, &count)));
}

TEST_F(TravikIpcTest, PeerGoneIsADisconnectOnEitherSide) {
    struct Case {
        const char* name;
        bool closeClient;  // else the accepted end goes
        bool whileBlocked;
        bool send;
    };
    const std::vector<Case> cases = {
        {"client gone, receive", true, false, false},
        {"client gone, blocked receive", true, true, false},
        {"client gone, send", true, false, true},
        {"accepted end gone, receive", false, false, false},
        {"accepted end gone, blocked receive", false, true, false},
        {"accepted end gone, send", false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        connectPair();
        IpcHandle** gone = c.closeClient ? &client : &accepted;
        IpcHandle* stays = c.closeClient ? accepted : client;
        char buffer[16];
        int count = 0;
        if (c.whileBlocked) {
            Blocking receiving([&] { return ipcRecv(stays, buffer, sizeof(buffer), &count); });
            ASSERT_TRUE(receiving.blocked());
            ASSERT_EQ(ipcDestroy(gone), IPC_OK);
            EXPECT_PRED1(isDisconnect, receiving.result());
        } else {
            ASSERT_EQ(ipcDestroy(gone), IPC_OK);
            if (c.send) {
                // The first writes may still land in the socket buffer; one soon fails.
                int result = IPC_OK;
                for (int i = 0; i < 1000 && result == IPC_OK; ++i) result = ipcSend(stays, "abc", 3);
                EXPECT_PRED1(isDisconnect, result);
            } else {
                EXPECT_PRED1(isDisconnect, ipcRecv(stays, buffer, sizeof(buffer), &count));
            }
        }
        for (IpcHandle** h : {&client, &accepted, &server}) ASSERT_EQ(ipcDestroy(h), IPC_OK);
    }
}

TEST_F(TravikIpcTest, CancelEndsBlockedAndLaterCalls) {
    struct Case {
        const char* name;
        std::function<int(TravikIpcTest&)> call;
        std::function<IpcHandle*(TravikIpcTest&)> handle;
    };
    static char buffer[64];
    static int count;
    const std::string chunk(64 * 1024, 'x');
    const std::vector<Case> cases = {
        {"receive on the accepted end",
         [](TravikIpcTest& t) { return ipcRecv(t.accepted, buffer, 64, &count); },
         [](TravikIpcTest& t) { return t.accepted; }},
        {"receive on the client end", [](TravikIpcTest& t) { return ipcRecv(t.client, buffer, 64, &count); },
         [](TravikIpcTest& t) { return t.client; }},
        // Nobody reads: the send fills the socket buffer and blocks.
        {"send to a peer that does not read",
         [&chunk](TravikIpcTest& t) {
             int result = IPC_OK;
             while (result == IPC_OK)
                 result = ipcSend(t.accepted, chunk.data(), static_cast<int>(chunk.size()));
             return result;
         },
         [](TravikIpcTest& t) { return t.accepted; }},
        {"accept",
         [](TravikIpcTest& t) {
             IpcHandle* next = nullptr;
             int result = ipcAccept(&next, t.server);
             ipcDestroy(&next);
             return result;
         },
         [](TravikIpcTest& t) { return t.server; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        connectPair();
        Blocking blocked([&] { return c.call(*this); });
        ASSERT_TRUE(blocked.blocked());
        EXPECT_EQ(ipcCancel(c.handle(*this)), IPC_OK);
        EXPECT_EQ(blocked.result(), IPC_ERR_CANCELED);
        EXPECT_EQ(c.call(*this), IPC_ERR_CANCELED) << "a call after the cancel";
        for (IpcHandle** h : {&client, &accepted, &server}) ASSERT_EQ(ipcDestroy(h), IPC_OK);
    }
}

TEST_F(TravikIpcTest, CancelOfOneHandleLeavesTheOtherDirectionAndHandlesAlone) {
    connectPair();
    char buffer[8];
    int count = 0;
    // A receive and a send block on one handle together; the send goes through meanwhile.
    Blocking receiving([&] { return ipcRecv(accepted, buffer, sizeof(buffer), &count); });
    ASSERT_TRUE(receiving.blocked());
    ASSERT_EQ(ipcSend(accepted, "ping", 4), IPC_OK);
    char got[8];
    int gotCount = 0;
    ASSERT_EQ(ipcRecv(client, got, sizeof(got), &gotCount), IPC_OK);
    EXPECT_EQ(std::string(got, static_cast<size_t>(gotCount)), "ping");

    ASSERT_EQ(ipcCancel(client), IPC_OK);
    EXPECT_EQ(ipcConnect(client), IPC_ERR_CANCELED);
    EXPECT_EQ(ipcSend(client, "x", 1), IPC_ERR_CANCELED);
    // The client's cancel is not a cancel of the accepted end: it sees the peer go.
    ASSERT_EQ(ipcDestroy(&client), IPC_OK);
    EXPECT_PRED1(isDisconnect, receiving.result());
}

TEST_F(TravikIpcTest, CancelOfAConnectedEndLetsThePeerReadWhatWasSentAndThenTheClose) {
    connectPair();
    char buffer[16];
    int count = 0;
    // The peer learns of the cancel at once, not only when the cancelled end is destroyed.
    ASSERT_EQ(ipcSend(accepted, "last", 4), IPC_OK);
    ASSERT_EQ(ipcCancel(accepted), IPC_OK);
    ASSERT_EQ(ipcRecv(client, buffer, sizeof(buffer), &count), IPC_OK);
    EXPECT_EQ(std::string(buffer, static_cast<size_t>(count)), "last");
    EXPECT_PRED1(isDisconnect, ipcRecv(client, buffer, sizeof(buffer), &count));
    // The cancelled end itself reads nothing more.
    EXPECT_EQ(ipcRecv(accepted, buffer, sizeof(buffer), &count), IPC_ERR_CANCELED);
}

TEST_F(TravikIpcTest, AcceptWaitsForAFreeInstance) {
    ASSERT_EQ(ipcNamedPipeServer_create(&server, "vel", 2), IPC_OK);
    IpcHandle* clients[3] = {};
    IpcHandle* ends[3] = {};
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(ipcNamedPipeClient_create(&clients[i], "vel"), IPC_OK);
        ASSERT_EQ(ipcConnect(clients[i]), IPC_OK);
    }
    ASSERT_EQ(ipcAccept(&ends[0], server), IPC_OK);
    ASSERT_EQ(ipcAccept(&ends[1], server), IPC_OK);
    // The third client waits in the queue; what it sends meanwhile is kept for it.
    ASSERT_EQ(ipcSend(clients[2], "third", 5), IPC_OK);
    Blocking third([&] { return ipcAccept(&ends[2], server); });
    ASSERT_TRUE(third.blocked());
    ASSERT_EQ(ipcDestroy(&ends[0]), IPC_OK);
    ASSERT_EQ(third.result(), IPC_OK);
    char buffer[8];
    int count = 0;
    ASSERT_EQ(ipcRecv(ends[2], buffer, sizeof(buffer), &count), IPC_OK);
    EXPECT_EQ(std::string(buffer, static_cast<size_t>(count)), "third");
    // The accepted ends outlive their server.
    ASSERT_EQ(ipcDestroy(&server), IPC_OK);
    ASSERT_EQ(ipcSend(clients[1], "x", 1), IPC_OK);
    EXPECT_EQ(ipcRecv(ends[1], buffer, sizeof(buffer), &count), IPC_OK);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ipcDestroy(&ends[i]), IPC_OK);
        EXPECT_EQ(ipcDestroy(&clients[i]), IPC_OK);
    }
}

TEST_F(TravikIpcTest, ArgumentsOutsideTheContractAreRefused) {
    char buffer[4];
    int count = 0;
    EXPECT_EQ(ipcNamedPipeServer_create(&server, "a/b", 5), IPC_ERR_ARGUMENT);
    EXPECT_EQ(ipcNamedPipeServer_create(&server, "vel", 0), IPC_ERR_ARGUMENT);
    EXPECT_EQ(ipcNamedPipeClient_create(&client, std::string(200, 'n').c_str()), IPC_ERR_ARGUMENT);
    connectPair();
    EXPECT_EQ(ipcRecv(accepted, buffer, 0, &count), IPC_ERR_ARGUMENT);
    EXPECT_EQ(ipcRecv(server, buffer, 4, &count), IPC_ERR_ARGUMENT);
    EXPECT_EQ(ipcAccept(&accepted, client), IPC_ERR_ARGUMENT);
    EXPECT_EQ(ipcDestroy(nullptr), IPC_ERR_ARGUMENT);
}

}  // namespace
