#pragma once

#include "vel/exception/PathException.h"

// A failed call of a library (ostrum, travik, the authentication library) with its result code.
class NvoException : public PathException {
public:
    NvoException(const char* file, int line, const char* function, int code)
        : PathException(file, line), m_function(function), m_code(code) {}

    void report() const override;
    const char* function() const { return m_function; }
    int code() const { return m_code; }

private:
    const char* m_function;
    int m_code;
};
