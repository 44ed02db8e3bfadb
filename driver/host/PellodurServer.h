// Serves the driver's control device on a Unix socket: every connection is one open handle,
// made for the connecting process as its peer credentials name it.
#pragma once

#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "driver/host/PellodurConnection.h"

class PellodurServer {
public:
    explicit PellodurServer(std::string socketPath) : path_(std::move(socketPath)) {}
    ~PellodurServer();

    bool start(std::string* error);
    // Stops accepting, hangs up on every client and waits for them to wind down.
    void stop();

private:
    void acceptLoop();

    std::string path_;
    int listenFd_ = -1;
    int wakeFds_[2] = {-1, -1};
    std::thread acceptor_;
    std::mutex mutex_;
    std::list<std::unique_ptr<PellodurConnection>> connections_;
};
