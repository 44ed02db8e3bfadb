#include "gui/client/ClientLog.h"

#include <atomic>

Q_LOGGING_CATEGORY(lcGuiClient, "tamsel.guiclient")

namespace {
std::atomic<bool> g_verboseDumps{false};
}

bool ClientLog::verboseDumps() {
    return g_verboseDumps.load(std::memory_order_relaxed);
}

void ClientLog::setVerboseDumps(bool on) {
    g_verboseDumps.store(on, std::memory_order_relaxed);
}
