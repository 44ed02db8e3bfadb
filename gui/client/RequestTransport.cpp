#include "gui/client/RequestTransport.h"

#include <mutex>

#include "gui/client/ClientLog.h"

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

RequestTransport::Result RequestTransport::sendLogged(const QByteArray& frame) {
    const std::shared_ptr<RequestTransport> transport = current();
    // Before the service client has published its pipe end there is no connection to send on.
    const Result result = !transport        ? Result::NoConnection
                          : frame.isEmpty() ? Result::Failed
                                            : transport->sendFrame(frame);
    switch (result) {
        case Result::Sent:
            break;
        case Result::Canceled:
            qCInfo(lcGuiClient, "CanceledException.");
            break;
        case Result::NoConnection:
            qCInfo(lcGuiClient, "NoConnectionException.");
            break;
        case Result::Failed:
            qCInfo(lcGuiClient, "NvoException.");
            break;
    }
    return result;
}
