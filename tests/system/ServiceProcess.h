#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestText.h"

using tamsel::test::countOf;
using tamsel::test::readText;
using tamsel::test::waitFor;

// A temporary program-data root, removed at the end of the test. The service is told it through
// its own environment, so the test's stays as it is.
class TempRoot : public tamsel::test::TempHome {
public:
    TempRoot() : TempHome("system", Use::FOLDER) {}

    std::string logText(const std::string& name = "CurrentLog.txt") const { return readText(log(name)); }
    // The previous files, oldest first, then the current one.
    std::string everyLogText() const {
        std::string text;
        for (int n = 9; n >= 1; --n) text += logText("PreviousLog" + std::to_string(n) + ".txt");
        return text + logText();
    }
};

// The real service program, started in a root with its standard output kept in a file.
class ServiceProcess {
public:
    ServiceProcess(const TempRoot& root, std::vector<std::string> args,
                   const std::map<std::string, std::string>& env = {}) {
        static int serial = 0;
        tamsel::test::ChildProcess::Options options;
        options.arguments = std::move(args);
        options.environment = env;
        options.environment["TAMSEL_HOME"] = root.path();
        options.outputFile = root.path() + "/stdout-" + std::to_string(++serial) + ".txt";
        options.errorToOutput = true;
        options.endSignal = SIGKILL;
        m_output = options.outputFile;
        m_child.start(TAMSELSVC_PATH, options);
    }
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    bool started() const { return m_child.started(); }
    pid_t pid() const { return m_child.pid(); }
    std::string output() const { return readText(m_output); }
    bool outputHas(const std::string& part) const { return output().find(part) != std::string::npos; }
    void signal(int number) const { m_child.signal(number); }

    // The exit code; -1 when the process did not end in time, 128 + n when signal n ended it.
    int waitForExit(std::chrono::milliseconds deadline = std::chrono::seconds(60)) {
        return m_child.waitForExit(deadline);
    }
    bool running() { return m_child.running(); }

    // For a test that waited in vain: the stacks of the service's threads, where gdb can attach,
    // and the end of its log, which together tell a hang from a slow machine.
    std::string diagnosis(const TempRoot& root, size_t logLines = 40) const {
        std::string text = "service threads:\n";
        tamsel::test::ProgramResult stacks = tamsel::test::runProgram(
            {"gdb", "-p", std::to_string(pid()), "-batch", "-nx", "-ex", "set print frame-arguments none",
             "-ex", "thread apply all bt 15"});
        text += stacks.output.empty() ? "(gdb could not attach)\n" : stacks.output;
        std::string log = root.logText();
        size_t at = log.size();
        for (size_t n = 0; n <= logLines && at != std::string::npos && at > 0; ++n) at = log.rfind('\n', at - 1);
        text += "end of the service's log:\n" + log.substr(at == std::string::npos ? 0 : at + 1);
        return text;
    }

private:
    tamsel::test::ChildProcess m_child;
    std::string m_output;
};

// Runs the program to its end and returns its exit code and output.
inline std::pair<int, std::string> runToEnd(const TempRoot& root, const std::vector<std::string>& args,
                                            const std::map<std::string, std::string>& env = {}) {
    ServiceProcess process(root, args, env);
    int code = process.waitForExit();
    return {code, process.output()};
}
