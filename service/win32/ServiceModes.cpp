#include "service/win32/ServiceModes.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/win/ConsoleControl.h"
#include "service/ServiceConstants.h"
#include "service/ServiceQuit.h"
#include "service/win32/RunService.h"
#include "service/win32/ServiceStatus.h"
#include "vel/exception/WindowsException.h"

using namespace winsvc;

namespace {

// The exception names the place of the failed call.
#define FAIL(function) throw WindowsException(__FILE__, __LINE__, function, static_cast<int>(GetLastError()))

void pollPause() {
    std::this_thread::sleep_for(std::chrono::seconds(1));
    printf(".");
    fflush(stdout);
}

// Closes the manager's handles however the installer or remover ends.
struct ServiceHandles {
    SC_HANDLE manager = nullptr;
    SC_HANDLE service = nullptr;
    ~ServiceHandles() {
        if (service != nullptr) CloseServiceHandle(service);
        if (manager != nullptr) CloseServiceHandle(manager);
    }
};

void serviceMain(DWORD, char**) {
    try {
        registerServiceControlHandler();
        reportServiceStatus(SERVICE_START_PENDING);
    } catch (const WindowsException& e) {
        e.report();
        return;
    }
    setServiceMode(true);
    int result = runService();
    if (!stopRequestedByManager()) {
        // The engine ended by itself: leave without STOPPED. A failed run ends with its non-zero
        // result, which is what makes systemd apply the restarts of the failure actions.
        fflush(stdout);
        std::_Exit(result);
    }
    try {
        reportServiceStatus(SERVICE_STOP_PENDING);
        reportServiceStatus(SERVICE_STOPPED);
    } catch (const WindowsException& e) {
        e.report();
    }
}

// Ctrl+C and Ctrl+Break stop the service. So does the console being closed (SIGTERM here): left to
// the default, the process would end at once and the log lines still in the logging thread's ring
// would be lost.
BOOL consoleControlHandler(DWORD ctrlType) {
    if (ctrlType != CTRL_C_EVENT && ctrlType != CTRL_BREAK_EVENT && ctrlType != CTRL_CLOSE_EVENT) return 0;
    printf("Stopping %s...\n", ServiceConstants::DISPLAY_NAME);
    fflush(stdout);
    ServiceQuit::request();
    return 1;
}

}  // namespace

void printUsage() {
    printf("Usage: \n");
    printf("%s  -install   \n", ServiceConstants::USAGE_PROGRAM_NAME);
    printf("%s  -uninstall \n", ServiceConstants::USAGE_PROGRAM_NAME);
    printf("%s  -run       \n", ServiceConstants::USAGE_PROGRAM_NAME);
}

int runServiceMode(int argc, char** argv) {
    if (argc == 1) {
        std::string name = ServiceConstants::SERVICE_NAME;
        SERVICE_TABLE_ENTRY table[] = {{name.c_str(), serviceMain}, {nullptr, nullptr}};
        try {
            if (!StartServiceCtrlDispatcher(table)) FAIL("StartServiceCtrlDispatcher");
        } catch (const WindowsException& e) {
            e.report();
            return 1;
        }
        return 0;
    }
    if (argc == 2 && strcmp(argv[1], "-install") == 0) return installService();
    if (argc == 2 && strcmp(argv[1], "-uninstall") == 0) return uninstallService();
    if (argc == 2 && strcmp(argv[1], "-run") == 0) return runConsole();
    printUsage();
    return 0;
}

bool waitUntilRunning(SC_HANDLE service, int timeoutS) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutS);
    for (;;) {
        SERVICE_STATUS status;
        if (!QueryServiceStatus(service, &status)) FAIL("QueryServiceStatus");
        if (status.dwCurrentState == SERVICE_RUNNING) return true;
        if (status.dwCurrentState == SERVICE_STOPPED) return false;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        pollPause();
    }
}

int installService() {
    const char* name = ServiceConstants::DISPLAY_NAME;
    printf("Installing %s...\n", name);
    ServiceHandles handles;
    try {
        char path[ServiceConstants::MODULE_PATH_SIZE];
        if (GetModuleFileName(nullptr, path, sizeof path) == 0) FAIL("GetModuleFilename");
        handles.manager = OpenSCManager(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
        if (handles.manager == nullptr) FAIL("OpenSCManager");
        handles.service =
            CreateService(handles.manager, ServiceConstants::SERVICE_NAME, name, SERVICE_ALL_ACCESS,
                          SERVICE_WIN32_OWN_PROCESS | SERVICE_INTERACTIVE_PROCESS, SERVICE_AUTO_START,
                          SERVICE_ERROR_NORMAL, path, nullptr, nullptr, "", nullptr, nullptr);
        if (handles.service == nullptr) FAIL("CreateService");
        printf("%s has been installed.\n", name);

        SERVICE_DESCRIPTION description = {ServiceConstants::DESCRIPTION};
        if (!ChangeServiceConfig2(handles.service, SERVICE_CONFIG_DESCRIPTION, &description)) {
            WindowsException(__FILE__, __LINE__, "ChangeServiceConfig2", static_cast<int>(GetLastError()))
                .report();
        }
        const DWORD delay = ServiceConstants::FAILURE_RESTART_DELAY_MS;
        SC_ACTION actions[] = {
            {SC_ACTION_RESTART, delay}, {SC_ACTION_RESTART, delay}, {SC_ACTION_NONE, delay}};
        SERVICE_FAILURE_ACTIONS failure = {ServiceConstants::FAILURE_RESET_PERIOD_S, nullptr, nullptr, 3,
                                           actions};
        if (!ChangeServiceConfig2(handles.service, SERVICE_CONFIG_FAILURE_ACTIONS, &failure)) {
            WindowsException(__FILE__, __LINE__, "ChangeServiceConfig2", static_cast<int>(GetLastError()))
                .report();
        }

        printf("Starting %s...", name);
        fflush(stdout);
        if (!StartService(handles.service, 0, nullptr)) FAIL("StartService");
        if (!waitUntilRunning(handles.service, ServiceConstants::INSTALL_START_TIMEOUT_S)) {
            printf("\n%s failed to start.\n", name);
            return 1;
        }
        printf("\n%s has been started.\n", name);
    } catch (const WindowsException& e) {
        e.report();
        return 1;
    }
    return 0;
}

int uninstallService() {
    const char* name = ServiceConstants::DISPLAY_NAME;
    printf("Removing %s...\n", name);
    ServiceHandles handles;
    try {
        handles.manager = OpenSCManager(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
        if (handles.manager == nullptr) FAIL("OpenSCManager");
        handles.service = OpenService(handles.manager, ServiceConstants::SERVICE_NAME, SERVICE_ALL_ACCESS);
        if (handles.service == nullptr) FAIL("OpenService");
        SERVICE_STATUS status;
        if (ControlService(handles.service, SERVICE_CONTROL_STOP, &status)) {
            printf("Stopping %s...", name);
            fflush(stdout);
            for (;;) {
                if (!QueryServiceStatus(handles.service, &status)) FAIL("QueryServiceStatus");
                if (status.dwCurrentState == SERVICE_STOPPED) break;
                pollPause();
            }
        } else if (GetLastError() != ERROR_SERVICE_NOT_ACTIVE) {
            FAIL("ControlService");
        }
        if (!DeleteService(handles.service)) FAIL("DeleteService");
        printf("%s has been removed.\n", name);
    } catch (const WindowsException& e) {
        e.report();
        return 1;
    }
    return 0;
}

int runConsole() {
    const char* name = ServiceConstants::DISPLAY_NAME;
    try {
        if (!SetConsoleCtrlHandler(consoleControlHandler, 1)) FAIL("SetConsoleCtrlHandler");
    } catch (const WindowsException& e) {
        e.report();
        return 1;
    }
    // A console run has no service control manager; the lab's power broadcasts reach the same
    // handler a service has.
    RegisterPowerBroadcastHandler(serviceControlHandler, nullptr);
    printf("Running %s...\n", name);
    printf("Use Ctrl+C or Ctrl+Break to stop %s.\n", name);
    fflush(stdout);
    setServiceMode(false);
    int result = runService();
    printf("%s is stopped.\n", name);
    fflush(stdout);
    return result;
}
