#pragma once
// An immutable UTC calendar time to the second, or undefined. Shifting a time past the last
// second of 9999 or before the first of year 0 stops at that limit.
#include <cstdint>
#include <ctime>

#include "travik.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

class Ascii;

class TimeImpl : public ReferenceImpl {
public:
    explicit TimeImpl(const SlTime& time) : m_time(time) {}

    SlTime m_time;
};

class Time : public Reference {
public:
    // Undefined.
    Time();
    // A negative year gives an undefined time; any other field out of range is a broken
    // invariant and also gives an undefined time.
    Time(std::int32_t year, std::int32_t month, std::int32_t day, std::int32_t hour, std::int32_t minute,
         std::int32_t second);

    static Time now();
    static Time minimum();
    static Time maximum();

    bool isDefined() const { return impl()->m_time.year >= 0; }
    std::int32_t year() const { return impl()->m_time.year; }
    std::int32_t month() const { return impl()->m_time.month; }
    std::int32_t day() const { return impl()->m_time.day; }
    std::int32_t hour() const { return impl()->m_time.hour; }
    std::int32_t minute() const { return impl()->m_time.minute; }
    std::int32_t second() const { return impl()->m_time.second; }

    // Both times must be defined.
    bool operator==(const Time& t) const;
    bool operator<(const Time& t) const;
    bool operator>(const Time& t) const;
    bool operator<=(const Time& t) const { return *this < t || *this == t; }
    bool operator>=(const Time& t) const { return *this > t || *this == t; }

    // The time must be defined; n may be negative.
    Time plusHours(std::int32_t n) const;
    Time plusMinutes(std::int32_t n) const;

    // "undefined" or "YYYY-MM-DD hh:mm:ss UTC".
    Ascii toText() const;

    static std::int32_t daysInMonth(std::int32_t month, std::int32_t year);
    // The local broken-down form of a time value, in one shared record: not for two threads.
    static const std::tm* localTime(std::int64_t time);

private:
    explicit Time(TimeImpl* impl) : Reference(impl, Reference::TAKE_OVER) {}
    TimeImpl* impl() const { return static_cast<TimeImpl*>(static_cast<ReferenceImpl*>(m)); }
    // -1, 0 or 1; 0 for an undefined side (after the assertion).
    int compare(const Time& t) const;
};
