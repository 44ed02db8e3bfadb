#include "platform/lab/LabSocket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>

namespace lab {

namespace {

constexpr size_t MAX_LINE = 65536;

void closeFd(int* fd) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
}

bool writeAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

LabSocket::~LabSocket() {
    stop();
}

bool LabSocket::start(const std::string& path, Handler handler, std::string* error) {
    stop();
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        *error = "the path " + path + " is too long for a socket";
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    m_listen = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listen < 0 || ::pipe2(m_wake, O_CLOEXEC) != 0) {
        *error = std::string("cannot make the socket: ") + std::strerror(errno);
        stop();
        return false;
    }
    ::unlink(path.c_str());
    if (::bind(m_listen, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(path.c_str(), 0600) != 0 || ::listen(m_listen, 8) != 0) {
        *error = "cannot serve " + path + ": " + std::strerror(errno);
        ::unlink(path.c_str());
        stop();
        return false;
    }
    m_path = path;
    m_handler = std::move(handler);
    m_thread = std::thread([this] { serve(); });
    return true;
}

void LabSocket::stop() {
    if (m_thread.joinable()) {
        char byte = 0;
        ssize_t ignored = ::write(m_wake[1], &byte, 1);
        (void)ignored;
        m_thread.join();
    }
    closeFd(&m_listen);
    closeFd(&m_wake[0]);
    closeFd(&m_wake[1]);
    if (!m_path.empty()) ::unlink(m_path.c_str());
    std::string().swap(m_path);
    m_handler = nullptr;
}

void LabSocket::serve() {
    std::map<int, std::string> clients;  // descriptor, the line read so far
    for (;;) {
        std::vector<pollfd> fds = {{m_wake[0], POLLIN, 0}, {m_listen, POLLIN, 0}};
        for (const auto& client : clients) fds.push_back({client.first, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[0].revents != 0) break;
        if (fds[1].revents & POLLIN) {
            int client = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0) clients[client];
        }
        for (size_t i = 2; i < fds.size(); ++i) {
            if (fds[i].revents == 0) continue;
            int fd = fds[i].fd;
            char buffer[4096];
            ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            bool keep = n > 0;
            std::string& pending = clients[fd];
            if (keep) pending.append(buffer, static_cast<size_t>(n));
            for (size_t end; keep && (end = pending.find('\n')) != std::string::npos;) {
                std::string line = pending.substr(0, end);
                pending.erase(0, end + 1);
                if (!line.empty() && line.back() == '\r') line.pop_back();
                keep = writeAll(fd, m_handler(line) + "\n");
            }
            if (keep && pending.size() > MAX_LINE) keep = writeAll(fd, "error: line too long\n") && false;
            if (!keep) {
                ::close(fd);
                clients.erase(fd);
            }
        }
    }
    for (const auto& client : clients) ::close(client.first);
}

}  // namespace lab
