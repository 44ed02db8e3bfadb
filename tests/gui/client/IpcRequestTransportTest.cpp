#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "gui/client/IpcRequestTransport.h"
#include "tests/vel/connection/PipeHarness.h"
#include "tests/vel/multithread/QueueTestSupport.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiFrame.h"

using ::testing::UnorderedElementsAreArray;
using Result = RequestTransport::Result;

namespace {

class IpcRequestTransportTest : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        service.emplace();
        client = IpcManager::createNamedPipeClient(ConnApiConstants::PIPE_NAME);
        ASSERT_TRUE(client.connect());
        transport = std::make_shared<IpcRequestTransport>(client);
        ASSERT_TRUE(service->subscriber->waitUntil(
            [](EchoSubscriberImpl& s) { return s.count(ConnectionConstants::CONNECTED) == 1; }));
    }
    void TearDown() override {
        transport.reset();
        client = IpcManager();
        service.reset();
        RuntimeTest::TearDown();
    }

    std::optional<PipeService> service;
    IpcManager client;
    std::shared_ptr<IpcRequestTransport> transport;
};

}  // namespace

TEST_F(IpcRequestTransportTest, FramesFromManyThreadsReachTheServiceWhole) {
    service->subscriber->echo = false;
    constexpr int THREADS = 4, EACH = 10;
    std::vector<std::string> expected;
    for (int t = 0; t < THREADS; ++t)
        for (int i = 0; i < EACH; ++i)
            expected.push_back(
                "<request t=\"" + std::to_string(t) + "\" i=\"" + std::to_string(i) + "\">" +
                std::string(static_cast<size_t>(100000 * (i % 5)), static_cast<char>('a' + t)) +
                "</request>");
    std::vector<std::thread> writers;
    std::atomic<int> failures{0};
    for (int t = 0; t < THREADS; ++t) {
        writers.emplace_back([&, t] {
            for (int i = 0; i < EACH; ++i) {
                const std::string& payload = expected[static_cast<size_t>(t * EACH + i)];
                QByteArray frame = QByteArray::fromStdString(ConnApiFrame::frame(payload));
                if (transport->sendFrame(frame) != Result::Sent) ++failures;
            }
        });
    }
    for (std::thread& w : writers) w.join();
    EXPECT_EQ(failures.load(), 0);
    ASSERT_TRUE(service->subscriber->waitUntil(
        [&](EchoSubscriberImpl& s) { return s.datagramCount() == THREADS * EACH; }));
    std::vector<EchoSubscriberImpl::Record> records = service->subscriber->snapshot();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_THAT(records[0].datagrams, UnorderedElementsAreArray(expected));
}

TEST_F(IpcRequestTransportTest, PipeEndingsBecomeTheWritersResults) {
    EXPECT_EQ(transport->sendFrame(QByteArray::fromStdString(ConnApiFrame::frame("<first/>"))), Result::Sent);
    // The service goes away: the writer sees the connection lost.
    service->stop();
    Result result = Result::Sent;
    for (int i = 0; i < 1000 && result == Result::Sent; ++i)
        result = transport->sendFrame(QByteArray::fromStdString(ConnApiFrame::frame("<more/>")));
    EXPECT_EQ(result, Result::NoConnection);
    client.cancel();
    EXPECT_EQ(transport->sendFrame(QByteArray::fromStdString(ConnApiFrame::frame("<after cancel/>"))),
              Result::Canceled);
}
