#pragma once
// run/lab from outside, as a test drives a running service's lab.
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace tamsel::test {

// run/lab from outside: a command, and its answer up to "ok" or "error: ...".
class LabClient {
public:
    explicit LabClient(const std::string& path) {
        m_fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
        m_connected = connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~LabClient() { close(m_fd); }
    bool connected() const { return m_connected; }

    std::vector<std::string> command(const std::string& line) {
        std::string text = line + "\n";
        if (write(m_fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
            return {"<write failed>"};
        std::vector<std::string> answer;
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        std::string current;
        while (std::chrono::steady_clock::now() < end) {
            pollfd fd{m_fd, POLLIN, 0};
            if (poll(&fd, 1, 100) <= 0) continue;
            char c;
            if (read(m_fd, &c, 1) != 1) break;
            if (c != '\n') {
                current.push_back(c);
                continue;
            }
            answer.push_back(current);
            if (current == "ok" || current.rfind("error:", 0) == 0) return answer;
            current.clear();
        }
        answer.push_back("<no answer>");
        return answer;
    }

private:
    int m_fd;
    bool m_connected = false;
};

}  // namespace tamsel::test
