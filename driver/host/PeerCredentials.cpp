#include "driver/host/PeerCredentials.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

PeerCredentials::PeerCredentials(uid_t uid, gid_t gid) : uid_(uid), gid_(gid) {
    groups_.push_back(gid);
    passwd entry{};
    passwd* found = nullptr;
    std::vector<char> text(16384);
    if (::getpwuid_r(uid, &entry, text.data(), text.size(), &found) != 0 || !found) return;
    int count = 64;
    std::vector<gid_t> groups(static_cast<size_t>(count));
    if (::getgrouplist(found->pw_name, gid, groups.data(), &count) < 0) {
        groups.resize(size_t(count));
        if (::getgrouplist(found->pw_name, gid, groups.data(), &count) < 0) return;
    }
    groups.resize(size_t(count));
    groups_.insert(groups_.end(), groups.begin(), groups.end());
}

bool PeerCredentials::inGroup(gid_t gid) const {
    return std::find(groups_.begin(), groups_.end(), gid) != groups_.end();
}

bool PeerCredentials::allows(const struct stat& status, Access access) const {
    if (uid_ == 0) return true;
    auto bits = mode_t(access);
    if (status.st_uid == uid_) return status.st_mode & (bits << 6);
    if (inGroup(status.st_gid)) return status.st_mode & (bits << 3);
    return status.st_mode & bits;
}

bool PeerCredentials::mayCreateOrWrite(const std::string& path) const {
    if (path.empty()) return false;
    std::filesystem::path target = std::filesystem::absolute(path).lexically_normal();
    std::filesystem::path directory = target.parent_path();

    // Every directory from the root down to the file's own must be searchable.
    std::filesystem::path walked;
    for (const auto& part : directory) {
        walked /= part;
        struct stat status {};
        if (::stat(walked.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return false;
        if (!allows(status, Access::Search)) return false;
    }

    struct stat status {};
    if (::stat(target.c_str(), &status) == 0)
        return !S_ISDIR(status.st_mode) && allows(status, Access::Write);
    if (errno != ENOENT) return false;
    struct stat parent {};
    return ::stat(directory.c_str(), &parent) == 0 && allows(parent, Access::Write);
}
