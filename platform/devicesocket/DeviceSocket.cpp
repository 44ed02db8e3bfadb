#include "platform/devicesocket/DeviceSocket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/base/Folders.h"

namespace devicesocket {
namespace {

bool fillAddress(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

}  // namespace

DeviceConnection::~DeviceConnection() {
    close();
}

DeviceConnection::DeviceConnection(DeviceConnection&& other) noexcept : m_fd(other.m_fd) {
    other.m_fd = -1;
}

DeviceConnection& DeviceConnection::operator=(DeviceConnection&& other) noexcept {
    if (this != &other) {
        close();
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

int DeviceConnection::connect(const std::string& path) {
    close();
    sockaddr_un address;
    if (!fillAddress(path, address)) return ENAMETOOLONG;
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return errno;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        int error = errno;
        ::close(fd);
        return error;
    }
    m_fd = fd;
    return 0;
}

bool DeviceConnection::pair(DeviceConnection& first, DeviceConnection& second) {
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) return false;
    first = DeviceConnection(fds[0]);
    second = DeviceConnection(fds[1]);
    return true;
}

bool DeviceConnection::readFull(std::uint8_t* buffer, std::size_t length) {
    while (length > 0) {
        ssize_t n = ::recv(m_fd, buffer, length, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        buffer += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

bool DeviceConnection::writeFull(const std::uint8_t* buffer, std::size_t length) {
    while (length > 0) {
        ssize_t n = ::send(m_fd, buffer, length, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        buffer += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

void DeviceConnection::shutdownWrite() {
    if (m_fd >= 0) ::shutdown(m_fd, SHUT_WR);
}

void DeviceConnection::shutdown() {
    if (m_fd >= 0) ::shutdown(m_fd, SHUT_RDWR);
}

void DeviceConnection::close() {
    closeFd(m_fd);
}

DeviceListener::~DeviceListener() {
    close();
}

bool DeviceListener::listen(const std::string& path, unsigned mode, std::string* error) {
    sockaddr_un address;
    if (!fillAddress(path, address)) {
        *error = "socket path too long: " + path;
        return false;
    }
    std::string::size_type slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !base::makeFolders(path.substr(0, slash))) {
        *error = "cannot create the folder " + path.substr(0, slash) + ": " + std::strerror(errno);
        return false;
    }
    ::unlink(path.c_str());
    m_path = path;
    m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::chmod(path.c_str(), static_cast<mode_t>(mode)) != 0 || ::listen(m_fd, 16) != 0 ||
        ::pipe2(m_wake, O_CLOEXEC) != 0) {
        *error = "cannot serve " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool DeviceListener::accept(DeviceConnection& connection, Peer& peer) {
    for (;;) {
        pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (fds[1].revents) return false;
        if (!(fds[0].revents & POLLIN)) continue;
        int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        ucred credentials{};
        socklen_t length = sizeof(credentials);
        if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0 || credentials.pid <= 0) {
            ::close(fd);
            continue;
        }
        peer.processId = static_cast<std::uint32_t>(credentials.pid);
        peer.userId = credentials.uid;
        peer.groupId = credentials.gid;
        connection = DeviceConnection(fd);
        return true;
    }
}

void DeviceListener::stop() {
    if (m_wake[1] < 0) return;
    char wake = 1;
    (void)!::write(m_wake[1], &wake, 1);
}

void DeviceListener::close() {
    for (int* fd : {&m_fd, &m_wake[0], &m_wake[1]}) closeFd(*fd);
    if (!m_path.empty()) ::unlink(m_path.c_str());
    m_path.clear();
}

}  // namespace devicesocket
