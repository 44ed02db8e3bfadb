#include "driver/host/PellodurServer.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

PellodurServer::~PellodurServer() {
    stop();
}

bool PellodurServer::start(std::string* error) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path_.size() >= sizeof(address.sun_path)) {
        *error = "socket path too long: " + path_;
        return false;
    }
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ignored);
    std::filesystem::remove(path_, ignored);
    std::memcpy(address.sun_path, path_.c_str(), path_.size() + 1);
    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::chmod(path_.c_str(), 0660) != 0 || ::listen(listenFd_, 16) != 0 ||
        ::pipe2(wakeFds_, O_CLOEXEC) != 0) {
        *error = path_ + ": " + std::strerror(errno);
        return false;
    }
    acceptor_ = std::thread([this] { acceptLoop(); });
    return true;
}

void PellodurServer::acceptLoop() {
    for (;;) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakeFds_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents) return;
        if (!(fds[0].revents & POLLIN)) continue;
        int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        ucred credentials{};
        socklen_t length = sizeof(credentials);
        if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0 || credentials.pid <= 0) {
            ::close(fd);
            continue;
        }
        auto connection = std::make_unique<PellodurConnection>(
            fd, uint32_t(credentials.pid), PeerCredentials(credentials.uid, credentials.gid));
        connection->start();
        std::lock_guard<std::mutex> guard(mutex_);
        // Connections that have wound down are let go as new ones come.
        connections_.remove_if([](const auto& c) { return c->finished(); });
        connections_.push_back(std::move(connection));
    }
}

void PellodurServer::stop() {
    if (acceptor_.joinable()) {
        char wake = 1;
        (void)!::write(wakeFds_[1], &wake, 1);
        acceptor_.join();
    }
    std::list<std::unique_ptr<PellodurConnection>> connections;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        connections.swap(connections_);
    }
    connections.clear();  // each hangs up and waits for its requests
    for (int* fd : {&listenFd_, &wakeFds_[0], &wakeFds_[1]}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove(path_, ignored);
}
