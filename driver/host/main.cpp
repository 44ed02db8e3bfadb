// nvofilt: runs the filter driver in user mode over the lab's simulated adapters and serves its
// control device as the socket "run/Pellodur" below the program-data root.
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "driver/Filt.h"
#include "driver/client/FiltDeviceClient.h"
#include "driver/client/PellodurProtocol.h"
#include "driver/host/LabAdapters.h"
#include "driver/host/PellodurServer.h"
#include "platform/base/Root.h"
#include "platform/lab/LabReader.h"
#include "platform/ndis/NdisEnvironment.h"
#include "platform/win/ConsoleControl.h"

namespace {

std::mutex g_stopMutex;
std::condition_variable g_stopped;
bool g_stop = false;
bool g_reload = false;

// Ctrl+C, Ctrl+Break and a termination request all end the host.
winsvc::BOOL onControl(winsvc::DWORD) {
    std::lock_guard<std::mutex> lock(g_stopMutex);
    g_stop = true;
    g_stopped.notify_all();
    return 1;
}

// The driver unloaded its protocol (a rebind): the system would load it again.
void onProtocolGone() {
    std::lock_guard<std::mutex> lock(g_stopMutex);
    g_reload = true;
    g_stopped.notify_all();
}

// True for a reload, false for a stop.
bool waitForStopOrReload() {
    std::unique_lock<std::mutex> lock(g_stopMutex);
    g_stopped.wait(lock, [] { return g_stop || g_reload; });
    if (g_stop) return false;
    g_reload = false;
    return true;
}

// Unloads what is left of the driver and loads it again over the same adapters.
NTSTATUS reloadDriver() {
    FiltUnload(nullptr);
    NTSTATUS status = DriverEntry(nullptr, nullptr);
    if (status == STATUS_SUCCESS) ndissim::NdisEnvironment::instance().bindAll();
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    std::string root = base::programDataRoot();
    std::string lab = lab::labFilePath();
    std::string socketPath = root + "/" + PellodurConstants::SOCKET_NAME;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--lab" && i + 1 < argc) {
            lab = argv[++i];
        } else if (arg == "--socket" && i + 1 < argc) {
            socketPath = argv[++i];
        } else {
            std::fprintf(stderr, "usage: nvofilt [--lab FILE] [--socket PATH]\n");
            return 2;
        }
    }

    // Taken before anything else starts, so that no thread ends the host without its clean-up.
    if (!winsvc::SetConsoleCtrlHandler(onControl, 1)) {
        std::fprintf(stderr, "nvofilt: cannot take the control signals\n");
        return 1;
    }

    std::vector<LabAdapter> adapters;
    std::string error;
    if (!ReadLabAdapters(lab, &adapters, &error)) {
        std::fprintf(stderr, "nvofilt: %s\n", error.c_str());
        return 1;
    }
    InstallLabAdapters(adapters);
    NTSTATUS status = DriverEntry(nullptr, nullptr);
    if (status != STATUS_SUCCESS) {
        std::fprintf(stderr, "nvofilt: driver entry failed with 0x%08X\n", status);
        return 1;
    }
    ndissim::NdisEnvironment::instance().bindAll();
    ndissim::NdisEnvironment::instance().setProtocolGoneHandler(onProtocolGone);

    PellodurServer server(socketPath);
    if (!server.start(&error)) {
        std::fprintf(stderr, "nvofilt: %s\n", error.c_str());
        FiltUnload(nullptr);
        return 1;
    }
    std::printf("nvofilt: serving %s with %zu adapter(s)\n", socketPath.c_str(),
                ndissim::NdisEnvironment::instance().initializedMiniportCount());
    std::fflush(stdout);

    int result = 0;
    while (waitForStopOrReload()) {
        // Not on the thread of the request that unloaded it: that request is still finishing.
        NTSTATUS reloaded = reloadDriver();
        if (reloaded != STATUS_SUCCESS) {
            std::printf(
                "nvofilt: the driver could not be loaded again after a rebind (0x%08X); no longer serving\n",
                reloaded);
            result = 1;
            break;
        }
        std::printf("nvofilt: driver loaded again after a rebind, with %zu adapter(s)\n",
                    ndissim::NdisEnvironment::instance().initializedMiniportCount());
        std::fflush(stdout);
    }
    server.stop();
    ndissim::NdisEnvironment::instance().setProtocolGoneHandler({});
    FiltUnload(nullptr);
    std::printf("nvofilt: stopped\n");
    return result;
}
