#include "platform/win/ControlSignals.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace winsvc::signals {

namespace {

std::mutex Mutex;
std::vector<PHANDLER_ROUTINE> ConsoleHandlers;
LPHANDLER_FUNCTION_EX ServiceHandler = nullptr;
void* ServiceContext = nullptr;
bool Started = false;

sigset_t controlSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGQUIT);
    sigaddset(&set, SIGTERM);
    return set;
}

// Nobody took the event: the process ends as the signal ends it when nobody handles it.
[[noreturn]] void endAsSignalWould(int signal) {
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigaction(signal, &action, nullptr);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    raise(signal);
    _exit(128 + signal);
}

void toConsoleHandlers(DWORD event, int signal) {
    std::vector<PHANDLER_ROUTINE> handlers;
    {
        std::lock_guard<std::mutex> lock(Mutex);
        handlers = ConsoleHandlers;
    }
    for (auto it = handlers.rbegin(); it != handlers.rend(); ++it) {
        if ((*it)(event)) return;
    }
    endAsSignalWould(signal);
}

void dispatch(int signal) {
    if (signal == SIGTERM) {
        LPHANDLER_FUNCTION_EX handler;
        void* context;
        {
            std::lock_guard<std::mutex> lock(Mutex);
            handler = ServiceHandler;
            context = ServiceContext;
        }
        if (handler != nullptr) {
            handler(SERVICE_CONTROL_STOP, 0, nullptr, context);
            return;
        }
        toConsoleHandlers(CTRL_CLOSE_EVENT, signal);
        return;
    }
    toConsoleHandlers(signal == SIGINT ? CTRL_C_EVENT : CTRL_BREAK_EVENT, signal);
}

void run() {
    sigset_t set = controlSignals();
    for (;;) {
        int signal = 0;
        if (sigwait(&set, &signal) != 0) continue;
        dispatch(signal);
    }
}

}  // namespace

bool start() {
    std::lock_guard<std::mutex> lock(Mutex);
    sigset_t set = controlSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    if (Started) return true;
    try {
        std::thread(run).detach();
    } catch (const std::system_error&) {
        return false;
    }
    Started = true;
    return true;
}

bool setServiceHandler(LPHANDLER_FUNCTION_EX handler, void* context) {
    std::lock_guard<std::mutex> lock(Mutex);
    if (ServiceHandler != nullptr) return false;
    ServiceHandler = handler;
    ServiceContext = context;
    return true;
}

bool serviceHandler(LPHANDLER_FUNCTION_EX* handler, void** context) {
    std::lock_guard<std::mutex> lock(Mutex);
    *handler = ServiceHandler;
    *context = ServiceContext;
    return ServiceHandler != nullptr;
}

void addConsoleHandler(PHANDLER_ROUTINE handler) {
    std::lock_guard<std::mutex> lock(Mutex);
    ConsoleHandlers.push_back(handler);
}

bool removeConsoleHandler(PHANDLER_ROUTINE handler) {
    std::lock_guard<std::mutex> lock(Mutex);
    auto it = std::find(ConsoleHandlers.rbegin(), ConsoleHandlers.rend(), handler);
    if (it == ConsoleHandlers.rend()) return false;
    ConsoleHandlers.erase(std::next(it).base());
    return true;
}

}  // namespace winsvc::signals
