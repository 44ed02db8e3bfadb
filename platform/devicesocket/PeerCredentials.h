#pragma once
// Who is on the other end of a device connection, as the socket reports it, and what that caller
// may do to files: the host runs with more rights than its callers and must not lend them.
#include <cstdint>
#include <string>
#include <vector>

namespace devicesocket {

class PeerCredentials {
public:
    PeerCredentials(std::uint32_t userId, std::uint32_t groupId);

    std::uint32_t userId() const { return m_userId; }
    std::uint32_t groupId() const { return m_groupId; }

    // Opens the path for appending as the caller could, creating it (then the caller's own) or
    // emptying it: a descriptor, or -errno (-EACCES when the caller may not). The path is walked
    // step by step by the system, with search rights on every directory passed, `..` included,
    // and write rights on the file, or on its directory for a new file; a symbolic link anywhere
    // on it is refused, so that what is checked is what is opened. The superuser opens as the
    // system would.
    int openForWriting(const std::string& path) const;

private:
    enum class Access { Write = 2, Search = 1 };
    bool allows(std::uint32_t owner, std::uint32_t group, unsigned mode, Access access) const;
    bool inGroup(std::uint32_t groupId) const;

    std::uint32_t m_userId;
    std::uint32_t m_groupId;
    std::vector<std::uint32_t> m_groups;
};

}  // namespace devicesocket
