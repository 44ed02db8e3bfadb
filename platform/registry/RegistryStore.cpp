#include "platform/registry/RegistryStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/registry/Win32Error.h"

namespace registry {

namespace {

long fromErrno(int error, long otherwise) {
    return (error == EACCES || error == EPERM || error == EROFS) ? winerr::ERROR_ACCESS_DENIED : otherwise;
}

class FileLock {
public:
    explicit FileLock(const std::string& path)
        : fd_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
        if (fd_ < 0) {
            error_ = errno;
            return;
        }
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                error_ = errno;
                return;
            }
        }
    }
    ~FileLock() {
        if (fd_ >= 0) ::close(fd_);  // closing releases the lock
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    int error() const { return error_; }

private:
    int fd_;
    int error_ = 0;
};

bool writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

long RegistryStore::read(RegistryTree& tree) const {
    int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            tree = RegistryTree();
            return winerr::ERROR_SUCCESS;
        }
        return fromErrno(errno, winerr::ERROR_CANTREAD);
    }
    std::string text;
    char buf[8192];
    while (true) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            int error = errno;
            ::close(fd);
            return fromErrno(error, winerr::ERROR_CANTREAD);
        }
        if (n == 0) break;
        text.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return RegistryTree::parse(text, tree) ? winerr::ERROR_SUCCESS : winerr::ERROR_BADDB;
}

long RegistryStore::update(const Change& change) const {
    std::error_code ec;
    std::filesystem::path parent = std::filesystem::path(path_).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, ec);
    if (ec) return fromErrno(ec.value(), winerr::ERROR_CANTWRITE);

    FileLock lock(path_ + ".lock");
    if (lock.error()) return fromErrno(lock.error(), winerr::ERROR_CANTWRITE);

    RegistryTree tree;
    long status = read(tree);
    if (status != winerr::ERROR_SUCCESS) return status;
    bool changed = false;
    status = change(tree, changed);
    if (status != winerr::ERROR_SUCCESS || !changed) return status;
    return write(tree);
}

long RegistryStore::write(const RegistryTree& tree) const {
    std::string temp = path_ + ".tmp." + std::to_string(::getpid());
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return fromErrno(errno, winerr::ERROR_CANTWRITE);
    bool ok = writeAll(fd, tree.serialize()) && ::fsync(fd) == 0;
    int error = errno;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(temp.c_str(), path_.c_str()) == 0) return winerr::ERROR_SUCCESS;
    if (ok) error = errno;
    ::unlink(temp.c_str());
    return fromErrno(error, winerr::ERROR_CANTWRITE);
}

}  // namespace registry
