#include "vel/reference/SafeInteger.h"

#include <cstring>
#include <limits>

#include "runtime/lum/Assert.h"

SafeInteger::SafeInteger(int64_t value) {
    if (value >= 0 && value <= std::numeric_limits<int32_t>::max()) {
        m_valid = true;
        m_value = static_cast<int32_t>(value);
    }
}

SafeInteger::SafeInteger(const char* text) {
    if (text != nullptr) *this = SafeInteger(static_cast<int64_t>(strlen(text)));
}

SafeInteger::SafeInteger(const void* begin, const void* end)
    : SafeInteger(static_cast<int64_t>(static_cast<const char*>(end) - static_cast<const char*>(begin))) {}

SafeInteger SafeInteger::fromDigit(char c) {
    if (c < '0' || c > '9') return SafeInteger();
    return SafeInteger(static_cast<int64_t>(c - '0'));
}

SafeInteger SafeInteger::make(int64_t exact) {
    SafeInteger result;
    if (exact >= std::numeric_limits<int32_t>::min() && exact <= std::numeric_limits<int32_t>::max()) {
        result.m_valid = true;
        result.m_value = static_cast<int32_t>(exact);
    }
    return result;
}

SafeInteger SafeInteger::operator+(const SafeInteger& other) const {
    if (!m_valid || !other.m_valid) return SafeInteger();
    return make(static_cast<int64_t>(m_value) + other.m_value);
}

SafeInteger SafeInteger::operator-(const SafeInteger& other) const {
    if (!m_valid || !other.m_valid) return SafeInteger();
    return make(static_cast<int64_t>(m_value) - other.m_value);
}

SafeInteger SafeInteger::operator*(const SafeInteger& other) const {
    if (!m_valid || !other.m_valid) return SafeInteger();
    return make(static_cast<int64_t>(m_value) * other.m_value);
}

bool SafeInteger::operator<(const SafeInteger& other) const {
    if (!m_valid || !other.m_valid) return false;
    m_checked = other.m_checked = true;
    return m_value < other.m_value;
}

bool SafeInteger::operator<=(const SafeInteger& other) const {
    if (!m_valid || !other.m_valid) return false;
    m_checked = other.m_checked = true;
    return m_value <= other.m_value;
}

bool SafeInteger::operator>=(const SafeInteger& other) const {
    if (!m_valid || !other.m_valid) return false;
    m_checked = other.m_checked = true;
    return m_value >= other.m_value;
}

bool SafeInteger::inRange(int32_t min, int32_t max) const {
    if (!m_valid || m_value < min || m_value > max) return false;
    m_checked = true;
    return true;
}

bool SafeInteger::valid() const {
    m_checked = true;
    return m_valid;
}

bool SafeInteger::invalid() const {
    m_checked = true;
    return !m_valid;
}

int32_t SafeInteger::value() const {
    LUM_ASSERT(m_valid && m_checked);
    return m_value;
}
