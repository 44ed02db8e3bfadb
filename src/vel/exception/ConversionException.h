#pragma once

#include "vel/exception/PathException.h"
#include "vel/string/Ascii.h"

// An enumeration value or text that its table does not hold; the text is the lookup's miss message.
class ConversionException : public PathException {
public:
    ConversionException(const char* file, int line, const char* function)
        : PathException(file, line), m_function(function) {}

    void report() const override;
    Ascii function() const { return Ascii(m_function); }

    [[noreturn]] static void raise(const char* file, int line, const char* function);

private:
    const char* m_function;
};
