#include "platform/base/Root.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/base/Folders.h"

namespace base {
namespace {

bool given(const char* text) {
    return text != nullptr && text[0] != '\0';
}

}  // namespace

std::string withoutTrailingSlash(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    return std::string(path);
}

std::string resolveRoot(const RootInputs& inputs) {
    if (given(inputs.tamselHome)) return withoutTrailingSlash(inputs.tamselHome);
    if (inputs.superUser) return RootConstants::SYSTEM_ROOT;
    const char* home = given(inputs.home)         ? inputs.home
                       : given(inputs.passwdHome) ? inputs.passwdHome
                                                  : RootConstants::NO_HOME;
    std::string base = withoutTrailingSlash(home);
    if (base == "/") base.clear();
    return base + RootConstants::USER_STATE;
}

std::string resolveClientRoot(const char* tamselHome, const std::string& ownRoot, bool ownPipeExists) {
    if (given(tamselHome)) return withoutTrailingSlash(tamselHome);
    return ownPipeExists ? ownRoot : std::string(RootConstants::SYSTEM_ROOT);
}

std::string programDataRoot() {
    RootInputs inputs;
    inputs.tamselHome = std::getenv(RootConstants::HOME_VARIABLE);
    inputs.superUser = ::geteuid() == 0;
    inputs.home = std::getenv("HOME");
    std::string passwdHome;
    if (!given(inputs.tamselHome) && !inputs.superUser && !given(inputs.home)) {
        passwd entry;
        passwd* found = nullptr;
        char buffer[4096];
        if (::getpwuid_r(::geteuid(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr &&
            found->pw_dir != nullptr) {
            passwdHome = found->pw_dir;
        }
        inputs.passwdHome = passwdHome.c_str();
    }
    return resolveRoot(inputs);
}

std::string clientRoot() {
    const char* tamselHome = std::getenv(RootConstants::HOME_VARIABLE);
    if (given(tamselHome)) return withoutTrailingSlash(tamselHome);
    std::string own = programDataRoot();
    struct stat st;
    bool pipeExists = ::lstat((own + "/" + RootConstants::SERVICE_PIPE).c_str(), &st) == 0;
    return resolveClientRoot(tamselHome, own, pipeExists);
}

std::string rootFolder(std::string_view name) {
    std::string folder = programDataRoot() + "/" + std::string(name);
    return makeFolders(folder) ? folder : std::string();
}

}  // namespace base
