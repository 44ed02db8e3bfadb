#include "vel/certificate/X509Time.h"

#include <string>

#include "runtime/lum/Log.h"

namespace {

constexpr const char* PREFIX = "X509 time string parser error: ";
constexpr size_t MIN_LENGTH = 10;

Time failure(const char* reason, const Ascii& text) {
    logError(0, "%s%s, time=%s", PREFIX, reason, text.text());
    return Time();
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int number(const std::string& digits, size_t at, size_t count) {
    return std::stoi(digits.substr(at, count));
}

struct Fields {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Year, month, day, hour, minutes and seconds from the digits; two or four year digits.
Fields read(const std::string& digits, size_t yearDigits) {
    Fields f;
    size_t at = yearDigits;
    f.year = number(digits, 0, yearDigits);
    if (yearDigits == 2) f.year += f.year < 50 ? 2000 : 1900;
    f.month = number(digits, at, 2);
    f.day = number(digits, at + 2, 2);
    f.hour = number(digits, at + 4, 2);
    if (digits.size() >= at + 8) f.minute = number(digits, at + 6, 2);
    if (digits.size() >= at + 10) f.second = number(digits, at + 8, 2);
    return f;
}

bool dateAndHourValid(const Fields& f) {
    return f.month >= 1 && f.month <= 12 && f.day >= 1 && f.day <= Time::daysInMonth(f.month, f.year) &&
           f.hour >= 0 && f.hour <= 23;
}

}  // namespace

Time parseX509Time(const Ascii& text) {
    std::string value(text.text(), static_cast<size_t>(text.length()));
    size_t zone = std::string::npos;
    size_t separator = std::string::npos;
    for (size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (isDigit(c)) continue;
        if (c == 'Z' || c == '+' || c == '-') {
            if (zone != std::string::npos) return failure("multiple UTC flags ('Z') / time zones", text);
            zone = i;
        } else if (c == '.' || c == ',') {
            if (separator != std::string::npos) return failure("multiple milliseconds parts", text);
            separator = i;
        } else {
            return failure("invalid symbol", text);
        }
    }
    if (value.size() < MIN_LENGTH) return failure("value is too short", text);

    int offsetHours = 0;
    int offsetMinutes = 0;
    if (zone != std::string::npos) {
        if (separator != std::string::npos && separator > zone)
            return failure("milliseconds after time zone", text);
        if (value[zone] == 'Z') {
            if (zone + 1 != value.size()) return failure("extra symbols after 'Z'", text);
        } else {
            if (value.size() != zone + 5) return failure("invalid time zone", text);
            offsetHours = number(value, zone + 1, 2);
            offsetMinutes = number(value, zone + 3, 2);
            if (offsetHours > 23 || offsetMinutes > 59) return failure("invalid time zone", text);
            if (value[zone] == '-') {
                offsetHours = -offsetHours;
                offsetMinutes = -offsetMinutes;
            }
        }
        value.resize(zone);
    }
    bool fraction = separator != std::string::npos;
    if (fraction) {
        if (separator + 1 >= value.size()) return failure("missing milliseconds", text);
        value.resize(separator);
    }
    if (value.size() != 10 && value.size() != 12 && value.size() != 14)
        return failure("invalid [YY]YYMMDDhh[mm[ss]] length", text);

    Fields f;
    bool twoDigitYear = false;
    if (!fraction && zone != std::string::npos && value.size() != 14) {
        f = read(value, 2);
        twoDigitYear = dateAndHourValid(f) && f.minute <= 59;
    }
    if (!twoDigitYear) f = read(value, 4);
    // A day past its month's end is as invalid as day 32: the calendar time could not hold it.
    if (!dateAndHourValid(f)) return failure("invalid time format", text);
    if (f.minute > 59) return failure("invalid number of minutes", text);
    if (f.second > 59) return failure("invalid number seconds", text);
    Time time(f.year, f.month, f.day, f.hour, f.minute, f.second);
    // The zone's offset is taken off to give UTC.
    if (offsetHours != 0) time = time.plusHours(-offsetHours);
    if (offsetMinutes != 0) time = time.plusMinutes(-offsetMinutes);
    return time;
}
