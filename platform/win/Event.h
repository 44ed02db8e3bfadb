#pragma once

#include <cstdint>

namespace win {

// An auto-reset event: a set while threads wait releases one of them at once (so n sets release n
// waiters); a set with nobody waiting lets exactly the next wait through, and sets do not add up.
class Event;
using EventHandle = Event*;

inline constexpr uint32_t INFINITE_WAIT = 0xFFFFFFFFu;

enum class WaitResult { SIGNALLED, TIMED_OUT, FAILED };

// Null when the event cannot be made; fails on demand as "createAutoResetEvent".
EventHandle createAutoResetEvent();
bool setEvent(EventHandle event);
WaitResult waitForEvent(EventHandle event, uint32_t timeoutMs);
bool closeEvent(EventHandle event);
// Threads blocked in a wait that no set has released yet, for tests that must start from them.
int waitingThreads(EventHandle event);

}  // namespace win
