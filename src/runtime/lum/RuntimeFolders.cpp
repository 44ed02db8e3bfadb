#include "runtime/lum/RuntimeFolders.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/base/Folders.h"
#include "platform/base/Root.h"

std::string runtimeLogsFolder() {
    std::string logs = base::programDataRoot() + "/" + base::RootFolders::LOGS;
    // A folder that cannot be made is still the logs' place: their writes then fail and say so,
    // where an empty folder would have put them into whatever folder is current.
    if (!base::makeFolders(logs)) {
        static std::atomic<bool> told{false};
        if (!told.exchange(true))
            std::fprintf(stderr, "Cannot create the log folder %s: %s\n", logs.c_str(), std::strerror(errno));
    }
    return logs + "/";
}

std::string executableFolder() {
    return base::executableFolder();
}

std::string executableName() {
    std::string path = base::executablePath();
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
