#pragma once
// A line a peer can make the service write without end, one for each bad thing it sends: the first
// few are written as they come, the rest are counted and told as one line per interval, so that
// no peer can fill the log and rotate its history away. One fold per peer, used by one thread.
#include <chrono>

class LogFold {
public:
    using Clock = std::chrono::steady_clock;

    // What was folded and is to be told now: how many, over how many whole seconds.
    struct Told {
        int count = 0;
        long long seconds = 0;
    };

    LogFold(int inFull, Clock::duration interval) : m_inFull(inFull), m_interval(interval) {}

    // Whether the next occurrence is to be written in full.
    bool nextInFull() const { return m_occurred < m_inFull; }
    // One more occurrence: true when it is to be written in full, else it is folded.
    bool occur();
    // The folded occurrences not yet told, once the interval has passed since the first of them,
    // or at once when `end`; they count as told. A count of 0: nothing to tell.
    Told take(bool end);

private:
    int m_inFull;
    Clock::duration m_interval;
    int m_occurred = 0;
    int m_folded = 0;
    Clock::time_point m_foldStart;
};
