#include "platform/base/Process.h"

#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace base {

std::string environmentVariable(const char* name) {
    const char* value = name != nullptr ? std::getenv(name) : nullptr;
    return value != nullptr ? std::string(value) : std::string();
}

long processId() {
    return static_cast<long>(::getpid());
}

long osThreadId() {
    return static_cast<long>(::gettid());
}

std::string hostName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return std::string();
    return std::string(name);
}

int changeDirectory(const std::string& folder) {
    return ::chdir(folder.c_str()) == 0 ? 0 : errno;
}

}  // namespace base
