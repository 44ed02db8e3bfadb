#pragma once
// A tray program's end of the pipe made of the project's own pipe pieces: the IpcManager client end
// and the framing buffers. Needs the run-time, and TAMSEL_HOME naming the service's root.
#include <cstdint>
#include <string>

#include "vel/connection/ConnectionConstants.h"
#include "vel/datagram/Datagram.h"
#include "vel/ipc/IpcManager.h"
#include "vel/ipc/IpcReceiveBuffer.h"
#include "vel/ipc/IpcSendBuffer.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"

// A tray program's end of the pipe, used by one thread at a time.
class PipeClient {
public:
    PipeClient() : m_ipc(IpcManager::createNamedPipeClient(ConnApiConstants::PIPE_NAME)) {}
    bool connect() { return m_ipc.connect(); }
    void send(const std::string& payload) {
        m_out.frame(reinterpret_cast<const std::uint8_t*>(payload.data()), static_cast<int>(payload.size()));
        m_out.send(m_ipc);
    }
    void sendRaw(const std::string& bytes) {
        m_ipc.send(reinterpret_cast<const std::uint8_t*>(bytes.data()), static_cast<int>(bytes.size()));
    }
    std::string receive() {
        Datagram d = m_in.receive(m_ipc);
        return std::string(d.text(), static_cast<size_t>(d.length()));
    }
    void close() { m_ipc.destroy(); }
    const IpcManager& ipc() const { return m_ipc; }

private:
    IpcManager m_ipc;
    IpcSendBuffer m_out;
    IpcReceiveBuffer m_in;
};
