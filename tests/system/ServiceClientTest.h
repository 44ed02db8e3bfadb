#pragma once
// Tray programs' ends of the pipe against the real service program, started in a root of the
// test's own: the run-time for the clients, the service, and a watchdog.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "runtime/lum/Log.h"
#include "runtime/lum/LumMain.h"
#include "tests/system/ServiceProcess.h"
#include "tests/vel/connection/PipeClient.h"

// Kills the service when a test outlives its time: every client blocked on the pipe then sees the
// connection end and fails, instead of the test hanging. What `diagnose` tells of the service just
// before (its threads' stacks, say) tells a hang from a slow machine.
class Watchdog {
public:
    Watchdog(pid_t service, std::chrono::seconds limit, std::function<std::string()> diagnose = nullptr)
        : m_thread([this, service, limit, diagnose] {
              std::unique_lock<std::mutex> lock(m_mutex);
              if (!m_done.wait_for(lock, limit, [this] { return m_finished; })) {
                  m_fired = true;
                  if (diagnose) m_diagnosis = diagnose();
                  kill(service, SIGKILL);
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_finished = true;
        }
        m_done.notify_all();
        m_thread.join();
    }
    bool fired() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_fired;
    }
    std::string diagnosis() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_diagnosis;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    bool m_fired = false;
    std::string m_diagnosis;
    std::thread m_thread;
};

class ServiceClientTest : public testing::Test {
protected:
    void SetUp() override {
        setenv("TAMSEL_HOME", root.path().c_str(), 1);
        configureLogFiles(&clientLog(), 1);
        runtime.emplace();
        prepareRoot();
        if (!debugLevel.empty()) root.write("veldebug.txt", debugLevel);
        service.emplace(root, std::vector<std::string>{"-run"}, serviceEnvironment);
        ASSERT_TRUE(service->started());
        startWatchdog();
    }
    void TearDown() override {
        clients.clear();
        bool fired = watchdog && watchdog->fired();
        std::string diagnosis = watchdog ? watchdog->diagnosis() : std::string();
        watchdog.reset();
        EXPECT_FALSE(fired) << "the service did not answer in time\n"
                            << diagnosis << "whole log:\n"
                            << root.logText();
        service.reset();
        // However busy the run, the logging thread kept up: no line was dropped for a full ring.
        EXPECT_EQ(countOf(root.everyLogText(), "print queue is full"), 0);
        runtime.reset();
        EXPECT_EQ(LumMain::leakCount(), 0);
    }

    // Files a fixture writes into the root with the run-time up (signing a configuration needs it),
    // before the service starts.
    virtual void prepareRoot() {}

    // A new tray program, connected once the service listens.
    PipeClient& connectClient() {
        clients.push_back(std::make_unique<PipeClient>());
        PipeClient& client = *clients.back();
        EXPECT_TRUE(waitFor([&] { return client.connect(); })) << root.logText();
        return client;
    }

    // Ctrl+C, and the service's exit code.
    int stopService() {
        service->signal(SIGINT);
        return service->waitForExit();
    }

    // Ctrl+C, then the service again in the same root; the first run's exit code.
    int restartService() {
        const int code = stopService();
        EXPECT_FALSE(watchdog->fired()) << "the service did not answer in time\n" << root.logText();
        watchdog.reset();
        service.emplace(root, std::vector<std::string>{"-run"}, serviceEnvironment);
        EXPECT_TRUE(service->started());
        startWatchdog();
        return code;
    }

    // Ninety seconds for the service now running, with its stacks and log taken before the kill.
    void startWatchdog() {
        watchdog.emplace(service->pid(), std::chrono::seconds(90),
                         [this] { return service->diagnosis(root); });
    }

    // The test program's own errors and warnings go to its standard output, away from the
    // service's files.
    static const LogFileSpec& clientLog() {
        static const LogFileSpec spec = {LogConstants::FOLDER_PROGRAM_DATA,
                                         LogConstants::LEVEL_ERROR | LogConstants::LEVEL_WARNING,
                                         nullptr,
                                         nullptr,
                                         1,
                                         0};
        return spec;
    }

    // Set by a test's fixture before the service starts.
    std::string debugLevel;
    std::map<std::string, std::string> serviceEnvironment;

    TempRoot root;
    std::optional<LumRuntime> runtime;
    std::optional<ServiceProcess> service;
    std::optional<Watchdog> watchdog;
    std::vector<std::unique_ptr<PipeClient>> clients;
};
