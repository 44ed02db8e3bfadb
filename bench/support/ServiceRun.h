// The real service in a root of its own, for benchmarks that time it from outside: the root, the
// spawn with TAMSEL_HOME naming it, and a status request's round trip on its pipe.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/support/SocketIo.h"
#include "tests/system/TrayMessages.h"
#include "vel/xmlconnectionapi/ConnApiFrame.h"

extern char** environ;

// A root of its own for the service, removed at the end.
struct TemporaryRoot {
    TemporaryRoot() {
        char pattern[] = "/tmp/tamsel-bench-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TemporaryRoot() { std::filesystem::remove_all(path); }
    TemporaryRoot(const TemporaryRoot&) = delete;
    TemporaryRoot& operator=(const TemporaryRoot&) = delete;
    void write(const std::string& name, const std::string& text) const {
        std::filesystem::path file = std::filesystem::path(path) / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }
    std::string path;
};

// tamselsvc -run in the root, its output in stdout.txt there; -1 when it could not start.
inline pid_t spawnService(const TemporaryRoot& root, const char* program) {
    std::string home = "TAMSEL_HOME=" + root.path;
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
    std::string output = root.path + "/stdout.txt";
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t service = -1;
    if (posix_spawn(&service, program, &actions, nullptr, argv, env.data()) != 0) service = -1;
    posix_spawn_file_actions_destroy(&actions);
    return service;
}

// False once the service ended (it is then reaped, and service set to -1).
inline bool serviceRunning(pid_t& service) {
    int status = 0;
    if (service <= 0 || waitpid(service, &status, WNOHANG) == 0) return service > 0;
    service = -1;
    return false;
}

// Ctrl+C, and the wait for the end.
inline void stopService(pid_t service) {
    if (service <= 0) return;
    kill(service, SIGINT);
    int status = 0;
    waitpid(service, &status, 0);
}

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

// A status request as the tray program writes it, and its reply (the service's events on the same
// pipe are passed over); false when the connection ended.
inline bool statusExchange(int fd, int number) {
    if (fd < 0) return false;
    std::string frame = ConnApiFrame::frame(tamsel::test::trayRequest("getServiceStateRequest", number));
    if (!writeAll(fd, frame.data(), frame.size())) return false;
    std::string reply;
    do {
        if (!readFrame(fd, &reply)) return false;
    } while (reply.find("<getServiceStateResponse>") == std::string::npos &&
             reply.find(":Fault>") == std::string::npos);
    return true;
}
