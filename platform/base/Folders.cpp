#include "platform/base/Folders.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace base {

bool makeFolders(const std::string& path, unsigned mode) {
    if (path.empty()) {
        errno = ENOENT;
        return false;
    }
    for (std::size_t at = 1; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '/') continue;
        if (path[at - 1] == '/') continue;
        std::string part = path.substr(0, at);
        if (::mkdir(part.c_str(), static_cast<mode_t>(mode)) != 0 && errno != EEXIST) return false;
    }
    if (isFolder(path)) return true;
    errno = ENOTDIR;
    return false;
}

bool isFolder(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool pathExists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

std::string executablePath() {
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buffer) return std::string();
    return std::string(buffer, static_cast<std::size_t>(n));
}

std::string executableFolder() {
    std::string path = executablePath();
    std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace base
