#include "platform/base/Files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace base {

int readFile(const std::string& path, std::string& contents) {
    contents.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    char buffer[8192];
    int error = 0;
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = errno;
        if (n <= 0) break;
        contents.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return error;
}

std::FILE* openForAppend(const std::string& path, unsigned mode) {
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, static_cast<mode_t>(mode));
    if (fd < 0) return nullptr;
    struct stat status;
    if (::fstat(fd, &status) == 0 && (status.st_mode & 07777 & ~mode) != 0 && status.st_uid == ::geteuid())
        ::fchmod(fd, status.st_mode & 07777 & mode);
    std::FILE* file = ::fdopen(fd, "a");
    if (file == nullptr) {
        int error = errno;
        ::close(fd);
        errno = error;
    }
    return file;
}

FileLock::FileLock(const std::string& path) : m_fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
    if (m_fd < 0) {
        m_error = errno;
        return;
    }
    while (::flock(m_fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            m_error = errno;
            return;
        }
    }
}

FileLock::~FileLock() {
    if (m_fd >= 0) ::close(m_fd);  // closing releases the lock
}

}  // namespace base
