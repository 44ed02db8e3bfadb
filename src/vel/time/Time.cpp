#include "vel/time/Time.h"

#include "platform/base/LocalTime.h"
#include "runtime/lum/Assert.h"
#include "vel/string/Ascii.h"
#include "vel/string/FormatBuffer.h"
#include "vel/time/TimeCalendar.h"

namespace {

constexpr SlTime UNDEFINED = {-1, -1, -1, -1, -1, -1, 0};

SlTime fromFields(const TimeFields& f) {
    return {f.second, f.minute, f.hour, f.day, f.month, f.year, 0};
}

TimeFields toFields(const SlTime& t) {
    return {t.second, t.minute, t.hour, t.day, t.month, t.year};
}

}  // namespace

Time::Time() : Reference(new TimeImpl(UNDEFINED), Reference::TAKE_OVER) {}

Time::Time(std::int32_t year, std::int32_t month, std::int32_t day, std::int32_t hour, std::int32_t minute,
           std::int32_t second) {
    TimeFields fields{second, minute, hour, day, month, year};
    bool valid = year < 0;
    if (!valid) {
        // daysInMonth is asked only for a month in range, as the check reads left to right.
        valid = LUM_ASSERT_TEXT(year <= 9999 && 1 <= month && month <= 12 && 1 <= day &&
                                    day <= daysInMonth(month, year) && 0 <= hour && hour <= 23 &&
                                    0 <= minute && minute <= 59 && 0 <= second && second <= 59,
                                "year <= 9999 && 1 <= month && month <= 12 && 1 <= day && day <= "
                                "daysInMonth(month, year) && 0 <= hour && hour <= 23 && 0 <= minute && "
                                "minute <= 59 && 0 <= second && second <= 59");
        if (!valid) year = -1;
    }
    Reference::operator=(
        Reference(new TimeImpl(year < 0 ? UNDEFINED : fromFields(fields)), Reference::TAKE_OVER));
}

Time Time::now() {
    SlTime time = UNDEFINED;
    if (!LUM_ASSERT_TEXT(slTimeGetUTC(&time) == OS_OK, "slTimeGetUTC(&m_time) == OS_OK")) time = UNDEFINED;
    return Time(new TimeImpl(time));
}

Time Time::minimum() {
    return Time(new TimeImpl(fromFields(TimeCalendar::minimum())));
}

Time Time::maximum() {
    return Time(new TimeImpl(fromFields(TimeCalendar::maximum())));
}

int Time::compare(const Time& t) const {
    if (m == t.m) return 0;
    if (!LUM_ASSERT(isDefined() && t.isDefined())) return 0;
    return slTimeCompare(&impl()->m_time, &t.impl()->m_time);
}

bool Time::operator==(const Time& t) const {
    if (m == t.m) return true;
    if (!LUM_ASSERT(isDefined() && t.isDefined())) return false;
    return compare(t) == 0;
}

bool Time::operator<(const Time& t) const {
    if (m == t.m) return false;
    if (!LUM_ASSERT(isDefined() && t.isDefined())) return false;
    return compare(t) < 0;
}

bool Time::operator>(const Time& t) const {
    if (m == t.m) return false;
    if (!LUM_ASSERT(isDefined() && t.isDefined())) return false;
    return compare(t) > 0;
}

Time Time::plusHours(std::int32_t n) const {
    if (!LUM_ASSERT(isDefined())) return Time();
    TimeFields fields = toFields(impl()->m_time);
    TimeCalendar::addHours(fields, n);
    return Time(fields.year, fields.month, fields.day, fields.hour, fields.minute, fields.second);
}

Time Time::plusMinutes(std::int32_t n) const {
    if (!LUM_ASSERT(isDefined())) return Time();
    TimeFields fields = toFields(impl()->m_time);
    TimeCalendar::addMinutes(fields, n);
    return Time(fields.year, fields.month, fields.day, fields.hour, fields.minute, fields.second);
}

Ascii Time::toText() const {
    if (!isDefined()) return Ascii("undefined");
    const SlTime& t = impl()->m_time;
    FormatBuffer100 text("%04d-%02d-%02d %02d:%02d:%02d UTC", t.year, t.month, t.day, t.hour, t.minute,
                         t.second);
    return text.ascii();
}

std::int32_t Time::daysInMonth(std::int32_t month, std::int32_t year) {
    if (!LUM_ASSERT(1 <= month && month <= 12)) return 0;
    return TimeCalendar::monthLength(month, year);
}

const std::tm* Time::localTime(std::int64_t time) {
    static std::tm record;
    std::time_t value = static_cast<std::time_t>(time);
    if (!base::localTime(value, record)) return nullptr;
    return &record;
}
