#include "vel/time/TimeCalendar.h"

namespace {

constexpr std::int32_t MONTH_LENGTHS[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Returns false when the year ran out and the fields were set to the limit.
bool nextMonth(TimeFields& fields) {
    if (fields.month < 12) {
        ++fields.month;
        return true;
    }
    if (fields.year >= TimeCalendar::MAX_YEAR) {
        fields = TimeCalendar::maximum();
        return false;
    }
    fields.month = 1;
    ++fields.year;
    return true;
}

bool previousMonth(TimeFields& fields) {
    if (fields.month > 1) {
        --fields.month;
        return true;
    }
    if (fields.year <= TimeCalendar::MIN_YEAR) {
        fields = TimeCalendar::minimum();
        return false;
    }
    fields.month = 12;
    --fields.year;
    return true;
}

}  // namespace

bool TimeCalendar::isLeapYear(std::int32_t year) {
    return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
}

std::int32_t TimeCalendar::monthLength(std::int32_t month, std::int32_t year) {
    return month == 2 && isLeapYear(year) ? 29 : MONTH_LENGTHS[month - 1];
}

bool TimeCalendar::valid(const TimeFields& f) {
    return f.year >= MIN_YEAR && f.year <= MAX_YEAR && 1 <= f.month && f.month <= 12 && 1 <= f.day &&
           f.day <= monthLength(f.month, f.year) && 0 <= f.hour && f.hour <= 23 && 0 <= f.minute &&
           f.minute <= 59 && 0 <= f.second && f.second <= 59;
}

void TimeCalendar::addMinutes(TimeFields& fields, std::int32_t n) {
    std::int32_t carry = n / 60;
    fields.minute += n % 60;
    if (fields.minute < 0) {
        fields.minute += 60;
        --carry;
    } else if (fields.minute > 59) {
        fields.minute -= 60;
        ++carry;
    }
    addHours(fields, carry);
}

void TimeCalendar::addHours(TimeFields& fields, std::int32_t n) {
    std::int32_t carry = n / 24;
    fields.hour += n % 24;
    if (fields.hour < 0) {
        fields.hour += 24;
        --carry;
    } else if (fields.hour > 23) {
        fields.hour -= 24;
        ++carry;
    }
    addDays(fields, carry);
}

void TimeCalendar::addDays(TimeFields& fields, std::int32_t n) {
    // Work in 64 bits: day + n must not overflow for counts near the 32-bit limits.
    std::int64_t days = n;
    if (days > 0) {
        while (fields.day + days > monthLength(fields.month, fields.year)) {
            days -= monthLength(fields.month, fields.year);
            if (!nextMonth(fields)) return;
        }
    } else if (days < 0) {
        while (fields.day + days <= 0) {
            if (!previousMonth(fields)) return;
            days += monthLength(fields.month, fields.year);
        }
    }
    fields.day += static_cast<std::int32_t>(days);
}
