#include "gui/client/RequestTransport.h"

#include <mutex>

namespace {
std::mutex g_mutex;
std::shared_ptr<RequestTransport> g_transport;
}  // namespace

void RequestTransport::publish(std::shared_ptr<RequestTransport> transport) {
    std::lock_guard lock(g_mutex);
    g_transport = std::move(transport);
}

void RequestTransport::withdraw() {
    publish(nullptr);
}

std::shared_ptr<RequestTransport> RequestTransport::current() {
    std::lock_guard lock(g_mutex);
    return g_transport;
}
