#pragma once

#include "vel/exception/PathException.h"
#include "vel/string/Unicode.h"

// A file that could not be created, flushed or written.
class FileIOException : public PathException {
public:
    static constexpr int CREATE = 1;
    static constexpr int FLUSH = 2;
    static constexpr int WRITE = 3;

    FileIOException(const char* file, int line, int kind, const Unicode& path)
        : PathException(file, line), m_fileIOExceptionType(kind), m_path(path) {}

    void report() const override;
    int kind() const { return m_fileIOExceptionType; }
    const Unicode& path() const { return m_path; }

    [[noreturn]] static void raise(const char* file, int line, int kind, const Unicode& path);

private:
    int m_fileIOExceptionType;
    Unicode m_path;
};
