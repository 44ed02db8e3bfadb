#pragma once
// The lab's clock and the actions that fall due on it. Threaded, one lab thread runs each action at
// its time on the real clock; manual, nothing runs until the test pumps, and the clock is virtual
// and moves only when the test advances it.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

namespace lab {

using Action = std::function<void()>;

class Scheduler {
public:
    ~Scheduler();

    // Starts the clock at 0 and, unless manual, the lab thread.
    void start(bool manual);
    // Stops the thread (after the action it runs, unless called from that action) and drops what
    // has not run.
    void stop();
    bool manual() const { return m_manual; }

    int64_t now() const;
    void schedule(int64_t delayMs, Action action);
    // Manual mode: runs what is due now, and what that schedules for now.
    void pump();
    // Manual mode: moves the clock by ms, running each action as its time comes.
    void advance(int64_t ms);
    bool onLabThread() const;
    // The number of actions waiting.
    size_t pending() const;

private:
    using Queue = std::multimap<std::pair<int64_t, uint64_t>, Action>;

    void run(uint64_t generation);
    // Takes the earliest action due at or before `until` out of the queue.
    bool takeDue(int64_t until, int64_t* due, Action* action);
    static void perform(const Action& action);

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    Queue m_queue;
    uint64_t m_sequence = 0;
    bool m_manual = false;
    // A thread runs while its generation is the current one, so a thread that stopped the lab from
    // inside an action never runs on beside the next one.
    uint64_t m_generation = 0;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    int64_t m_virtualNow = 0;
    std::thread m_thread;
    std::thread::id m_labThread;
};

}  // namespace lab
