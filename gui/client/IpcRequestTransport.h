#pragma once
// The request writer's way onto the pipe: sends each frame through the tray program's client end
// of "vel" and turns the pipe's exceptions into the writer's results.
#include <QByteArray>
#include <mutex>

#include "gui/client/RequestTransport.h"
#include "vel/ipc/IpcManager.h"

class IpcRequestTransport : public RequestTransport {
public:
    // ipc: a connected client end, shared with the service client's receive loop.
    explicit IpcRequestTransport(const IpcManager& ipc) : m_ipc(ipc) {}

    Result sendFrame(const QByteArray& frame) override;

private:
    // Windows may send from several threads; frames must not interleave on the stream.
    std::mutex m_mutex;
    IpcManager m_ipc;
};
