#include "platform/base/AtomicWrite.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "platform/base/FailureInjection.h"

namespace base {
namespace {

std::atomic<unsigned long> g_counter{0};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The rename is only durable once the folder's entry is; a failure here does not undo the write.
void syncFolderOf(const std::string& path) {
    std::string::size_type slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

std::string temporarySuffix() {
    return std::string(".").append(std::to_string(::getpid())).append(".").append(
        std::to_string(g_counter.fetch_add(1) + 1)).append(".tmp");
}

std::string temporaryNameFor(const std::string& path) {
    return path + temporarySuffix();
}

int writeFileAtomically(const std::string& path, std::string_view contents, unsigned mode) {
    if (std::uint32_t code = 0; injectedFailure("writeFileAtomically", code)) return static_cast<int>(code);
    std::string temporary = temporaryNameFor(path);
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(mode));
    if (fd < 0) return errno;
    int error = 0;
    if (!writeAll(fd, contents) || ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return error;
    }
    syncFolderOf(path);
    return 0;
}

}  // namespace base
