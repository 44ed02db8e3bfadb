#pragma once

#include <cstdint>

namespace win {

// An auto-reset event: one set releases exactly one waiter, or the next wait when nobody waits.
class Event;
using EventHandle = Event*;

inline constexpr uint32_t INFINITE_WAIT = 0xFFFFFFFFu;

enum class WaitResult { SIGNALLED, TIMED_OUT, FAILED };

// Null when the event cannot be made; fails on demand as "createAutoResetEvent".
EventHandle createAutoResetEvent();
bool setEvent(EventHandle event);
WaitResult waitForEvent(EventHandle event, uint32_t timeoutMs);
bool closeEvent(EventHandle event);

}  // namespace win
