#include "platform/netcfg/NetworkState.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <set>
#include <sstream>

#include "platform/base/AtomicWrite.h"
#include "platform/base/Files.h"
#include "platform/base/Root.h"
#include "platform/base/Win32Error.h"
#include "platform/netcfg/NetCfg.h"
#include "platform/registry/Registry.h"

namespace netcfg {

namespace {

std::mutex pathMutex;
std::string pathOverride;

struct ClassName {
    const char* name;
    const com::GUID* guid;
};
const ClassName CLASS_NAMES[] = {{"net", &GUID_DEVCLASS_NET},
                                 {"nettrans", &GUID_DEVCLASS_NETTRANS},
                                 {"netservice", &GUID_DEVCLASS_NETSERVICE},
                                 {"netclient", &GUID_DEVCLASS_NETCLIENT}};

std::string trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

std::vector<std::string> splitList(const std::string& s, char separator) {
    std::vector<std::string> items;
    std::stringstream in(s);
    std::string item;
    if (trim(s).empty()) return items;
    while (std::getline(in, item, separator)) items.push_back(trim(item));
    return items;
}

std::string joinList(const std::vector<std::string>& items, const char* separator) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) out += (i ? separator : "") + items[i];
    return out;
}

bool parseNumber(const std::string& s, unsigned long max, unsigned long& out) {
    if (s.empty() || s[0] == '-') return false;
    char* end = nullptr;
    errno = 0;
    out = std::strtoul(s.c_str(), &end, 0);
    return errno == 0 && *end == '\0' && out <= max;
}

bool parseYesNo(const std::string& s, bool& out) {
    if (s == "yes") return (out = true), true;
    if (s == "no") return (out = false), true;
    return false;
}

bool setComponentField(ComponentRecord& c, const std::string& key, const std::string& value) {
    unsigned long n = 0;
    if (key == "bind-name")
        c.bindName = value;
    else if (key == "id")
        c.id = value;
    else if (key == "display-name")
        c.displayName = value;
    else if (key == "class") {
        for (const auto& known : CLASS_NAMES)
            if (value == known.name) return (c.className = value), true;
        return false;
    } else if (key == "characteristics") {
        if (!parseNumber(value, 0xFFFFFFFFul, n)) return false;
        c.characteristics = static_cast<com::DWORD>(n);
    } else if (key == "device-status") {
        if (!parseNumber(value, 0xFFFFFFFFul, n)) return false;
        c.deviceStatus = static_cast<com::ULONG>(n);
    } else if (key == "param-key")
        c.paramKey = value;
    else if (key == "notify-object") {
        com::GUID clsid;
        if (!com::GUIDFromString(value, &clsid)) return false;
        c.notifyObject = value;
    } else if (key == "interface")
        c.interfaceName = value;
    else if (key == "hardware-ids")
        c.hardwareIds = splitList(value, ',');
    else if (key == "compatible-ids")
        c.compatibleIds = splitList(value, ',');
    else if (key == "present")
        return parseYesNo(value, c.present);
    else if (key == "restart-error") {
        if (!parseNumber(value, 0xFFFFFFFFul, n)) return false;
        c.restartError = static_cast<long>(n);
    } else if (key == "restarts") {
        if (!parseNumber(value, 0xFFFFFFFFul, n)) return false;
        c.restarts = static_cast<unsigned>(n);
    } else
        return false;
    return true;
}

bool setBindingField(BindingRecord& b, const std::string& key, const std::string& value) {
    if (key == "path") {
        std::istringstream in(value);
        b.path.clear();
        for (std::string name; in >> name;) b.path.push_back(name);
        return true;
    }
    if (key == "enabled") return parseYesNo(value, b.enabled);
    return false;
}

char* lowerHex(char* buf, std::size_t size, unsigned long n) {
    std::snprintf(buf, size, "0x%lx", n);
    return buf;
}

using base::win32::accessDeniedOr;

}  // namespace

com::GUID ComponentRecord::classGuid() const {
    for (const auto& known : CLASS_NAMES)
        if (className == known.name) return *known.guid;
    return GUID_DEVCLASS_NET;
}

std::string BindingRecord::token() const {
    return std::string("-").append(joinList(path, "-"));
}

int NetworkState::findByBindName(const std::string& bindName) const {
    for (std::size_t i = 0; i < components.size(); ++i)
        if (components[i].bindName == bindName) return static_cast<int>(i);
    return -1;
}

std::string NetworkState::serialize() const {
    std::ostringstream out;
    char buf[32];
    out << "# tamsel network configuration\n";
    for (const auto& c : components) {
        out << "\n[component]\n";
        if (c.bindName) out << "bind-name = " << *c.bindName << "\n";
        if (c.id) out << "id = " << *c.id << "\n";
        if (c.displayName) out << "display-name = " << *c.displayName << "\n";
        out << "class = " << c.className << "\n";
        out << "characteristics = " << lowerHex(buf, sizeof buf, c.characteristics) << "\n";
        if (c.deviceStatus) out << "device-status = " << lowerHex(buf, sizeof buf, *c.deviceStatus) << "\n";
        if (c.paramKey) out << "param-key = " << *c.paramKey << "\n";
        if (c.notifyObject) out << "notify-object = " << *c.notifyObject << "\n";
        if (!c.interfaceName.empty()) out << "interface = " << c.interfaceName << "\n";
        if (c.hardwareIds) out << "hardware-ids = " << joinList(*c.hardwareIds, ", ") << "\n";
        if (c.compatibleIds) out << "compatible-ids = " << joinList(*c.compatibleIds, ", ") << "\n";
        out << "present = " << (c.present ? "yes" : "no") << "\n";
        if (c.restartError) out << "restart-error = " << c.restartError << "\n";
        out << "restarts = " << c.restarts << "\n";
    }
    for (const auto& b : bindings) {
        out << "\n[binding]\npath = " << joinList(b.path, " ") << "\nenabled = " << (b.enabled ? "yes" : "no")
            << "\n";
    }
    return out.str();
}

bool NetworkState::parse(const std::string& text, NetworkState& out) {
    out = NetworkState();
    enum { NONE, COMPONENT, BINDING } section = NONE;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.empty() || line[0] == '#') continue;
        if (line == "[component]") {
            out.components.emplace_back();
            section = COMPONENT;
            continue;
        }
        if (line == "[binding]") {
            out.bindings.emplace_back();
            section = BINDING;
            continue;
        }
        std::size_t eq = line.find('=');
        if (section == NONE || eq == std::string::npos) return false;
        std::string key = trim(line.substr(0, eq)), value = trim(line.substr(eq + 1));
        bool ok = section == COMPONENT ? setComponentField(out.components.back(), key, value)
                                       : setBindingField(out.bindings.back(), key, value);
        if (!ok) return false;
    }
    std::set<std::string> bindNames;
    for (const auto& c : out.components)
        if (c.bindName && !bindNames.insert(*c.bindName).second) return false;
    for (const auto& b : out.bindings) {
        if (b.path.size() < 2) return false;
        for (const auto& name : b.path)
            if (!bindNames.count(name)) return false;
    }
    return true;
}

void NetworkStateFile::setPath(const std::string& path) {
    std::lock_guard<std::mutex> lock(pathMutex);
    pathOverride = path;
}

std::string NetworkStateFile::path() {
    {
        std::lock_guard<std::mutex> lock(pathMutex);
        if (!pathOverride.empty()) return pathOverride;
    }
    return base::programDataRoot() + "/netcfg";
}

long NetworkStateFile::read(NetworkState& state) {
    std::string text;
    if (int error = base::readFile(path(), text); error != 0) {
        if (error != ENOENT) return accessDeniedOr(error, base::win32::ERROR_CANTREAD);
        state = NetworkState();
        return base::win32::ERROR_SUCCESS;
    }
    return NetworkState::parse(text, state) ? base::win32::ERROR_SUCCESS : base::win32::ERROR_BADDB;
}

long NetworkStateFile::update(const Change& change) {
    const std::string file = path();
    std::error_code ec;
    std::filesystem::path parent = std::filesystem::path(file).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, ec);
    if (ec) return accessDeniedOr(ec.value(), base::win32::ERROR_CANTWRITE);

    base::FileLock lock(file + ".lock");
    if (lock.error()) return accessDeniedOr(lock.error(), base::win32::ERROR_CANTWRITE);
    NetworkState state;
    long status = read(state);
    bool changed = false;
    if (status == base::win32::ERROR_SUCCESS) status = change(state, changed);
    if (status == base::win32::ERROR_SUCCESS && changed) {
        if (int error = base::writeFileAtomically(file, state.serialize()); error != 0)
            status = accessDeniedOr(error, base::win32::ERROR_CANTWRITE);
    }
    return status;
}

}  // namespace netcfg
