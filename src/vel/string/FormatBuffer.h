#pragma once
// printf-style text made once into a fixed buffer. A text that does not fit, or a failing format,
// is raised as NvoException; the text can be read only after formatting.
#include <cstdarg>
#include <cstdint>

class Ascii;

class FormatBuffer {
public:
    FormatBuffer(char* buffer, std::int32_t length);
    FormatBuffer(const FormatBuffer&) = delete;
    FormatBuffer& operator=(const FormatBuffer&) = delete;

    void format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void vformat(const char* format, va_list args) __attribute__((format(printf, 2, 0)));

    const char* text() const;
    std::int32_t length() const;
    Ascii ascii() const;

protected:
    FormatBuffer(char* buffer, std::int32_t length, const char* function);

private:
    char* m_buffer;
    std::int32_t m_length;
    bool m_formatted = false;
    // The name a failed format is raised under.
    const char* m_function;
};

class FormatBuffer100 : public FormatBuffer {
public:
    FormatBuffer100() : FormatBuffer(m_storage, sizeof m_storage, "FormatVarArgs") {}
    FormatBuffer100(const char* format, ...) __attribute__((format(printf, 2, 3)));

private:
    char m_storage[100];
};

class FormatBuffer1024 : public FormatBuffer {
public:
    FormatBuffer1024() : FormatBuffer(m_storage, sizeof m_storage, "FormatVarArgs") {}
    FormatBuffer1024(const char* format, ...) __attribute__((format(printf, 2, 3)));

private:
    char m_storage[1024];
};
