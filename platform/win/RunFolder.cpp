#include "win/RunFolder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace winsvc {

std::string programDataRoot() {
    const char* home = getenv("TAMSEL_HOME");
    if (home != nullptr && home[0] != '\0') {
        std::string root = home;
        while (root.size() > 1 && root.back() == '/') root.pop_back();
        return root;
    }
    if (geteuid() == 0) return "/var/lib/tamsel";
    const char* user = getenv("HOME");
    if (user == nullptr || user[0] == '\0') {
        const passwd* entry = getpwuid(geteuid());
        user = entry != nullptr ? entry->pw_dir : "/tmp";
    }
    return std::string(user) + "/.local/state/tamsel";
}

static bool makeFolders(const std::string& path) {
    for (size_t at = 1; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '/') continue;
        std::string part = path.substr(0, at);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    return true;
}

std::string runFolder() {
    std::string folder = programDataRoot() + "/run";
    return makeFolders(folder) ? folder : std::string();
}

}  // namespace winsvc
