#include "platform/devicesocket/PeerCredentials.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

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

bool PeerCredentials::mayCreateOrWrite(const std::string& path) const {
    if (path.empty()) return false;
    std::filesystem::path target = std::filesystem::absolute(path).lexically_normal();
    std::filesystem::path directory = target.parent_path();
    auto allowed = [this](const struct stat& status, Access access) {
        return allows(status.st_uid, status.st_gid, status.st_mode, access);
    };

    // Every directory from the root down to the file's own must be searchable.
    std::filesystem::path walked;
    for (const auto& part : directory) {
        walked /= part;
        struct stat status {};
        if (::stat(walked.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return false;
        if (!allowed(status, Access::Search)) return false;
    }

    struct stat status {};
    if (::stat(target.c_str(), &status) == 0)
        return !S_ISDIR(status.st_mode) && allowed(status, Access::Write);
    if (errno != ENOENT) return false;
    struct stat parent {};
    return ::stat(directory.c_str(), &parent) == 0 && allowed(parent, Access::Write);
}

}  // namespace devicesocket
