#include "driver/host/PellodurServer.h"

PellodurServer::~PellodurServer() {
    stop();
}

bool PellodurServer::start(std::string* error) {
    if (!m_listener.listen(m_path, 0660, error)) return false;
    m_acceptor = std::thread([this] { acceptLoop(); });
    return true;
}

void PellodurServer::acceptLoop() {
    for (;;) {
        devicesocket::DeviceConnection accepted;
        devicesocket::Peer peer;
        if (!m_listener.accept(accepted, peer)) return;
        auto connection = std::make_unique<PellodurConnection>(
            std::move(accepted), peer.processId, devicesocket::PeerCredentials(peer.userId, peer.groupId));
        connection->start();
        std::lock_guard<std::mutex> guard(m_mutex);
        // Connections that have wound down are let go as new ones come.
        m_connections.remove_if([](const auto& c) { return c->finished(); });
        m_connections.push_back(std::move(connection));
    }
}

void PellodurServer::stop() {
    if (m_acceptor.joinable()) {
        m_listener.stop();
        m_acceptor.join();
    }
    std::list<std::unique_ptr<PellodurConnection>> connections;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        connections.swap(m_connections);
    }
    connections.clear();  // each hangs up and waits for its requests
    m_listener.close();
}
