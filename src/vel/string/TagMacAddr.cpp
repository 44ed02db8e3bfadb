#include "vel/string/TagMacAddr.h"

#include <cstdio>

int TagMacAddr::print(char* buffer, size_t size) const {
    if (size == 0) return 0;
    buffer[0] = '\0';
    if (m_address.length() != 12) return 0;
    const char* digits = m_address.text();
    int n = std::snprintf(buffer, size, "[mac=%d,%u,%c%c", m_number, 6u, digits[0], digits[1]);
    for (int pair = 1; pair < 6 && n >= 0 && static_cast<size_t>(n) < size; ++pair) {
        n += std::snprintf(buffer + n, size - static_cast<size_t>(n), ":%c%c", digits[2 * pair],
                           digits[2 * pair + 1]);
    }
    if (n >= 0 && static_cast<size_t>(n) < size)
        n += std::snprintf(buffer + n, size - static_cast<size_t>(n), "]");
    if (n < 0 || static_cast<size_t>(n) >= size) {
        buffer[0] = '\0';
        return 0;
    }
    return n;
}
