// The library's clocks: wall-clock time since 1970 and the monotonic millisecond tick.
#include <ctime>

#include "ostrum.h"
#include "platform/win/Tick.h"

namespace {
// Hundred-nanosecond units between 1601-01-01 and 1970-01-01, the offset of the system file time.
constexpr unsigned long long FILETIME_UNIX_EPOCH = 116444736000000000ULL;
constexpr unsigned long long FILETIME_UNITS_PER_SECOND = 10000000ULL;

bool systemFileTime(unsigned long long* fileTime) {
    timespec now{};
    if (clock_gettime(CLOCK_REALTIME, &now) != 0 || now.tv_sec < 0) return false;
    *fileTime = FILETIME_UNIX_EPOCH +
                static_cast<unsigned long long>(now.tv_sec) * FILETIME_UNITS_PER_SECOND +
                static_cast<unsigned long long>(now.tv_nsec) / 100u;
    return true;
}
}  // namespace

extern "C" {

OSTRUM_API int osTime(OsTime* t) {
    if (t == nullptr) return OS_ERR_ARGUMENT;
    unsigned long long fileTime = 0;
    if (!systemFileTime(&fileTime) || fileTime < FILETIME_UNIX_EPOCH) {
        t->seconds = 0;
        t->microseconds = 0;
        return OS_ERR_FAILED;
    }
    unsigned long long units = fileTime - FILETIME_UNIX_EPOCH;
    t->seconds = static_cast<uint32_t>(units / FILETIME_UNITS_PER_SECOND);
    t->microseconds =
        static_cast<uint32_t>((units % FILETIME_UNITS_PER_SECOND) * 1000000ULL / FILETIME_UNITS_PER_SECOND);
    return OS_OK;
}

OSTRUM_API uint32_t osMTime(void) {
    return win::tickCount();
}

OSTRUM_API void osMSleep(uint32_t milliseconds) {
    timespec left{static_cast<time_t>(milliseconds / 1000u),
                  static_cast<long>(milliseconds % 1000u) * 1000000L};
    while (nanosleep(&left, &left) != 0) {
    }
}
}
