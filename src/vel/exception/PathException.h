#pragma once

#include "vel/exception/BaseException.h"

// An error that remembers the source position that raised it.
class PathException : public BaseException {
public:
    PathException(const char* file, int line);

    // The part of the source path after its last separator.
    const char* file() const { return m_file; }
    int line() const { return m_line; }

private:
    const char* m_file;
    int m_line;
};
