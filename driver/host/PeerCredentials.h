// Who is on the other end of a control device connection, as the socket reports it, and what
// that caller may do to files: the host runs with more rights than its callers and must not lend
// them.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

class PeerCredentials {
public:
    PeerCredentials(uid_t uid, gid_t gid);

    uid_t uid() const { return uid_; }
    gid_t gid() const { return gid_; }

    // True when the caller could open the path for writing, creating it if it does not exist:
    // search rights on every directory above it and write rights on the file, or on its
    // directory for a new file.
    bool mayCreateOrWrite(const std::string& path) const;

private:
    enum class Access { Write = 2, Search = 1 };
    bool allows(const struct stat& status, Access access) const;
    bool inGroup(gid_t gid) const;

    uid_t uid_;
    gid_t gid_;
    std::vector<gid_t> groups_;
};
