#pragma once

#include <string>

#include "vel/exception/PathException.h"
#include "vel/string/Ascii.h"

// A document that is not well-formed or lacks what its reader needs; the text names the place.
class XmlException : public PathException {
public:
    // The text is copied: readers format it into a per-thread buffer that the next failure reuses.
    XmlException(const char* file, int line, const char* function)
        : PathException(file, line), m_function(function ? function : "") {}

    void report() const override;
    Ascii function() const { return Ascii(m_function.c_str()); }

    [[noreturn]] static void raise(const char* file, int line, const char* function);

private:
    std::string m_function;
};
