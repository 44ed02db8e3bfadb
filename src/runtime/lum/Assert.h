#pragma once

// Logs "Internal error 7, contact software manufacturer" and "Assertion '<expression>' failed at
// [<file>:<line>]", writes the debug dump and returns: the program goes on.
void assertionFailed(const char* file, int line, const char* expression);

// Called after the log lines and the dump of every failed assertion (tests record them).
using AssertionHandler = void (*)(const char* file, int line, const char* expression);
AssertionHandler setAssertionHandler(AssertionHandler handler);

// A failed outside call that is reported and not thrown: logs internal error 4 and
// "NvoError for function '<function>' => <code>{error} [<file>:<line>]".
void NvoError(const char* file, int line, const char* function, int code);

// As NvoError with "NvoException for function ...", then fails an assertion (debug dump).
void reportFunctionException(const char* file, int line, const char* function, int code);

// Checks a broken invariant. Evaluates to the truth of the expression, so that code which guards
// memory with it can leave instead of making the invalid access:
//     if (!LUM_ASSERT(index < m_length)) return;
#define LUM_ASSERT(expression) \
    (static_cast<bool>(expression) ? true : (::assertionFailed(__FILE__, __LINE__, #expression), false))

// Checks with a text of its own in place of the expression.
#define LUM_ASSERT_TEXT(expression, text) \
    (static_cast<bool>(expression) ? true : (::assertionFailed(__FILE__, __LINE__, text), false))
