// Serves the driver's control device on a Unix socket: every connection is one open handle,
// made for the connecting process as its peer credentials name it.
#pragma once

#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "driver/host/PellodurConnection.h"
#include "platform/devicesocket/DeviceSocket.h"

class PellodurServer {
public:
    explicit PellodurServer(std::string socketPath) : m_path(std::move(socketPath)) {}
    ~PellodurServer();

    bool start(std::string* error);
    // Stops accepting, hangs up on every client and waits for them to wind down.
    void stop();

private:
    void acceptLoop();

    std::string m_path;
    devicesocket::DeviceListener m_listener;
    std::thread m_acceptor;
    std::mutex m_mutex;
    std::list<std::unique_ptr<PellodurConnection>> m_connections;
};
