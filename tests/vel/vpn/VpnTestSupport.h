#pragma once
// The setting of the VPN client's tests: the run-time and the event queue in a temporary root, the
// stand-in libraries where the service finds them, and a receiver that records what the client's
// events deliver on the event-queue thread.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "tests/vel/multithread/QueueTestSupport.h"
#include "vel/multithread/EventQueue.h"
#include "vel/vpn/VpnEventReceiver.h"

namespace tamsel::test {

class RecordingVpnReceiver : public VpnEventReceiverInterface {
public:
    void handleClientEvent(std::int32_t clientEvent) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_events.push_back(clientEvent);
        m_changed.notify_all();
    }
    void handleBanner(const Ascii& banner) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_banners.emplace_back(banner.text());
        m_changed.notify_all();
    }

    // Waits until the events received include the given one; false at the deadline.
    bool waitFor(std::int32_t clientEvent) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, DEADLINE, [&] {
            for (std::int32_t e : m_events)
                if (e == clientEvent) return true;
            return false;
        });
    }
    bool waitForBanner() {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, DEADLINE, [&] { return !m_banners.empty(); });
    }
    // Takes what was received so far.
    std::vector<std::int32_t> takeEvents() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return std::exchange(m_events, {});
    }
    std::vector<std::string> banners() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_banners;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::int32_t> m_events;
    std::vector<std::string> m_banners;
};

class VpnTest : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        initializer = new RecordingInitializerImpl;
        queue = EventQueue::Create(initializer);
        onEngineThread([this] { VpnEventReceiver::set(&receiver); });
    }
    void TearDown() override {
        onEngineThread([] { VpnEventReceiver::set(nullptr); });
        queue.stop();
        queue.reset();
        initializer->release();
        RuntimeTest::TearDown();
    }

    // Puts a built library where the service looks for libraries: C:\Windows\system32.
    void install(const std::string& library) {
        std::filesystem::path folder = std::filesystem::path(root.path()) / "c" / "Windows" / "system32";
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(library, folder / std::filesystem::path(library).filename());
    }

    // Runs the function on the event-queue thread and waits for it.
    void onEngineThread(std::function<void()> f) {
        auto done = std::make_shared<Flag>();
        queue.post(functionEvent([f, done] {
            f();
            done->raise();
        }));
        ASSERT_TRUE(done->wait());
    }

    // How many lines of the test's log end in the message.
    int logged(const std::string& message) {
        int count = 0;
        for (const std::string& line : readLines(root.log())) {
            if (line.size() >= message.size() &&
                line.compare(line.size() - message.size(), message.size(), message) == 0)
                ++count;
        }
        return count;
    }

    RecordingInitializerImpl* initializer = nullptr;
    EventQueue queue;
    RecordingVpnReceiver receiver;
};

}  // namespace tamsel::test
