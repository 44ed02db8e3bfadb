#pragma once
// ByteOutputStream for 16-bit characters; lengths count characters.
#include <cstdint>

class WideCharOutputStream {
public:
    WideCharOutputStream(char16_t* buffer, std::int32_t size);

    void write(const char16_t* text, std::int32_t length);
    void writeChar(char16_t c);

    bool full() const { return m_writePointer == m_endPointer; }
    std::int32_t length() const { return static_cast<std::int32_t>(m_writePointer - m_begin); }

private:
    char16_t* m_begin;
    char16_t* m_writePointer;
    char16_t* m_endPointer;
};
