#pragma once

#include "vel/exception/PathException.h"

// A failed platform call with the platform's error code.
class WindowsException : public PathException {
public:
    WindowsException(const char* file, int line, const char* function, int code)
        : PathException(file, line), m_function(function), m_code(code) {}

    void report() const override;
    const char* function() const { return m_function; }
    int code() const { return m_code; }

private:
    const char* m_function;
    int m_code;
};
