#pragma once

#include <QByteArray>
#include <memory>

// The seam between the request writer and the pipe. The service client publishes its client end
// of the "vel" pipe here when it creates it and withdraws it when it is destroyed; every request
// the tray program writes leaves through whatever is published at that moment.
class RequestTransport {
public:
    // How a send ended. The pipe end maps its exceptions onto these so that the writer can log
    // them with the texts the tray program uses everywhere.
    enum class Result { Sent, Canceled, NoConnection, Failed };

    virtual ~RequestTransport() = default;
    // Hands one whole frame (header and payload) to the pipe in one call.
    virtual Result sendFrame(const QByteArray& frame) = 0;

    // Process-wide; either call may come from any thread.
    static void publish(std::shared_ptr<RequestTransport> transport);
    static void withdraw();
    static std::shared_ptr<RequestTransport> current();
    // Sends through the published transport; an empty frame (one over the protocol's limit) is not
    // sent. A send that failed is logged with the tray program's texts and the frame dropped.
    static Result sendLogged(const QByteArray& frame);
};
