#pragma once

#include "vel/exception/PathException.h"
#include "vel/string/Ascii.h"

// A document that is not well-formed or lacks what its reader needs; the text names the place.
class XmlException : public PathException {
public:
    XmlException(const char* file, int line, const char* function)
        : PathException(file, line), m_function(function) {}

    void report() const override;
    Ascii function() const { return Ascii(m_function); }

    [[noreturn]] static void raise(const char* file, int line, const char* function);

private:
    const char* m_function;
};
