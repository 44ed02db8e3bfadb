#include "runtime/lum/RuntimeFolders.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

bool makeFolders(const std::string& path) {
    for (size_t i = 1; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/') {
            std::string part = path.substr(0, i);
            if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
        }
    }
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string executablePath() {
    char buffer[PATH_MAX + 1];
    ssize_t n = readlink("/proc/self/exe", buffer, PATH_MAX);
    if (n <= 0) return std::string();
    buffer[n] = '\0';
    return std::string(buffer);
}

}  // namespace

std::string runtimeRootFolder() {
    const char* home = getenv("TAMSEL_HOME");
    std::string root;
    if (home != nullptr && home[0] != '\0') {
        root = home;
    } else if (geteuid() == 0) {
        root = "/var/lib/tamsel";
    } else {
        const char* user = getenv("HOME");
        root = std::string(user != nullptr ? user : ".") + "/.local/state/tamsel";
    }
    while (root.size() > 1 && root.back() == '/') root.pop_back();
    return root;
}

std::string runtimeLogsFolder() {
    std::string logs = runtimeRootFolder() + "/logs";
    if (!makeFolders(logs)) return std::string();
    return logs + "/";
}

std::string executableFolder() {
    std::string path = executablePath();
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string executableName() {
    std::string path = executablePath();
    return path.empty() ? std::string("velcsh") : std::string(pathFileName(path.c_str()));
}

const char* pathFileName(const char* path) {
    if (path == nullptr) return nullptr;
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p == '/' || *p == '\\') name = p + 1;
    }
    return name;
}
