#pragma once
// Calendar arithmetic of Time on its six fields. A shift that passes the last second of 9999 or
// the first second of year 0 stops there, so every result is again a valid time.
#include <cstdint>

struct TimeFields {
    std::int32_t second;
    std::int32_t minute;
    std::int32_t hour;
    std::int32_t day;
    std::int32_t month;
    std::int32_t year;
};

class TimeCalendar {
public:
    static constexpr std::int32_t MIN_YEAR = 0;
    static constexpr std::int32_t MAX_YEAR = 9999;

    static bool isLeapYear(std::int32_t year);
    // The month must be 1 to 12.
    static std::int32_t monthLength(std::int32_t month, std::int32_t year);
    static bool valid(const TimeFields& fields);

    static TimeFields minimum() { return {0, 0, 0, 1, 1, MIN_YEAR}; }
    static TimeFields maximum() { return {59, 59, 23, 31, 12, MAX_YEAR}; }

    static void addMinutes(TimeFields& fields, std::int32_t n);
    static void addHours(TimeFields& fields, std::int32_t n);
    static void addDays(TimeFields& fields, std::int32_t n);
};
