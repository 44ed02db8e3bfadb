#include "platform/win/ServiceControl.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/base/Folders.h"
#include "platform/win/ControlSignals.h"
#include "platform/win/ServiceStatusFile.h"
#include "platform/win/ServiceUnit.h"

extern char** environ;

namespace winsvc {

// PowerBroadcast.cpp: makes the lab's "power" command reach the registered handler.
void addPowerCommand();

struct ServiceHandleRecord {
    bool manager;
    std::string name;
};

struct StatusHandleRecord {
    std::string name;
};

namespace {

DWORD errnoError(int error) {
    return error == EACCES || error == EPERM ? ERROR_ACCESS_DENIED
                                             : ERROR_ERRNO_FLAG | static_cast<DWORD>(error);
}

template <typename T>
T fail(DWORD error, T result) {
    SetLastError(error);
    return result;
}

bool isService(SC_HANDLE handle) {
    return handle != nullptr && !handle->manager;
}

bool systemctl(std::vector<std::string> args) {
    args.insert(args.begin(), "systemctl");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, "systemctl", nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The status a query reports: a service whose process has gone without saying so has stopped.
SERVICE_STATUS currentStatus(const std::string& name, long* pid) {
    SERVICE_STATUS status = {};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = SERVICE_STOPPED;
    *pid = 0;
    if (!statusfile::read(name, &status, pid)) return status;
    if (status.dwCurrentState != SERVICE_STOPPED && !statusfile::processAlive(*pid)) {
        status.dwCurrentState = SERVICE_STOPPED;
        status.dwControlsAccepted = 0;
        status.dwWin32ExitCode = ERROR_PROCESS_ABORTED;
    }
    return status;
}

bool active(const SERVICE_STATUS& status) {
    return status.dwCurrentState != SERVICE_STOPPED;
}

// Starts the program detached from the caller (own session, standard streams on /dev/null, child
// of init), records it as START_PENDING and only then lets it run, so that its own first report
// cannot be overwritten.
bool launch(const unit::ServiceUnit& u) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        if (strncmp(*e, "TAMSEL_HOME=", 12) != 0) env.emplace_back(*e);
    }
    if (!u.home.empty()) env.push_back("TAMSEL_HOME=" + u.home);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string program = u.binaryPath;
    char* argv[] = {program.data(), nullptr};

    int pidPipe[2];
    int goPipe[2];
    if (pipe2(pidPipe, O_CLOEXEC) != 0) return fail(errnoError(errno), false);
    if (pipe2(goPipe, O_CLOEXEC) != 0) {
        int error = errno;
        close(pidPipe[0]);
        close(pidPipe[1]);
        return fail(errnoError(error), false);
    }
    pid_t child = fork();
    if (child < 0) {
        int error = errno;
        close(pidPipe[0]);
        close(pidPipe[1]);
        close(goPipe[0]);
        close(goPipe[1]);
        return fail(errnoError(error), false);
    }
    if (child == 0) {
        setsid();
        pid_t service = fork();
        if (service == 0) {
            char go;
            close(goPipe[1]);
            while (::read(goPipe[0], &go, 1) < 0 && errno == EINTR) {
            }
            // A caller that takes its control signals on a thread of its own has them blocked;
            // the service must not start with its stop blocked.
            sigset_t none;
            sigemptyset(&none);
            sigprocmask(SIG_SETMASK, &none, nullptr);
            int null = open("/dev/null", O_RDWR);
            if (null >= 0) {
                dup2(null, 0);
                dup2(null, 1);
                dup2(null, 2);
            }
            execve(program.c_str(), argv, envp.data());
            _exit(127);
        }
        long pid = service;
        ssize_t ignored = ::write(pidPipe[1], &pid, sizeof pid);
        (void)ignored;
        _exit(0);
    }
    close(pidPipe[1]);
    close(goPipe[0]);
    long pid = -1;
    ssize_t got;
    do {
        got = ::read(pidPipe[0], &pid, sizeof pid);
    } while (got < 0 && errno == EINTR);
    close(pidPipe[0]);
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    if (got != static_cast<ssize_t>(sizeof pid) || pid <= 0) {
        close(goPipe[1]);
        return fail(ERROR_ERRNO_FLAG | ECHILD, false);
    }
    SERVICE_STATUS pending = {SERVICE_WIN32_OWN_PROCESS, SERVICE_START_PENDING, 0, 0, 0, 0, 0};
    bool recorded = statusfile::write(u.name, pending, pid);
    if (!recorded) kill(static_cast<pid_t>(pid), SIGKILL);
    close(goPipe[1]);
    return recorded ? true : fail(errnoError(errno), false);
}

}  // namespace

DWORD GetModuleFileName(void* module, char* path, DWORD size) {
    if (module != nullptr || path == nullptr || size == 0) return fail(ERROR_INVALID_PARAMETER, DWORD{0});
    std::string exe = base::executablePath();
    if (exe.empty()) return fail(errnoError(errno), DWORD{0});
    if (exe.size() >= size) {
        memcpy(path, exe.data(), size - 1);
        path[size - 1] = '\0';
        return fail(ERROR_INSUFFICIENT_BUFFER, size);
    }
    memcpy(path, exe.c_str(), exe.size() + 1);
    return static_cast<DWORD>(exe.size());
}

BOOL StartServiceCtrlDispatcher(const SERVICE_TABLE_ENTRY* table) {
    if (table == nullptr || table[0].lpServiceName == nullptr || table[0].lpServiceProc == nullptr) {
        return fail(ERROR_INVALID_PARAMETER, 0);
    }
    std::string name = table[0].lpServiceName;
    char* argv[] = {name.data(), nullptr};
    table[0].lpServiceProc(1, argv);
    return 1;
}

SERVICE_STATUS_HANDLE RegisterServiceCtrlHandlerEx(const char* name, LPHANDLER_FUNCTION_EX handler,
                                                   void* context) {
    if (name == nullptr || handler == nullptr) return fail(ERROR_INVALID_PARAMETER, SERVICE_STATUS_HANDLE{});
    if (!signals::start()) return fail(ERROR_ERRNO_FLAG | EAGAIN, SERVICE_STATUS_HANDLE{});
    if (!signals::setServiceHandler(handler, context))
        return fail(ERROR_ALREADY_REGISTERED, SERVICE_STATUS_HANDLE{});
    addPowerCommand();
    return new StatusHandleRecord{name};
}

BOOL SetServiceStatus(SERVICE_STATUS_HANDLE handle, const SERVICE_STATUS* status) {
    if (handle == nullptr || status == nullptr) return fail(ERROR_INVALID_HANDLE, 0);
    if (!statusfile::write(handle->name, *status, static_cast<long>(getpid())))
        return fail(errnoError(errno), 0);
    return 1;
}

SC_HANDLE OpenSCManager(const char*, const char*, DWORD access) {
    std::string folder = unit::folder();
    int needed = access == SC_MANAGER_CONNECT ? R_OK | X_OK : W_OK | X_OK;
    if (::access(folder.c_str(), needed) != 0) return fail(errnoError(errno), SC_HANDLE{});
    return new ServiceHandleRecord{true, std::string()};
}

SC_HANDLE CreateService(SC_HANDLE manager, const char* name, const char* displayName, DWORD, DWORD,
                        DWORD startType, DWORD, const char* binaryPath, const char*, DWORD*, const char*,
                        const char*, const char*) {
    if (manager == nullptr || !manager->manager) return fail(ERROR_INVALID_HANDLE, SC_HANDLE{});
    if (name == nullptr || name[0] == '\0' || binaryPath == nullptr || strchr(name, '/') != nullptr) {
        return fail(ERROR_INVALID_PARAMETER, SC_HANDLE{});
    }
    if (access(unit::path(name).c_str(), F_OK) == 0) return fail(ERROR_SERVICE_EXISTS, SC_HANDLE{});
    unit::ServiceUnit u;
    u.name = name;
    u.displayName = displayName != nullptr ? displayName : name;
    u.binaryPath = binaryPath;
    const char* home = getenv("TAMSEL_HOME");
    if (home != nullptr) u.home = home;
    u.autoStart = startType == SERVICE_AUTO_START;
    if (!unit::save(u)) return fail(errnoError(errno), SC_HANDLE{});
    if (unit::systemdManages()) {
        systemctl({"daemon-reload"});
        if (u.autoStart) systemctl({"enable", u.name + ".service"});
    }
    return new ServiceHandleRecord{false, name};
}

SC_HANDLE OpenService(SC_HANDLE manager, const char* name, DWORD) {
    if (manager == nullptr || !manager->manager) return fail(ERROR_INVALID_HANDLE, SC_HANDLE{});
    if (name == nullptr || access(unit::path(name).c_str(), F_OK) != 0) {
        return fail(ERROR_SERVICE_DOES_NOT_EXIST, SC_HANDLE{});
    }
    return new ServiceHandleRecord{false, name};
}

BOOL ChangeServiceConfig2(SC_HANDLE service, DWORD infoLevel, const void* info) {
    if (!isService(service)) return fail(ERROR_INVALID_HANDLE, 0);
    if (info == nullptr) return fail(ERROR_INVALID_PARAMETER, 0);
    unit::ServiceUnit u;
    if (!unit::load(service->name, &u)) return fail(ERROR_SERVICE_DOES_NOT_EXIST, 0);
    if (infoLevel == SERVICE_CONFIG_DESCRIPTION) {
        const char* text = static_cast<const SERVICE_DESCRIPTION*>(info)->lpDescription;
        u.description = text != nullptr ? text : "";
    } else if (infoLevel == SERVICE_CONFIG_FAILURE_ACTIONS) {
        const auto* actions = static_cast<const SERVICE_FAILURE_ACTIONS*>(info);
        // systemd restarts with one delay and gives up after a count: the leading restart actions.
        u.restarts = 0;
        u.restartDelayMs = 0;
        for (DWORD i = 0; i < actions->cActions && actions->lpsaActions[i].Type == SC_ACTION_RESTART; ++i) {
            if (i == 0) u.restartDelayMs = actions->lpsaActions[i].Delay;
            ++u.restarts;
        }
        u.resetPeriodS = actions->dwResetPeriod;
    } else {
        return fail(ERROR_INVALID_PARAMETER, 0);
    }
    if (!unit::save(u)) return fail(errnoError(errno), 0);
    if (unit::systemdManages()) systemctl({"daemon-reload"});
    return 1;
}

BOOL StartService(SC_HANDLE service, DWORD, const char**) {
    if (!isService(service)) return fail(ERROR_INVALID_HANDLE, 0);
    unit::ServiceUnit u;
    if (!unit::load(service->name, &u)) return fail(ERROR_SERVICE_DOES_NOT_EXIST, 0);
    long pid = 0;
    if (active(currentStatus(u.name, &pid))) return fail(ERROR_SERVICE_ALREADY_RUNNING, 0);
    if (unit::systemdManages()) {
        return systemctl({"start", "--no-block", u.name + ".service"}) ? 1 : fail(ERROR_ERRNO_FLAG | EIO, 0);
    }
    return launch(u) ? 1 : 0;
}

BOOL QueryServiceStatus(SC_HANDLE service, SERVICE_STATUS* status) {
    if (!isService(service)) return fail(ERROR_INVALID_HANDLE, 0);
    if (status == nullptr) return fail(ERROR_INVALID_PARAMETER, 0);
    long pid = 0;
    *status = currentStatus(service->name, &pid);
    return 1;
}

BOOL QueryServiceConfig(SC_HANDLE service, QUERY_SERVICE_CONFIG* config, DWORD bufSize, DWORD* bytesNeeded) {
    if (!isService(service) || bytesNeeded == nullptr) return fail(ERROR_INVALID_HANDLE, 0);
    unit::ServiceUnit u;
    if (!unit::load(service->name, &u)) return fail(ERROR_SERVICE_DOES_NOT_EXIST, 0);
    // The texts in their order behind the record: path, group, dependencies (ended by two NULs),
    // account, display name.
    const std::string texts[] = {"\"" + u.binaryPath + "\"", "", std::string(1, '\0'), "LocalSystem",
                                 u.displayName};
    DWORD size = sizeof(QUERY_SERVICE_CONFIG);
    for (const std::string& text : texts) size += static_cast<DWORD>(text.size() + 1);
    *bytesNeeded = size;
    if (config == nullptr || bufSize < size) return fail(ERROR_INSUFFICIENT_BUFFER, 0);
    char* at = reinterpret_cast<char*>(config + 1);
    const char* placed[5];
    for (int i = 0; i < 5; ++i) {
        placed[i] = at;
        std::memcpy(at, texts[i].c_str(), texts[i].size() + 1);
        at += texts[i].size() + 1;
    }
    *config = QUERY_SERVICE_CONFIG{SERVICE_WIN32_OWN_PROCESS | SERVICE_INTERACTIVE_PROCESS,
                                   u.autoStart ? SERVICE_AUTO_START : SERVICE_DEMAND_START,
                                   SERVICE_ERROR_NORMAL,
                                   placed[0],
                                   placed[1],
                                   0,
                                   placed[2],
                                   placed[3],
                                   placed[4]};
    return 1;
}

BOOL ControlService(SC_HANDLE service, DWORD control, SERVICE_STATUS* status) {
    if (!isService(service)) return fail(ERROR_INVALID_HANDLE, 0);
    if (status == nullptr) return fail(ERROR_INVALID_PARAMETER, 0);
    long pid = 0;
    *status = currentStatus(service->name, &pid);
    if (control == SERVICE_CONTROL_INTERROGATE) return 1;
    if (control != SERVICE_CONTROL_STOP) return fail(ERROR_INVALID_PARAMETER, 0);
    if (!active(*status)) return fail(ERROR_SERVICE_NOT_ACTIVE, 0);
    if (unit::systemdManages()) {
        return systemctl({"stop", "--no-block", service->name + ".service"})
                   ? 1
                   : fail(ERROR_ERRNO_FLAG | EIO, 0);
    }
    if (kill(static_cast<pid_t>(pid), SIGTERM) != 0) return fail(errnoError(errno), 0);
    return 1;
}

BOOL DeleteService(SC_HANDLE service) {
    if (!isService(service)) return fail(ERROR_INVALID_HANDLE, 0);
    std::string file = unit::path(service->name);
    if (access(file.c_str(), F_OK) != 0) return fail(ERROR_SERVICE_DOES_NOT_EXIST, 0);
    bool systemd = unit::systemdManages();
    if (systemd) systemctl({"disable", service->name + ".service"});
    if (unlink(file.c_str()) != 0) return fail(errnoError(errno), 0);
    if (systemd) systemctl({"daemon-reload"});
    long pid = 0;
    if (!active(currentStatus(service->name, &pid))) statusfile::remove(service->name);
    return 1;
}

BOOL CloseServiceHandle(SC_HANDLE handle) {
    if (handle == nullptr) return fail(ERROR_INVALID_HANDLE, 0);
    delete handle;
    return 1;
}

}  // namespace winsvc
