#include "RequestTransport.h"

#include <mutex>

#include "ConnApiConstants.h"

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

QByteArray frameMessage(const QByteArray& payload) {
    QByteArray frame = QByteArray::number(payload.size());
    frame.reserve(frame.size() + 1 + payload.size());
    frame.append(ConnApiConstants::FRAME_HEADER_END);
    frame.append(payload);
    return frame;
}
