#include "service/win32/ServiceStatus.h"

#include <atomic>
#include <mutex>

#include "runtime/lum/Log.h"
#include "service/ServiceConstants.h"
#include "service/ServiceQuit.h"
#include "vel/exception/WindowsException.h"
#include "vel/matchmaker/Matchmaker.h"
#include "vel/multithread/EventQueue.h"
#include "vel/powerevent/PowerEvents.h"
#include "vel/powerevent/ServicePower.h"

using namespace winsvc;

namespace {

std::mutex StatusMutex;
SERVICE_STATUS Status = {SERVICE_WIN32_OWN_PROCESS, SERVICE_STOPPED, 0, NO_ERROR, 0, 0, 0};
SERVICE_STATUS_HANDLE StatusHandle = nullptr;
std::atomic<bool> ServiceMode{false};
std::atomic<bool> StopRequested{false};
std::atomic<bool> RunningReported{false};

// Under StatusMutex.
void tellManager() {
    if (!SetServiceStatus(StatusHandle, &Status)) {
        throw WindowsException(__FILE__, __LINE__, "SetServiceStatus", static_cast<int>(GetLastError()));
    }
}

}  // namespace

void registerServiceControlHandler() {
    std::lock_guard<std::mutex> lock(StatusMutex);
    Status = {SERVICE_WIN32_OWN_PROCESS, SERVICE_STOPPED, 0, NO_ERROR, 0, 0, 0};
    StatusHandle =
        RegisterServiceCtrlHandlerEx(ServiceConstants::SERVICE_NAME, serviceControlHandler, nullptr);
    if (StatusHandle == nullptr) {
        throw WindowsException(__FILE__, __LINE__, "RegisterServiceCtrlHandler",
                               static_cast<int>(GetLastError()));
    }
}

void reportServiceStatus(DWORD state) {
    std::lock_guard<std::mutex> lock(StatusMutex);
    Status.dwCurrentState = state;
    if (state == SERVICE_START_PENDING) Status.dwControlsAccepted = 0;
    // Once stopping, stop and shutdown mean nothing any more; power events are still taken.
    if (state == SERVICE_STOP_PENDING || state == SERVICE_STOPPED) {
        Status.dwControlsAccepted &= ~(SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN);
    }
    Status.dwCheckPoint = 0;
    tellManager();
}

SERVICE_STATUS currentServiceStatus() {
    std::lock_guard<std::mutex> lock(StatusMutex);
    return Status;
}

void setServiceMode(bool serviceMode) {
    ServiceMode = serviceMode;
}

bool serviceMode() {
    return ServiceMode;
}

bool stopRequestedByManager() {
    return StopRequested;
}

void reportServiceRunning() {
    if (!ServiceMode || RunningReported) return;
    {
        std::lock_guard<std::mutex> lock(StatusMutex);
        // A stop that came first has the last word: RUNNING after STOP_PENDING would tell the
        // manager the service came back.
        if (StopRequested) return;
        Status.dwControlsAccepted |= ServiceConstants::CONTROLS_WHEN_RUNNING;
        Status.dwCurrentState = SERVICE_RUNNING;
        Status.dwCheckPoint = 0;
        tellManager();
    }
    // The adapters stop holding the system's wait for an address.
    if (MatchmakerImpl::Singleton.load() != nullptr) Matchmaker().releaseAdapters();
    logInfo(0, "Set service status to running");
    RunningReported = true;
}

DWORD serviceControlHandler(DWORD control, DWORD eventType, void*, void*) {
    try {
        switch (control) {
            case SERVICE_CONTROL_STOP:
            case SERVICE_CONTROL_SHUTDOWN:
                StopRequested = true;
                reportServiceStatus(SERVICE_STOP_PENDING);
                ServiceQuit::request();
                break;
            case SERVICE_CONTROL_POWEREVENT: {
                ServicePowerEvent event = powerEventOfBroadcast(eventType);
                logInfo(0, "PowerEvent recvd: %s, type=%d, %s", powerBroadcastText(eventType),
                        static_cast<int>(eventType), powerEventText(event));
                // Before the engine runs and once it has stopped there is no one to tell.
                if (event == VEL_POWER_EVENT_RESUME && EventQueueImpl::Singleton.load() != nullptr)
                    EventQueue::Instance().post(makePowerEvent(event));
                break;
            }
            default: {
                std::lock_guard<std::mutex> lock(StatusMutex);
                tellManager();
                break;
            }
        }
    } catch (const BaseException& e) {
        // The manager's thread has no one to hand the error to.
        e.report();
        if (control == SERVICE_CONTROL_STOP || control == SERVICE_CONTROL_SHUTDOWN) ServiceQuit::request();
    }
    return NO_ERROR;
}

void resetServiceStatus() {
    std::lock_guard<std::mutex> lock(StatusMutex);
    Status = {SERVICE_WIN32_OWN_PROCESS, SERVICE_STOPPED, 0, NO_ERROR, 0, 0, 0};
    ServiceMode = false;
    StopRequested = false;
    RunningReported = false;
}
