#include "vel/string/WideCharOutputStream.h"

#include <cstring>

#include "runtime/lum/Assert.h"

WideCharOutputStream::WideCharOutputStream(char16_t* buffer, std::int32_t size)
    : m_begin(buffer), m_writePointer(buffer), m_endPointer(buffer) {
    if (LUM_ASSERT(buffer && size >= 0)) m_endPointer = buffer + size;
}

void WideCharOutputStream::write(const char16_t* text, std::int32_t length) {
    if (!LUM_ASSERT(text && length >= 0)) return;
    if (!LUM_ASSERT_TEXT(length <= m_endPointer - m_writePointer, "m_writePointer + length <= m_endPointer"))
        return;
    if (length > 0) std::memcpy(m_writePointer, text, static_cast<std::size_t>(length) * sizeof(char16_t));
    m_writePointer += length;
}

void WideCharOutputStream::writeChar(char16_t c) {
    if (!LUM_ASSERT_TEXT(m_writePointer + 1 <= m_endPointer, "m_writePointer + 1 <= m_endPointer")) return;
    *m_writePointer++ = c;
}
