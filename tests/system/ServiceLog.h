#pragma once
// Reading a service run's CurrentLog.txt: its messages, and the order of a whole run's start-up and
// shut-down.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/TestText.h"

// What `read` gives once `ready` holds for it, or at the deadline (the test's assertions then show
// what is missing). The log has a thread of its own, and the event queue handles what a line
// announces after the line: the line a test waited for, or the message it received, may come
// before lines of the same moment that the test reads next.
inline std::string readWhen(const std::function<std::string()>& read,
                            const std::function<bool(const std::string&)>& ready) {
    std::string text;
    tamsel::test::waitFor([&] { return ready(text = read()); });
    return text;
}

// The line's text after the log line's header.
inline std::vector<std::string> messages(const std::string& log) {
    std::vector<std::string> out;
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);) {
        size_t at = line.find("]: ");
        if (at != std::string::npos) out.push_back(line.substr(at + 3));
    }
    return out;
}

// The index of the first message at or after `from` that starts with the text; -1 when none.
inline int indexOf(const std::vector<std::string>& lines, const std::string& start, int from = 0) {
    for (int i = from; i < static_cast<int>(lines.size()); ++i) {
        if (lines[i].rfind(start, 0) == 0) return i;
    }
    return -1;
}

// The ostrum thread ids of "thread exec" or "thread join" lines, in log order.
inline std::vector<std::string> threadIds(const std::vector<std::string>& lines, const std::string& op) {
    std::vector<std::string> ids;
    const std::regex pattern("thread " + op + ", .*thread_id=(\\d+)$");
    for (const std::string& line : lines) {
        std::smatch match;
        if (std::regex_search(line, match, pattern)) ids.push_back(match[1]);
    }
    return ids;
}

// The new states a machine of the network logged, in order ("... <machine> new state = X").
inline std::vector<std::string> newStates(const std::string& log, const std::string& network,
                                          const std::string& machine) {
    // A state logged again while the machine stays in it counts once.
    std::vector<std::string> states;
    const std::string head = "Network " + network + ": " + machine + " new state ";
    for (const std::string& line : messages(log)) {
        if (line.rfind(head, 0) != 0) continue;
        std::string state = line.substr(head.size());
        if (state.rfind("= ", 0) == 0) state = state.substr(2);
        if (states.empty() || states.back() != state) states.push_back(state);
    }
    return states;
}

// The configuration's top states as it entered them.
inline std::vector<std::string> topStates(const std::string& log) {
    std::vector<std::string> states{"STARTED"};
    const std::regex entered("in the new state: Configuration::([A-Z_]+)");
    for (const std::string& line : messages(log)) {
        std::smatch match;
        if (std::regex_search(line, match, entered) && states.back() != match[1].str())
            states.push_back(match[1]);
    }
    return states;
}

// Where the service's threads come in the order they start ("thread exec" lines): the workers,
// the alternate queue, the event queue, then the pipe server once the engine runs.
constexpr size_t WORKER_THREADS = 3;
constexpr size_t ALTERNATE_QUEUE_THREAD = WORKER_THREADS;
constexpr size_t EVENT_QUEUE_THREAD = ALTERNATE_QUEUE_THREAD + 1;
constexpr size_t QUEUE_THREADS = EVENT_QUEUE_THREAD + 1;
constexpr size_t PIPE_SERVER_THREAD = QUEUE_THREADS;

// Checks a whole console run's log: the start-up and the shut-down in their order.
inline void expectOrderedRun(const std::string& log, size_t connectionThreads = 0) {
    std::vector<std::string> lines = messages(log);
    const std::vector<std::string> order = {
        "Logging thread successfully started.",
        "Starting tamselsvc.exe: 5.1.1.18",
        "Travik:DBG: started",
        "OneTimeTimerStartEventImpl event created",
        "OneTimeTimerCancelEventImpl event created",
        "Travik:DBG: stopped",
        "No memory leaks detected",
        "Normal Shutdown: 5.1.1.18",
        "Logging thread normal shutdown.",
    };
    int at = 0;
    for (const std::string& step : order) {
        int found = indexOf(lines, step, at);
        ASSERT_GE(found, 0) << "missing or out of order: " << step << "\n" << log;
        at = found + 1;
    }
    EXPECT_EQ(lines.back(), "Logging thread normal shutdown.");
    EXPECT_THAT(log, testing::Not(testing::HasSubstr("Assertion")));
    EXPECT_THAT(log, testing::Not(testing::HasSubstr("Internal error")));
    EXPECT_THAT(log, testing::Not(testing::HasSubstr("Fatal Shutdown")));

    // Five queue threads: three workers and the alternate queue, then the event queue, whose
    // thread builds the engine that posts to them; the pipe server's thread once the engine is
    // there and the timers run, then the threads of each accepted connection. The event queue ends
    // first, after the last event; then the pipe server with its connections, the alternate queue
    // and the workers.
    std::vector<std::string> started = threadIds(lines, "exec");
    std::vector<std::string> joined = threadIds(lines, "join");
    ASSERT_EQ(started.size(), QUEUE_THREADS + 1 + connectionThreads) << log;
    ASSERT_EQ(joined.size(), QUEUE_THREADS + 1 + connectionThreads) << log;
    EXPECT_EQ(joined[0], started[EVENT_QUEUE_THREAD]) << "the event queue stops first";
    EXPECT_EQ(joined[1], started[PIPE_SERVER_THREAD]) << "then the pipe server";
    EXPECT_THAT(std::vector<std::string>(joined.begin() + 2, joined.begin() + 2 + connectionThreads),
                testing::UnorderedElementsAreArray(started.begin() + PIPE_SERVER_THREAD + 1, started.end()))
        << "and its connections";
    EXPECT_EQ(joined[2 + connectionThreads], started[ALTERNATE_QUEUE_THREAD]) << "then the alternate queue";
    EXPECT_THAT(std::vector<std::string>(joined.begin() + 3 + connectionThreads, joined.end()),
                testing::UnorderedElementsAreArray(started.begin(), started.begin() + WORKER_THREADS));
    int firstJoin = indexOf(lines, "Ostrum:TRACE: context=vel, thread join");
    int serverStart = -1;
    size_t execs = 0;
    for (int i = 0; i < static_cast<int>(lines.size()) && serverStart < 0; ++i) {
        if (lines[i].find(", thread exec, ") != std::string::npos && ++execs == PIPE_SERVER_THREAD + 1)
            serverStart = i;
    }
    EXPECT_LT(indexOf(lines, "OneTimeTimerStartEventImpl event created"), serverStart)
        << "the pipe opens after the timers start";
    // The event-queue thread runs the start before the cancel, both before it ends.
    int startRun = indexOf(lines, "OneTimeTimerStartEventImpl event processed");
    int cancelRun = indexOf(lines, "OneTimeTimerCancelEventImpl event processed");
    EXPECT_LT(indexOf(lines, "OneTimeTimerStartEventImpl event created"), startRun);
    EXPECT_LT(startRun, cancelRun);
    EXPECT_LT(indexOf(lines, "OneTimeTimerCancelEventImpl event created"), cancelRun);
    EXPECT_LT(cancelRun, firstJoin);
}
