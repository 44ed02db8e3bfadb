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
#include "win/ConsoleControl.h"

namespace {

std::mutex g_stopMutex;
std::condition_variable g_stopped;
bool g_stop = false;

// Ctrl+C, Ctrl+Break and a termination request all end the host.
winsvc::BOOL onControl(winsvc::DWORD) {
    std::lock_guard<std::mutex> lock(g_stopMutex);
    g_stop = true;
    g_stopped.notify_all();
    return 1;
}

void waitForStop() {
    std::unique_lock<std::mutex> lock(g_stopMutex);
    g_stopped.wait(lock, [] { return g_stop; });
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

    PellodurServer server(socketPath);
    if (!server.start(&error)) {
        std::fprintf(stderr, "nvofilt: %s\n", error.c_str());
        FiltUnload(nullptr);
        return 1;
    }
    std::printf("nvofilt: serving %s with %zu adapter(s)\n", socketPath.c_str(),
                ndissim::NdisEnvironment::instance().initializedMiniportCount());
    std::fflush(stdout);

    waitForStop();
    server.stop();
    FiltUnload(nullptr);
    std::printf("nvofilt: stopped\n");
    return 0;
}
