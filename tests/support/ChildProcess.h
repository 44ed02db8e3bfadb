#pragma once
// Programs started by tests: the programs under test (service, driver host, report) and outside
// tools. Standard output goes to a pipe the test reads, so that it can wait for a line with a
// deadline instead of sleeping, or to a file. A child still running at the end is signalled
// (SIGTERM, or the signal given) and reaped.
#include <sys/types.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tamsel::test {

class ChildProcess {
public:
    struct Options {
        std::vector<std::string> arguments;
        // Set on top of the test's own environment.
        std::map<std::string, std::string> environment;
        // Empty: standard output on a pipe for readLine and readAll.
        std::string outputFile;
        // Standard error joins standard output.
        bool errorToOutput = false;
        // The program is looked up in PATH.
        bool searchPath = false;
        // Runs in the child before the program replaces it (current folder, environment).
        std::function<void()> prepare;
        // What ends a child still running when this object goes.
        int endSignal = SIGTERM;
    };

    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    bool start(const std::string& program, const Options& options);
    bool start(const std::string& program, const std::vector<std::string>& arguments = {},
               const std::function<void()>& prepare = {});

    bool started() const { return m_pid > 0; }
    pid_t pid() const { return m_pid; }
    // Started and not reaped yet.
    bool running();
    void signal(int number) const;

    // Blocks until the program ends: its exit status, or -1 when it did not exit normally.
    int wait();
    // The exit code, 128 + n when signal n ended it, or -1 when it did not end in time.
    int waitForExit(std::chrono::milliseconds deadline = std::chrono::seconds(60));

    // The next line of output without its line feed; "<timeout>" or "<eof>" ends what was read.
    std::string readLine(std::chrono::milliseconds deadline);
    // Everything the program writes until it closes its output.
    std::string readAll();

private:
    void reaped(int status);
    void closeOutput();

    pid_t m_pid = -1;
    int m_output = -1;
    int m_endSignal = SIGTERM;
    bool m_ended = false;
    int m_status = 0;
};

struct ProgramResult {
    int exitStatus = -1;  // -1 when it did not exit normally
    std::string output;   // standard output
};

// Runs a program (looked up in PATH) to its end and collects its standard output.
ProgramResult runProgram(const std::vector<std::string>& arguments);

}  // namespace tamsel::test
