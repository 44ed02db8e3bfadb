// Keeps the calling thread, and every thread it starts while the guard lives, on the CPU it runs
// on now: a figure then shows the processor cost of a hand-off without another CPU's wake-up.
#pragma once

#include <sched.h>

class PinnedCpu {
public:
    explicit PinnedCpu(bool pin) {
        if (!pin || sched_getaffinity(0, sizeof m_saved, &m_saved) != 0) return;
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(sched_getcpu(), &one);
        m_pinned = sched_setaffinity(0, sizeof one, &one) == 0;
    }
    ~PinnedCpu() {
        if (m_pinned) sched_setaffinity(0, sizeof m_saved, &m_saved);
    }
    PinnedCpu(const PinnedCpu&) = delete;
    PinnedCpu& operator=(const PinnedCpu&) = delete;

private:
    cpu_set_t m_saved{};
    bool m_pinned = false;
};
