#include "platform/base/LocalTime.h"

#include <sys/time.h>

namespace base {

bool localTime(std::time_t when, std::tm& local) {
    return ::localtime_r(&when, &local) != nullptr;
}

LocalNow localNow() {
    struct timeval now;
    ::gettimeofday(&now, nullptr);
    LocalNow result{};
    ::localtime_r(&now.tv_sec, &result.calendar);
    result.milliseconds = static_cast<int>(now.tv_usec / 1000);
    result.utcOffsetSeconds = result.calendar.tm_gmtoff;
    return result;
}

}  // namespace base
