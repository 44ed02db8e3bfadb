// Whole reads and writes on a stream socket, for the benchmarks' own ends of the pipe.
#pragma once

#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>

inline bool readAll(int fd, char* p, size_t n) {
    while (n > 0) {
        ssize_t got = read(fd, p, n);
        if (got <= 0) return false;
        p += got;
        n -= static_cast<size_t>(got);
    }
    return true;
}

inline bool writeAll(int fd, const char* p, size_t n) {
    while (n > 0) {
        ssize_t put = send(fd, p, n, MSG_NOSIGNAL);
        if (put <= 0) return false;
        p += put;
        n -= static_cast<size_t>(put);
    }
    return true;
}
