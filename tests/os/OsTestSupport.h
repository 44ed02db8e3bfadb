// A context per test with callbacks that keep what the library reports, and waits with deadlines.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "ostrum.h"

namespace ostest {

struct TraceSeen {
    std::string file;
    int line;
    std::string contextName;
    const void* object;
    unsigned kind;
    unsigned opcode;
    int status;
    uintptr_t extra1, extra2, extra3;
};

struct CorruptionSeen {
    std::string file;
    int line;
    std::string contextName;
    void* userPointer;
    int reason;
};

// What the callbacks of the test context received. Callbacks are plain functions, so one
// process-wide record serves the test that runs.
struct Seen {
    std::mutex mutex;
    std::vector<TraceSeen> traces;
    std::vector<CorruptionSeen> corruptions;
    std::vector<std::string> leaks;
    int failLeakAfter = -1;  // the leak callback fails from this line on; -1 never

    static Seen& instance() {
        static Seen seen;
        return seen;
    }
    void clear() {
        std::lock_guard<std::mutex> lock(mutex);
        traces.clear();
        corruptions.clear();
        leaks.clear();
        failLeakAfter = -1;
    }
};

inline int traceCallback(const OsTraceRecord* r) {
    Seen& s = Seen::instance();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.traces.push_back({r->file, r->line, r->contextName, r->object, r->kind, r->opcode, r->status, r->extra1,
                        r->extra2, r->extra3});
    return 0;
}

inline int corruptionCallback(const char* file, int line, const char* contextName, void* p, int reason) {
    Seen& s = Seen::instance();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.corruptions.push_back({file, line, contextName, p, reason});
    return 0;
}

inline int leakCallback(const char* contextName, const char* text) {
    Seen& s = Seen::instance();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.failLeakAfter >= 0 && static_cast<int>(s.leaks.size()) >= s.failLeakAfter) return 1;
    s.leaks.push_back(std::string(contextName) + "|" + text);
    return 0;
}

inline OsContextConfig makeConfig(uintptr_t traceKinds = 0, uintptr_t guardCheck = 0,
                                  uintptr_t leakTracking = 0, uintptr_t validation = 0) {
    return OsContextConfig{traceCallback, traceKinds,   corruptionCallback, guardCheck,
                           leakCallback,  leakTracking, validation};
}

// Every test starts with the library uninitialised and leaves it so.
class ContextTest : public ::testing::Test {
protected:
    OsContext* ctx = nullptr;

    void SetUp() override { Seen::instance().clear(); }
    void TearDown() override {
        if (ctx != nullptr) {
            EXPECT_EQ(OS_OK, _osContextDestroy(__FILE__, __LINE__, &ctx));
        }
    }
    void open(const OsContextConfig& config, const char* name = "test") {
        ASSERT_EQ(OS_OK, _osContextCreate(__FILE__, __LINE__, &ctx, name, &config));
        ASSERT_NE(nullptr, ctx);
    }
};

// Waits until `done` holds, checking whenever `changed` is notified; false at the deadline.
class Latch {
public:
    void update(const std::function<void()>& change) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            change();
        }
        changed_.notify_all();
    }
    bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds deadline) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, deadline, done);
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
};

inline constexpr auto DEADLINE = std::chrono::seconds(5);

}  // namespace ostest
