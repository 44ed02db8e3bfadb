#pragma once

#include "vel/exception/PathException.h"
#include "vel/string/Ascii.h"

// A connection-API message that cannot be answered as asked.
class ConnectionApiException : public PathException {
public:
    ConnectionApiException(const char* file, int line, const Ascii& function, const Ascii& reason)
        : PathException(file, line), m_function(function), m_reason(reason) {}

    void report() const override;
    const Ascii& function() const { return m_function; }
    const Ascii& reason() const { return m_reason; }

    [[noreturn]] static void raise(const char* file, int line, const Ascii& function, const Ascii& reason);

private:
    Ascii m_function;
    Ascii m_reason;
};
