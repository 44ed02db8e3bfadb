#include "runtime/lum/RuntimeFolders.h"

#include "platform/base/Folders.h"
#include "platform/base/Root.h"

std::string runtimeLogsFolder() {
    std::string logs = base::rootFolder(base::RootFolders::LOGS);
    return logs.empty() ? logs : logs + "/";
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
