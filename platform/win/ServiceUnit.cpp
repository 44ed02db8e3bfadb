#include "platform/win/ServiceUnit.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/base/AtomicWrite.h"

namespace winsvc::unit {

namespace {

constexpr const char* SYSTEM_UNIT_FOLDER = "/etc/systemd/system";

// systemd splits ExecStart at blanks unless the word is quoted.
std::string quoted(const std::string& path) {
    if (path.find_first_of(" \t\"\\") == std::string::npos) return path;
    std::string out = "\"";
    for (char c : path) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string unquoted(const std::string& word) {
    if (word.size() < 2 || word.front() != '"' || word.back() != '"') return word;
    std::string out;
    for (size_t i = 1; i + 1 < word.size(); ++i) {
        if (word[i] == '\\' && i + 2 < word.size()) ++i;
        out += word[i];
    }
    return out;
}

std::string seconds(DWORD milliseconds) {
    char text[32];
    snprintf(text, sizeof text, "%u.%03u", milliseconds / 1000, milliseconds % 1000);
    return text;
}

}  // namespace

std::string folder() {
    const char* dir = getenv("TAMSEL_UNIT_DIR");
    return dir != nullptr && dir[0] != '\0' ? std::string(dir) : std::string(SYSTEM_UNIT_FOLDER);
}

bool systemdManages() {
    const char* dir = getenv("TAMSEL_UNIT_DIR");
    return (dir == nullptr || dir[0] == '\0') && access("/run/systemd/system", F_OK) == 0;
}

std::string path(const std::string& name) {
    return folder() + "/" + name + ".service";
}

std::string text(const ServiceUnit& u) {
    std::ostringstream out;
    out << "[Unit]\n";
    out << "Description=" << (u.description.empty() ? u.displayName : u.description) << "\n";
    out << "X-DisplayName=" << u.displayName << "\n";
    if (!u.description.empty()) out << "X-Description=" << u.description << "\n";
    if (u.restarts > 0) {
        // The first start and its restarts within the reset period; one more is refused.
        out << "StartLimitIntervalSec=" << u.resetPeriodS << "\n";
        out << "StartLimitBurst=" << u.restarts + 1 << "\n";
    }
    out << "\n[Service]\nType=simple\n";
    out << "ExecStart=" << quoted(u.binaryPath) << "\n";
    if (!u.home.empty()) out << "Environment=\"TAMSEL_HOME=" << u.home << "\"\n";
    if (u.restarts > 0) {
        out << "Restart=on-failure\n";
        out << "RestartSec=" << seconds(u.restartDelayMs) << "\n";
    } else {
        out << "Restart=no\n";
    }
    out << "\n[Install]\nWantedBy=multi-user.target\n";
    out << "X-AutoStart=" << (u.autoStart ? "yes" : "no") << "\n";
    return out.str();
}

bool parse(const std::string& text, ServiceUnit* unit) {
    ServiceUnit u;
    std::istringstream in(text);
    std::string line;
    bool hasExec = false;
    while (std::getline(in, line)) {
        size_t at = line.find('=');
        if (at == std::string::npos) continue;
        std::string key = line.substr(0, at);
        std::string value = line.substr(at + 1);
        if (key == "X-DisplayName") u.displayName = value;
        if (key == "X-Description") u.description = value;
        if (key == "StartLimitIntervalSec")
            u.resetPeriodS = static_cast<DWORD>(strtoul(value.c_str(), nullptr, 10));
        if (key == "StartLimitBurst") u.restarts = atoi(value.c_str()) - 1;
        if (key == "RestartSec")
            u.restartDelayMs = static_cast<DWORD>(strtod(value.c_str(), nullptr) * 1000 + 0.5);
        if (key == "X-AutoStart") u.autoStart = value == "yes";
        if (key == "ExecStart") {
            u.binaryPath = unquoted(value);
            hasExec = true;
        }
        const std::string homeKey = "Environment=\"TAMSEL_HOME=";
        if (line.rfind(homeKey, 0) == 0 && line.size() > homeKey.size()) {
            u.home = line.substr(homeKey.size(), line.size() - homeKey.size() - 1);
        }
    }
    if (!hasExec) return false;
    if (u.restarts < 0) u.restarts = 0;
    *unit = u;
    return true;
}

bool load(const std::string& name, ServiceUnit* unit) {
    std::ifstream in(path(name));
    if (!in) return false;
    std::stringstream buffer;
    buffer << in.rdbuf();
    if (!parse(buffer.str(), unit)) return false;
    unit->name = name;
    return true;
}

bool save(const ServiceUnit& unit) {
    int error = base::writeFileAtomically(path(unit.name), text(unit));
    errno = error;
    return error == 0;
}

}  // namespace winsvc::unit
