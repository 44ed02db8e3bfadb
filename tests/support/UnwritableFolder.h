#pragma once
// A folder that one child process cannot write, as a root on a read-only or a full file system:
// in a mount namespace of the child's own, the folder is bound onto itself read-only, or a small
// file system is mounted on it and filled. File modes would not do, since tests may run as root;
// where the child may not mount, it ends with CANNOT_MOUNT before it runs the program, and the
// test says it skipped.
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace tamsel::test {

inline constexpr int CANNOT_MOUNT = 77;

// ChildProcess::Options::prepare for a child that sees the folder read-only.
inline std::function<void()> readOnlyFolder(const std::string& folder) {
    return [folder] {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
            ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
            ::_exit(CANNOT_MOUNT);
    };
}

// For a child that finds the folder empty and its file system full: folders and empty files can
// still be made, no byte can be written.
inline std::function<void()> fullFolder(const std::string& folder) {
    const std::string filler = folder + "/filler";
    return [folder, filler] {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tamsel-full", folder.c_str(), "tmpfs", 0, "size=64k") != 0)
            ::_exit(CANNOT_MOUNT);
        const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        static char block[4096];
        while (fd >= 0 && ::write(fd, block, sizeof block) > 0) {
        }
        if (fd >= 0) ::close(fd);
    };
}

}  // namespace tamsel::test
