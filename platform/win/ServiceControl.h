#pragma once
// Stand-in for the service control manager calls of the service host. A service is a systemd unit
// "<name>.service" in the unit folder (TAMSEL_UNIT_DIR, else the system's); where systemd does not
// manage that folder, starting a service launches its program detached in service mode. The
// status a service reports is kept in "run/<name>.status" below the program-data root, which is
// where a query reads it. Texts are UTF-8. Failures set the thread's last error.
#include <cstdint>

#include "platform/base/Win32Error.h"

namespace winsvc {

using namespace base::win32;
using BOOL = int;

struct ServiceHandleRecord;
using SC_HANDLE = ServiceHandleRecord*;
struct StatusHandleRecord;
using SERVICE_STATUS_HANDLE = StatusHandleRecord*;

constexpr DWORD SC_MANAGER_CONNECT = 0x1;
constexpr DWORD SC_MANAGER_ALL_ACCESS = 0xF003F;
constexpr DWORD SERVICE_QUERY_CONFIG = 0x1;
constexpr DWORD SERVICE_ALL_ACCESS = 0xF01FF;

constexpr DWORD SERVICE_WIN32_OWN_PROCESS = 0x10;
constexpr DWORD SERVICE_INTERACTIVE_PROCESS = 0x100;
constexpr DWORD SERVICE_AUTO_START = 2;
constexpr DWORD SERVICE_DEMAND_START = 3;
constexpr DWORD SERVICE_ERROR_NORMAL = 1;

constexpr DWORD SERVICE_STOPPED = 1;
constexpr DWORD SERVICE_START_PENDING = 2;
constexpr DWORD SERVICE_STOP_PENDING = 3;
constexpr DWORD SERVICE_RUNNING = 4;

constexpr DWORD SERVICE_CONTROL_STOP = 1;
constexpr DWORD SERVICE_CONTROL_INTERROGATE = 4;
constexpr DWORD SERVICE_CONTROL_SHUTDOWN = 5;
constexpr DWORD SERVICE_CONTROL_POWEREVENT = 0xD;

constexpr DWORD SERVICE_ACCEPT_STOP = 0x1;
constexpr DWORD SERVICE_ACCEPT_SHUTDOWN = 0x4;
constexpr DWORD SERVICE_ACCEPT_POWEREVENT = 0x40;

constexpr DWORD SERVICE_CONFIG_DESCRIPTION = 1;
constexpr DWORD SERVICE_CONFIG_FAILURE_ACTIONS = 2;

// Power broadcast types of a POWEREVENT control.
constexpr DWORD PBT_APMQUERYSUSPEND = 0;
constexpr DWORD PBT_APMQUERYSUSPENDFAILED = 2;
constexpr DWORD PBT_APMSUSPEND = 4;
constexpr DWORD PBT_APMRESUMECRITICAL = 6;
constexpr DWORD PBT_APMRESUMESUSPEND = 7;
constexpr DWORD PBT_APMBATTERYLOW = 9;
constexpr DWORD PBT_APMPOWERSTATUSCHANGE = 10;
constexpr DWORD PBT_APMOEMEVENT = 11;
constexpr DWORD PBT_APMRESUMEAUTOMATIC = 18;

struct SERVICE_STATUS {
    DWORD dwServiceType;
    DWORD dwCurrentState;
    DWORD dwControlsAccepted;
    DWORD dwWin32ExitCode;
    DWORD dwServiceSpecificExitCode;
    DWORD dwCheckPoint;
    DWORD dwWaitHint;
};

// What QueryServiceConfig fills; the texts lie in the caller's buffer behind the record.
struct QUERY_SERVICE_CONFIG {
    DWORD dwServiceType;
    DWORD dwStartType;
    DWORD dwErrorControl;
    const char* lpBinaryPathName;
    const char* lpLoadOrderGroup;
    DWORD dwTagId;
    const char* lpDependencies;
    const char* lpServiceStartName;
    const char* lpDisplayName;
};

struct SERVICE_DESCRIPTION {
    const char* lpDescription;
};

enum SC_ACTION_TYPE : DWORD { SC_ACTION_NONE = 0, SC_ACTION_RESTART = 1, SC_ACTION_REBOOT = 2 };

struct SC_ACTION {
    SC_ACTION_TYPE Type;
    DWORD Delay;  // milliseconds
};

struct SERVICE_FAILURE_ACTIONS {
    DWORD dwResetPeriod;  // seconds
    const char* lpRebootMsg;
    const char* lpCommand;
    DWORD cActions;
    const SC_ACTION* lpsaActions;
};

using LPSERVICE_MAIN_FUNCTION = void (*)(DWORD argc, char** argv);
using LPHANDLER_FUNCTION_EX = DWORD (*)(DWORD control, DWORD eventType, void* eventData, void* context);

struct SERVICE_TABLE_ENTRY {
    const char* lpServiceName;
    LPSERVICE_MAIN_FUNCTION lpServiceProc;
};

// The path of the running program (module must be null).
DWORD GetModuleFileName(void* module, char* path, DWORD size);

// Runs the first entry's service main on the calling thread (the service runs in the foreground)
// and returns when it returns.
BOOL StartServiceCtrlDispatcher(const SERVICE_TABLE_ENTRY* table);
// Stop and shutdown arrive as SIGTERM, taken on a thread of its own and handed to the handler as
// SERVICE_CONTROL_STOP. One registration per process.
SERVICE_STATUS_HANDLE RegisterServiceCtrlHandlerEx(const char* name, LPHANDLER_FUNCTION_EX handler,
                                                   void* context);
BOOL SetServiceStatus(SERVICE_STATUS_HANDLE handle, const SERVICE_STATUS* status);

// Power broadcasts come from the lab's run/lab command "power suspend|resume|<broadcast type>"
// (suspend is PBT_APMSUSPEND, resume PBT_APMRESUMEAUTOMATIC), on the lab thread, as a
// SERVICE_CONTROL_POWEREVENT control with the broadcast type as event type: to the service's
// control handler, or, in a program that is not a service, to the handler registered here (null
// unregisters it).
BOOL RegisterPowerBroadcastHandler(LPHANDLER_FUNCTION_EX handler, void* context);

// Connect access alone needs only to read the unit folder; every other access, to change it.
SC_HANDLE OpenSCManager(const char* machine, const char* database, DWORD access);
SC_HANDLE CreateService(SC_HANDLE manager, const char* name, const char* displayName, DWORD access,
                        DWORD serviceType, DWORD startType, DWORD errorControl, const char* binaryPath,
                        const char* loadOrderGroup, DWORD* tagId, const char* dependencies,
                        const char* account, const char* password);
SC_HANDLE OpenService(SC_HANDLE manager, const char* name, DWORD access);
BOOL ChangeServiceConfig2(SC_HANDLE service, DWORD infoLevel, const void* info);
BOOL StartService(SC_HANDLE service, DWORD argc, const char** argv);
BOOL QueryServiceStatus(SC_HANDLE service, SERVICE_STATUS* status);
// The unit's configuration. The program path comes in double quotes, as Windows keeps a path with
// blanks. A buffer smaller than the record and its texts fails with ERROR_INSUFFICIENT_BUFFER and
// the size needed in bytesNeeded.
BOOL QueryServiceConfig(SC_HANDLE service, QUERY_SERVICE_CONFIG* config, DWORD bufSize, DWORD* bytesNeeded);
BOOL ControlService(SC_HANDLE service, DWORD control, SERVICE_STATUS* status);
BOOL DeleteService(SC_HANDLE service);
BOOL CloseServiceHandle(SC_HANDLE handle);

}  // namespace winsvc
