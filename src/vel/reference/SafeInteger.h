#pragma once

#include <cstdint>

// A 32-bit integer that turns invalid on overflow. Its value may be read only after its validity
// was tested (valid(), invalid(), inRange() or a comparison).
class SafeInteger {
public:
    SafeInteger() = default;
    // A negative value gives an invalid 0.
    SafeInteger(int64_t value);  // NOLINT: built implicitly from sizes
    SafeInteger(int32_t value) : SafeInteger(static_cast<int64_t>(value)) {}  // NOLINT
    // The length of a text; invalid for null.
    explicit SafeInteger(const char* text);
    // The distance from begin to end.
    SafeInteger(const void* begin, const void* end);
    // '0' to '9' give 0 to 9; any other character is invalid.
    static SafeInteger fromDigit(char c);

    SafeInteger operator+(const SafeInteger& other) const;
    SafeInteger operator-(const SafeInteger& other) const;
    SafeInteger operator*(const SafeInteger& other) const;

    // False when either side is invalid; otherwise both sides become checked.
    bool operator<(const SafeInteger& other) const;
    bool operator<=(const SafeInteger& other) const;
    bool operator>=(const SafeInteger& other) const;
    bool inRange(int32_t min, int32_t max) const;

    bool valid() const;
    bool invalid() const;
    // Asserts "m_valid && m_checked".
    int32_t value() const;

private:
    static SafeInteger make(int64_t exact);

    mutable bool m_valid = false;
    mutable bool m_checked = false;
    int32_t m_value = 0;
};
