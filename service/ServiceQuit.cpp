#include "service/ServiceQuit.h"

#include <mutex>

#include "vel/multithread/QuitSignal.h"

namespace {

std::mutex Mutex;
bool Requested = false;
bool SignalExists = false;

}  // namespace

void ServiceQuit::request() {
    std::lock_guard<std::mutex> lock(Mutex);
    Requested = true;
    if (SignalExists) QuitSignal::set();
}

bool ServiceQuit::requested() {
    std::lock_guard<std::mutex> lock(Mutex);
    return Requested;
}

void ServiceQuit::signalCreated() {
    std::lock_guard<std::mutex> lock(Mutex);
    SignalExists = true;
    if (Requested) QuitSignal::set();
}

void ServiceQuit::signalReleasing() {
    std::lock_guard<std::mutex> lock(Mutex);
    SignalExists = false;
}

void ServiceQuit::reset() {
    std::lock_guard<std::mutex> lock(Mutex);
    Requested = false;
}
