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

    // True when the caller could open the path for writing, creating it if it does not exist:
    // search rights on every directory above it and write rights on the file, or on its
    // directory for a new file.
    bool mayCreateOrWrite(const std::string& path) const;

private:
    enum class Access { Write = 2, Search = 1 };
    bool allows(std::uint32_t owner, std::uint32_t group, unsigned mode, Access access) const;
    bool inGroup(std::uint32_t groupId) const;

    std::uint32_t m_userId;
    std::uint32_t m_groupId;
    std::vector<std::uint32_t> m_groups;
};

}  // namespace devicesocket
