#pragma once

#include <sys/socket.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>

// Whole-buffer transfers on the Pellodur socket, shared by the host and its clients: a frame is
// either moved completely or the connection is taken as broken.
inline bool PellodurReadFull(int fd, uint8_t* buffer, size_t length) {
    while (length > 0) {
        ssize_t n = ::recv(fd, buffer, length, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        buffer += n;
        length -= size_t(n);
    }
    return true;
}

inline bool PellodurWriteFull(int fd, const uint8_t* buffer, size_t length) {
    while (length > 0) {
        ssize_t n = ::send(fd, buffer, length, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        buffer += n;
        length -= size_t(n);
    }
    return true;
}
