#include "vel/string/FormatBuffer.h"

#include <cstring>

#include "runtime/lum/Assert.h"
#include "travik.h"
#include "vel/exception/NvoException.h"
#include "vel/string/Ascii.h"

FormatBuffer::FormatBuffer(char* buffer, std::int32_t length)
    : FormatBuffer(buffer, length, "FormatBuffer::format") {}

FormatBuffer::FormatBuffer(char* buffer, std::int32_t length, const char* function)
    : m_buffer(buffer), m_length(length), m_function(function) {
    if (!LUM_ASSERT(m_buffer && m_length > 0)) {
        m_buffer = nullptr;
        m_length = 0;
    }
}

void FormatBuffer::format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    try {
        vformat(format, args);
    } catch (...) {
        va_end(args);
        throw;
    }
    va_end(args);
}

void FormatBuffer::vformat(const char* format, va_list args) {
    if (!LUM_ASSERT(!m_formatted) || !m_buffer) return;
    int result = slVsnprintf(m_buffer, m_length, format, args);
    if (result != 0) {
        m_buffer[0] = 0;
        throw NvoException(__FILE__, __LINE__, m_function, result);
    }
    m_formatted = true;
}

const char* FormatBuffer::text() const {
    if (!LUM_ASSERT(m_formatted)) return "";
    return m_buffer;
}

std::int32_t FormatBuffer::length() const {
    if (!LUM_ASSERT(m_formatted)) return 0;
    return static_cast<std::int32_t>(std::strlen(m_buffer));
}

Ascii FormatBuffer::ascii() const {
    return Ascii(text(), length());
}

FormatBuffer100::FormatBuffer100(const char* format, ...)
    : FormatBuffer(m_storage, sizeof m_storage, "FormatVarArgs") {
    va_list args;
    va_start(args, format);
    try {
        vformat(format, args);
    } catch (...) {
        va_end(args);
        throw;
    }
    va_end(args);
}

FormatBuffer1024::FormatBuffer1024(const char* format, ...)
    : FormatBuffer(m_storage, sizeof m_storage, "FormatVarArgs") {
    va_list args;
    va_start(args, format);
    try {
        vformat(format, args);
    } catch (...) {
        va_end(args);
        throw;
    }
    va_end(args);
}
