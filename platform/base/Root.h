#pragma once
// Where every file of the system lives: one program-data root, so that a whole system can run in
// a temporary folder. Programs that serve (the service, the driver host) use programDataRoot();
// programs that talk to them (the tray, the logon client, the tools) use clientRoot().
#include <string>
#include <string_view>

namespace base {

// The folders below the root, created on demand by rootFolder().
class RootFolders {
public:
    static constexpr const char* LOGS = "logs";
    static constexpr const char* RUN = "run";
    static constexpr const char* SYSTEM = "system";
    static constexpr const char* NEW_CONFIG_FILES = "newConfigFiles";
    static constexpr const char* SECRETS = "secrets";
};

class RootConstants {
public:
    static constexpr const char* HOME_VARIABLE = "TAMSEL_HOME";
    static constexpr const char* SYSTEM_ROOT = "/var/lib/tamsel";
    // Below the user's home folder, for a service run by a user other than root.
    static constexpr const char* USER_STATE = "/.local/state/tamsel";
    // When neither HOME nor the password database names a home folder.
    static constexpr const char* NO_HOME = "/tmp";
    // A client takes its own root when the service's pipe is there.
    static constexpr const char* SERVICE_PIPE = "run/vel";
};

// What the root depends on, so that the rule can be checked for every kind of user. A null or
// empty text stands for an unset variable or a missing entry.
struct RootInputs {
    const char* tamselHome = nullptr;
    bool superUser = false;
    const char* home = nullptr;
    const char* passwdHome = nullptr;
};

// TAMSEL_HOME; else /var/lib/tamsel for root; else <home>/.local/state/tamsel with HOME, or the
// password database's home when HOME is unset or empty. Never ends in '/' (unless it is "/").
std::string resolveRoot(const RootInputs& inputs);

// TAMSEL_HOME; else ownRoot when the service's pipe exists there; else /var/lib/tamsel.
std::string resolveClientRoot(const char* tamselHome, const std::string& ownRoot, bool ownPipeExists);

// The rules above over this process's environment and user.
std::string programDataRoot();
std::string clientRoot();

// "<root>/<name>" below programDataRoot(), created with its parents when missing; empty when it
// cannot be created.
std::string rootFolder(std::string_view name);

// The text without its trailing '/' characters; "/" stays "/".
std::string withoutTrailingSlash(std::string_view path);

}  // namespace base
