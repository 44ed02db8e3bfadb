#pragma once
#include <ctime>

namespace base {

// The local calendar time of a moment; false when it cannot be represented.
bool localTime(std::time_t when, std::tm& local);

struct LocalNow {
    std::tm calendar;
    int milliseconds;
    long utcOffsetSeconds;  // east of UTC positive
};

// The wall clock now, in local time.
LocalNow localNow();

}  // namespace base
