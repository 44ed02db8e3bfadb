#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace tamsel::test {

// A program started by a test with its standard output on a pipe the test reads, so the test can
// wait for a line with a deadline instead of sleeping. A child still running at the end is
// terminated and reaped.
class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() {
        if (running()) {
            signal(SIGTERM);
            wait();
        }
        closeOutput();
    }

    // Runs `prepare` in the child before the program replaces it (chdir, environment).
    bool start(const std::string& path, const std::vector<std::string>& arguments = {},
               const std::function<void()>& prepare = {}) {
        int out[2];
        if (::pipe(out) != 0) return false;
        m_pid = ::fork();
        if (m_pid < 0) return false;
        if (m_pid == 0) {
            ::dup2(out[1], 1);
            ::close(out[0]);
            ::close(out[1]);
            if (prepare) prepare();
            std::vector<char*> argv;
            argv.push_back(const_cast<char*>(path.c_str()));
            for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(path.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        m_output = out[0];
        return true;
    }

    bool running() const { return m_pid > 0; }
    void signal(int number) const {
        if (running()) ::kill(m_pid, number);
    }

    // The exit status, or -1 when the program did not exit normally.
    int wait() {
        if (!running()) return -1;
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // The next line of output without its line feed; "<timeout>" or "<eof>" ends what was read.
    std::string readLine(std::chrono::milliseconds deadline) {
        auto until = std::chrono::steady_clock::now() + deadline;
        std::string line;
        for (;;) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            pollfd fd{m_output, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&fd, 1, int(left.count())) <= 0) return line + "<timeout>";
            char c;
            if (::read(m_output, &c, 1) != 1) return line + "<eof>";
            if (c == '\n') return line;
            line.push_back(c);
        }
    }

    // Everything the program writes until it closes its output.
    std::string readAll() {
        std::string text;
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(m_output, buffer, sizeof buffer)) > 0) text.append(buffer, size_t(n));
        return text;
    }

private:
    void closeOutput() {
        if (m_output >= 0) ::close(m_output);
        m_output = -1;
    }

    pid_t m_pid = -1;
    int m_output = -1;
};

}  // namespace tamsel::test
