#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <string>
#include <vector>

#include "platform/travik/travik_ipc.h"
#include "tests/vel/multithread/QueueTestSupport.h"
#include "vel/exception/CanceledException.h"
#include "vel/exception/NoConnectionException.h"
#include "vel/exception/NvoException.h"
#include "vel/ipc/IpcManager.h"
#include "vel/ipc/IpcReceiveBuffer.h"
#include "vel/ipc/IpcSendBuffer.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"

using ::testing::HasSubstr;

namespace {

enum Outcome { OK, FALSE, NO_CONNECTION, CANCELED, REPORTED };

const char* outcomeName(Outcome o) {
    static const char* const names[] = {"ok", "false", "NoConnectionException", "CanceledException",
                                        "reported"};
    return names[o];
}

// What a call on the pipe ends with, as the callers see it.
Outcome outcomeOf(const std::function<bool()>& call, std::string* function = nullptr) {
    try {
        return call() ? OK : FALSE;
    } catch (const NoConnectionException&) {
        return NO_CONNECTION;
    } catch (const CanceledException&) {
        return CANCELED;
    } catch (const NvoException& e) {
        if (function) *function = e.function();
        return REPORTED;
    }
}

class IpcManagerTest : public RuntimeTest {
public:
    void TearDown() override {
        server = accepted = client = IpcManager();
        RuntimeTest::TearDown();
    }
    void connectPair() {
        server = IpcManager::createNamedPipeServer(ConnApiConstants::PIPE_NAME, 5);
        client = IpcManager::createNamedPipeClient(ConnApiConstants::PIPE_NAME);
        ASSERT_TRUE(client.connect());
        accepted = IpcManager::accept(server);
    }

    IpcManager server, accepted, client;
    std::uint8_t buffer[64];
    int count = 0;
};

}  // namespace

TEST_F(IpcManagerTest, LibraryResultsBecomeTheCallersOutcomes) {
    struct Case {
        const char* name;
        std::function<void(IpcManagerTest&)> setUp;
        std::function<bool(IpcManagerTest&)> call;
        Outcome expected;
        const char* reportedFunction;
    };
    auto receiveOnAccepted = [](IpcManagerTest& t) {
        t.accepted.receive(t.buffer, sizeof(t.buffer), &t.count);
        return true;
    };
    const std::vector<Case> cases = {
        {"connect with no server", [](IpcManagerTest&) {},
         [](IpcManagerTest& t) {
             t.client = IpcManager::createNamedPipeClient(ConnApiConstants::PIPE_NAME);
             return t.client.connect();
         },
         FALSE, nullptr},
        {"connect to a server", [](IpcManagerTest& t) { t.connectPair(); },
         [](IpcManagerTest& t) { return t.client.connect(); }, OK, nullptr},
        {"receive after the peer has gone",
         [](IpcManagerTest& t) {
             t.connectPair();
             t.client.destroy();
         },
         receiveOnAccepted, NO_CONNECTION, nullptr},
        {"send after the peer has gone",
         [](IpcManagerTest& t) {
             t.connectPair();
             t.accepted.destroy();
         },
         [](IpcManagerTest& t) {
             for (int i = 0; i < 1000; ++i) t.client.send(reinterpret_cast<const std::uint8_t*>("abc"), 3);
             return true;
         },
         NO_CONNECTION, nullptr},
        {"receive after a cancel",
         [](IpcManagerTest& t) {
             t.connectPair();
             t.accepted.cancel();
         },
         receiveOnAccepted, CANCELED, nullptr},
        {"connect after a cancel",
         [](IpcManagerTest& t) {
             t.connectPair();
             t.client.cancel();
         },
         [](IpcManagerTest& t) { return t.client.connect(); }, CANCELED, nullptr},
        {"accept after a cancel",
         [](IpcManagerTest& t) {
             t.connectPair();
             t.server.cancel();
         },
         [](IpcManagerTest& t) { return !IpcManager::accept(t.server).isNull(); }, CANCELED, nullptr},
        {"receive on a server end", [](IpcManagerTest& t) { t.connectPair(); },
         [](IpcManagerTest& t) {
             t.server.receive(t.buffer, sizeof(t.buffer), &t.count);
             return true;
         },
         REPORTED, "ipcRecv"},
        {"second server beside a live one", [](IpcManagerTest& t) { t.connectPair(); },
         [](IpcManagerTest&) {
             return !IpcManager::createNamedPipeServer(ConnApiConstants::PIPE_NAME, 5).isNull();
         },
         REPORTED, "ipcNamedPipeServer_create"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.setUp(*this);
        std::string function;
        Outcome outcome = outcomeOf([&] { return c.call(*this); }, &function);
        EXPECT_STREQ(outcomeName(outcome), outcomeName(c.expected));
        if (c.reportedFunction) {
            EXPECT_EQ(function, c.reportedFunction);
        }
        takeAssertions();
        server = accepted = client = IpcManager();
    }
}

TEST_F(IpcManagerTest, UnexpectedResultIsReportedAsAnInternalFailure) {
    connectPair();
    EXPECT_EQ(outcomeOf([&] {
                  server.send(reinterpret_cast<const std::uint8_t*>("x"), 1);
                  return true;
              }),
              REPORTED);
    EXPECT_FALSE(takeAssertions().empty());
    std::string log = readText(root.log());
    EXPECT_THAT(log, HasSubstr("Internal error 4, contact software manufacturer"));
    EXPECT_THAT(log, HasSubstr("NvoException for function 'ipcSend' => " + std::to_string(IPC_ERR_ARGUMENT)));
}

TEST_F(IpcManagerTest, CancelEndsABlockedReceiveAndAFramedExchangeWorksBeforeIt) {
    connectPair();
    IpcSendBuffer out;
    out.frame(Datagram("<hello/>"));
    out.send(client);
    IpcReceiveBuffer in;
    EXPECT_STREQ(in.receive(accepted).text(), "<hello/>");

    auto blocked = std::async(std::launch::async,
                              [&] { return outcomeOf([&] { return !in.receive(accepted).isNull(); }); });
    // Whether the cancel comes before or during the receive, it ends it.
    accepted.cancel();
    ASSERT_EQ(blocked.wait_for(DEADLINE), std::future_status::ready);
    EXPECT_STREQ(outcomeName(blocked.get()), outcomeName(CANCELED));
}
