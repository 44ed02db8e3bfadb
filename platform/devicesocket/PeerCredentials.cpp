#include "platform/devicesocket/PeerCredentials.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace devicesocket {

PeerCredentials::PeerCredentials(std::uint32_t userId, std::uint32_t groupId)
    : m_userId(userId), m_groupId(groupId) {
    m_groups.push_back(groupId);
    passwd entry{};
    passwd* found = nullptr;
    std::vector<char> text(16384);
    if (::getpwuid_r(userId, &entry, text.data(), text.size(), &found) != 0 || !found) return;
    int count = 64;
    std::vector<gid_t> groups(static_cast<size_t>(count));
    if (::getgrouplist(found->pw_name, groupId, groups.data(), &count) < 0) {
        groups.resize(size_t(count));
        if (::getgrouplist(found->pw_name, groupId, groups.data(), &count) < 0) return;
    }
    groups.resize(size_t(count));
    m_groups.insert(m_groups.end(), groups.begin(), groups.end());
}

bool PeerCredentials::inGroup(std::uint32_t groupId) const {
    return std::find(m_groups.begin(), m_groups.end(), groupId) != m_groups.end();
}

bool PeerCredentials::allows(std::uint32_t owner, std::uint32_t group, unsigned mode, Access access) const {
    if (m_userId == 0) return true;
    auto bits = unsigned(access);
    if (owner == m_userId) return mode & (bits << 6);
    if (inGroup(group)) return mode & (bits << 3);
    return mode & bits;
}

namespace {

// Closes the descriptor it holds when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }
    void reset(int fd = -1) {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

// The path's names from the root down; false for a path that is not absolute or names no file.
bool splitPath(const std::string& path, std::vector<std::string>* parts) {
    if (path.empty() || path[0] != '/' || path.back() == '/') return false;
    std::string part;
    for (size_t at = 1; at <= path.size(); ++at) {
        if (at == path.size() || path[at] == '/') {
            if (!part.empty() && part != ".") parts->push_back(part);
            part.clear();
        } else {
            part += path[at];
        }
    }
    return !parts->empty() && parts->back() != "..";
}

}  // namespace

int PeerCredentials::openForWriting(const std::string& path) const {
    constexpr int APPEND = O_WRONLY | O_APPEND | O_CLOEXEC;
    if (m_userId == 0) {
        int fd = ::open(path.c_str(), APPEND | O_CREAT | O_TRUNC, 0644);
        return fd >= 0 ? fd : -errno;
    }
    std::vector<std::string> parts;
    if (!splitPath(path, &parts)) return -EACCES;
    auto allowed = [this](int fd, Access access, struct stat* status) {
        return ::fstat(fd, status) == 0 && allows(status->st_uid, status->st_gid, status->st_mode, access);
    };

    struct stat directory {};
    Descriptor walked(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (walked.get() < 0) return -errno;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        if (!allowed(walked.get(), Access::Search, &directory)) return -EACCES;
        // O_NOFOLLOW with O_DIRECTORY: a link on the way is not a directory.
        int next = ::openat(walked.get(), parts[i].c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0) return errno == ENOTDIR || errno == ELOOP ? -EACCES : -errno;
        walked.reset(next);
    }
    if (!allowed(walked.get(), Access::Search, &directory)) return -EACCES;
    const char* name = parts.back().c_str();

    // An existing file: its own rights decide, read from the file that was opened. Not blocking,
    // so that a pipe without a reader cannot hold the caller.
    Descriptor file(::openat(walked.get(), name, APPEND | O_NOFOLLOW | O_NONBLOCK));
    if (file.get() >= 0) {
        struct stat status {};
        if (!allowed(file.get(), Access::Write, &status) || !S_ISREG(status.st_mode)) return -EACCES;
        if (::ftruncate(file.get(), 0) != 0) return -errno;
        ::fcntl(file.get(), F_SETFL, O_WRONLY | O_APPEND);
        return file.release();
    }
    if (errno == ELOOP || errno == EISDIR || errno == ENXIO) return -EACCES;
    if (errno != ENOENT) return -errno;

    // A new file: made here and nowhere else (a link of that name, even a dangling one, is refused),
    // and the caller's own, as if it had made it.
    if (!allows(directory.st_uid, directory.st_gid, directory.st_mode, Access::Write)) return -EACCES;
    file.reset(::openat(walked.get(), name, APPEND | O_CREAT | O_EXCL | O_NOFOLLOW, 0644));
    if (file.get() < 0) return errno == EEXIST ? -EACCES : -errno;
    if (::geteuid() == 0 && ::fchown(file.get(), m_userId, m_groupId) != 0) {
        // Left the host's: the caller can do less with it, never more.
    }
    return file.release();
}

}  // namespace devicesocket
