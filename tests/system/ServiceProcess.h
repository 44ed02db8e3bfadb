#ifndef TAMSEL_TESTS_SYSTEM_SERVICEPROCESS_H
#define TAMSEL_TESTS_SYSTEM_SERVICEPROCESS_H

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "TestText.h"

extern char** environ;

using tamsel::test::countOf;
using tamsel::test::readText;
using tamsel::test::waitFor;

// A temporary program-data root, removed at the end of the test.
class TempRoot {
public:
    TempRoot() {
        char pattern[] = "/tmp/tamsel-system-XXXXXX";
        m_path = mkdtemp(pattern);
    }
    ~TempRoot() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempRoot(const TempRoot&) = delete;
    TempRoot& operator=(const TempRoot&) = delete;

    const std::string& path() const { return m_path; }
    std::string log(const std::string& name = "CurrentLog.txt") const { return m_path + "/logs/" + name; }
    std::string logText(const std::string& name = "CurrentLog.txt") const { return readText(log(name)); }
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(m_path + "/" + name) << text;
    }

private:
    std::string m_path;
};

// The real service program, started in a root with its standard output kept in a file.
class ServiceProcess {
public:
    ServiceProcess(const TempRoot& root, std::vector<std::string> args,
                   const std::map<std::string, std::string>& env = {}) {
        static int serial = 0;
        m_output = root.path() + "/stdout-" + std::to_string(++serial) + ".txt";
        std::map<std::string, std::string> vars = env;
        vars["TAMSEL_HOME"] = root.path();
        std::vector<std::string> envText;
        for (char** e = environ; *e != nullptr; ++e) {
            std::string entry = *e;
            std::string key = entry.substr(0, entry.find('='));
            if (vars.count(key) == 0) envText.push_back(entry);
        }
        for (const auto& [key, value] : vars) envText.push_back(key + "=" + value);
        std::vector<char*> envp;
        for (std::string& e : envText) envp.push_back(e.data());
        envp.push_back(nullptr);

        std::string program = TAMSELSVC_PATH;
        args.insert(args.begin(), program);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, m_output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }

    ~ServiceProcess() {
        if (m_pid > 0 && !m_ended) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    bool started() const { return m_pid > 0; }
    pid_t pid() const { return m_pid; }
    std::string output() const { return readText(m_output); }
    bool outputHas(const std::string& part) const { return output().find(part) != std::string::npos; }
    void signal(int number) const { kill(m_pid, number); }

    // The exit code; -1 when the process did not end in time, 128 + n when signal n ended it.
    int waitForExit(std::chrono::milliseconds deadline = std::chrono::seconds(60)) {
        if (m_ended) return m_status;
        bool ended = waitFor(
            [this] {
                int status = 0;
                if (waitpid(m_pid, &status, WNOHANG) != m_pid) return false;
                m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                m_ended = true;
                return true;
            },
            deadline);
        return ended ? m_status : -1;
    }
    bool running() {
        if (m_ended) return false;
        return waitForExit(std::chrono::milliseconds(0)) == -1;
    }

private:
    pid_t m_pid = -1;
    std::string m_output;
    bool m_ended = false;
    int m_status = -1;
};

// Runs the program to its end and returns its exit code and output.
inline std::pair<int, std::string> runToEnd(const TempRoot& root, const std::vector<std::string>& args,
                                            const std::map<std::string, std::string>& env = {}) {
    ServiceProcess process(root, args, env);
    int code = process.waitForExit();
    return {code, process.output()};
}

#endif
