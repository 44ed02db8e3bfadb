#include "platform/win/ServiceStatusFile.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/base/AtomicWrite.h"
#include "platform/base/Root.h"

namespace winsvc::statusfile {

namespace {

// When the process started, in clock ticks after boot; empty when there is no such process. With
// its number it names one process: a number alone may belong to another one by now (the file
// outlives a reboot).
std::string startTime(long pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    if (pid <= 0 || !std::getline(stat, text)) return std::string();
    // The fields follow the parenthesised command name, which may itself hold ')'.
    size_t close = text.rfind(')');
    if (close == std::string::npos) return std::string();
    std::istringstream fields(text.substr(close + 1));
    std::string field;
    // State is the first field after the name, the start time the twentieth.
    for (int i = 0; i < 20; ++i) {
        if (!(fields >> field)) return std::string();
    }
    return field;
}

}  // namespace

std::string path(const std::string& serviceName) {
    return base::rootFolder(base::RootFolders::RUN) + "/" + serviceName + ".status";
}

bool write(const std::string& serviceName, const SERVICE_STATUS& s, long pid) {
    std::ostringstream out;
    out << "type=" << s.dwServiceType << "\nstate=" << s.dwCurrentState
        << "\ncontrols=" << s.dwControlsAccepted << "\nexit=" << s.dwWin32ExitCode
        << "\nspecific=" << s.dwServiceSpecificExitCode << "\ncheckpoint=" << s.dwCheckPoint
        << "\nwaithint=" << s.dwWaitHint << "\npid=" << pid << "\n";
    // Without /proc a live writer cannot be told from a reused number: none is recorded.
    std::string started = startTime(pid);
    if (!started.empty()) out << "start=" << started << "\n";
    return base::writeFileAtomically(path(serviceName), out.str()) == 0;
}

bool read(const std::string& serviceName, SERVICE_STATUS* status, long* pid) {
    std::ifstream in(path(serviceName));
    if (!in) return false;
    SERVICE_STATUS s = {};
    long p = 0;
    std::string started;
    bool hasStart = false;
    bool hasState = false;
    std::string line;
    while (std::getline(in, line)) {
        size_t at = line.find('=');
        if (at == std::string::npos) continue;
        std::string key = line.substr(0, at);
        unsigned long value = strtoul(line.c_str() + at + 1, nullptr, 10);
        if (key == "type") s.dwServiceType = value;
        if (key == "state") {
            s.dwCurrentState = value;
            hasState = true;
        }
        if (key == "controls") s.dwControlsAccepted = value;
        if (key == "exit") s.dwWin32ExitCode = value;
        if (key == "specific") s.dwServiceSpecificExitCode = value;
        if (key == "checkpoint") s.dwCheckPoint = value;
        if (key == "waithint") s.dwWaitHint = value;
        if (key == "pid") p = static_cast<long>(value);
        if (key == "start") {
            started = line.substr(at + 1);
            hasStart = true;
        }
    }
    if (!hasState) return false;
    // The writer has gone; whoever has its number now is not the service.
    if (hasStart && startTime(p) != started) p = 0;
    *status = s;
    *pid = p;
    return true;
}

void remove(const std::string& serviceName) {
    ::remove(path(serviceName).c_str());
}

bool processAlive(long pid) {
    if (pid <= 0) return false;
    if (kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM) return false;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    if (!std::getline(stat, text)) return true;
    // The state follows the parenthesised command name, which may itself hold ')'.
    size_t close = text.rfind(')');
    return close == std::string::npos || close + 2 >= text.size() || text[close + 2] != 'Z';
}

}  // namespace winsvc::statusfile
