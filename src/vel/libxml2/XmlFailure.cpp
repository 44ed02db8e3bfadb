#include "vel/libxml2/XmlFailure.h"

#include <cstdio>
#include <stdexcept>

[[noreturn]] void xmlRaiseException(const char* file, int line, const char* function) {
    (void)file;
    (void)line;
    throw std::runtime_error(function);
}

void xmlAssertionFailed(const char* file, int line, const char* expression) {
    std::fprintf(stderr, "Assertion '%s' failed at [%s:%d]\n", expression, file, line);
}

void xmlLogLine(int severity, const char* text) {
    std::fprintf(stderr, "%d %s\n", severity, text);
}
