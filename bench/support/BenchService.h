// The real service for a benchmark: tamselsvc -run in a root of its own on the signed office
// configuration and the office lab's wired adapter alone with its link down, so that it idles but
// for its clients; and a client's end of its pipe.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "bench/support/SocketIo.h"
#include "tests/support/TestText.h"
#include "vel/xmlconnectionapi/ConnApiFrame.h"

extern char** environ;

// A root of its own, removed at the end.
struct TemporaryRoot {
    TemporaryRoot() {
        char pattern[] = "/tmp/tamsel-bench-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TemporaryRoot() { std::filesystem::remove_all(path); }
    void write(const std::string& name, const std::string& text) const {
        std::filesystem::path file = std::filesystem::path(path) / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }
    std::string path;
};

// One framed message: its decimal length, a line feed, the payload.
inline bool readFrame(int fd, std::string* payload) {
    size_t length = 0;
    for (char c;;) {
        if (read(fd, &c, 1) != 1) return false;
        if (c == ConnApiFrame::HEADER_END) break;
        if (c < '0' || c > '9') return false;
        length = length * 10 + size_t(c - '0');
    }
    payload->assign(length, '\0');
    return readAll(fd, payload->data(), length);
}

inline int connectTo(const std::string& path) {
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// The service, started at construction and stopped by Ctrl+C at the end.
class BenchService {
public:
    BenchService(const char* program, const char* configuration, const char* officeLab) {
        m_root.write("system/configuration.xml", tamsel::test::readText(configuration));
        std::string lab = tamsel::test::readText(officeLab);
        for (const char* pattern :
             {"<adapter [^>]*friendly=\"wlan0\"[^>]*/>", "<logon [^>]*/>", "<vpnGateway [^>]*/>", "<at [^>]*/>",
              "<authenticator [^>]*/>", "<certificateStore [^>]*/>"})
            lab = std::regex_replace(lab, std::regex(pattern), "");
        m_root.write("lab.xml", std::regex_replace(lab, std::regex("link=\"up\""), "link=\"down\""));

        std::string home = "TAMSEL_HOME=" + m_root.path;
        std::vector<char*> env;
        for (char** e = environ; *e != nullptr; ++e)
            if (std::strncmp(*e, "TAMSEL_", 7) != 0) env.push_back(*e);
        env.push_back(home.data());
        env.push_back(nullptr);
        std::string path = program;
        char run[] = "-run";
        char* argv[] = {path.data(), run, nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        std::string output = m_root.path + "/stdout.txt";
        posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        if (posix_spawn(&m_pid, path.c_str(), &actions, nullptr, argv, env.data()) != 0) m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~BenchService() {
        if (m_pid < 0) return;
        kill(m_pid, SIGINT);
        int status = 0;
        waitpid(m_pid, &status, 0);
    }
    BenchService(const BenchService&) = delete;
    BenchService& operator=(const BenchService&) = delete;

    // A client's end of the pipe once the service listens; -1 when it does not within 30 s.
    int connectClient() const {
        if (m_pid < 0) return -1;
        const std::string pipe = m_root.path + "/run/vel";
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        int fd = -1;
        while ((fd = connectTo(pipe)) < 0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return fd;
    }

private:
    TemporaryRoot m_root;
    pid_t m_pid = -1;
};
