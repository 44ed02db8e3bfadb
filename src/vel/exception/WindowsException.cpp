#include "vel/exception/WindowsException.h"

#include <cstdio>

void WindowsException::report() const {
    printf("CAUGHT: WindowsException for function '%s' => %d{error} [%s:%d]\n", m_function ? m_function : "?",
           m_code, file(), line());
    fflush(stdout);
}
