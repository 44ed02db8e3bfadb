#pragma once

// The two ways this layer reports trouble: a libxml2 call (or a schema check) that failed, and a
// broken invariant of the caller.
[[noreturn]] void xmlRaiseException(const char* file, int line, const char* function);
void xmlAssertionFailed(const char* file, int line, const char* expression);

#define XML_RAISE(function) xmlRaiseException(__FILE__, __LINE__, function)
#define XML_CHECK(expression) \
    ((expression) ? true : (xmlAssertionFailed(__FILE__, __LINE__, #expression), false))

void xmlLogLine(int severity, const char* text);
