#include "tests/support/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/TestText.h"

extern char** environ;

namespace tamsel::test {

ChildProcess::~ChildProcess() {
    if (running()) {
        signal(m_endSignal);
        wait();
    }
    closeOutput();
}

bool ChildProcess::start(const std::string& program, const std::vector<std::string>& arguments,
                         const std::function<void()>& prepare) {
    Options options;
    options.arguments = arguments;
    options.prepare = prepare;
    return start(program, options);
}

bool ChildProcess::start(const std::string& program, const Options& options) {
    m_endSignal = options.endSignal;
    // Everything the child needs is made before the fork: a child of a threaded process may not
    // allocate.
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e) {
        std::string entry = *e;
        if (options.environment.count(entry.substr(0, entry.find('='))) == 0) environment.push_back(entry);
    }
    for (const auto& [key, value] : options.environment) environment.push_back(key + "=" + value);
    std::vector<char*> envp;
    for (std::string& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> arguments = options.arguments;
    arguments.insert(arguments.begin(), program);
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);

    int out[2] = {-1, -1};
    if (options.outputFile.empty() && ::pipe2(out, O_CLOEXEC) != 0) return false;
    m_pid = ::fork();
    if (m_pid < 0) return false;
    if (m_pid == 0) {
        int target = out[1];
        if (!options.outputFile.empty())
            target = ::open(options.outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (target < 0) ::_exit(126);
        ::dup2(target, 1);
        if (options.errorToOutput) ::dup2(target, 2);
        if (options.prepare) options.prepare();
        if (options.searchPath) {
            ::execvpe(argv[0], argv.data(), envp.data());
        } else {
            ::execve(argv[0], argv.data(), envp.data());
        }
        ::_exit(127);
    }
    if (out[1] >= 0) ::close(out[1]);
    m_output = out[0];
    m_ended = false;
    return true;
}

bool ChildProcess::running() {
    if (m_pid <= 0 || m_ended) return false;
    int status = 0;
    if (::waitpid(m_pid, &status, WNOHANG) != m_pid) return true;
    reaped(status);
    return false;
}

void ChildProcess::signal(int number) const {
    if (m_pid > 0 && !m_ended) ::kill(m_pid, number);
}

void ChildProcess::reaped(int status) {
    m_ended = true;
    m_status = status;
}

int ChildProcess::wait() {
    if (m_pid <= 0) return -1;
    if (!m_ended) {
        int status = 0;
        if (::waitpid(m_pid, &status, 0) != m_pid) return -1;
        reaped(status);
    }
    return WIFEXITED(m_status) ? WEXITSTATUS(m_status) : -1;
}

int ChildProcess::waitForExit(std::chrono::milliseconds deadline) {
    if (m_pid <= 0) return -1;
    if (!waitFor([this] { return !running(); }, deadline)) return -1;
    return WIFEXITED(m_status) ? WEXITSTATUS(m_status) : 128 + WTERMSIG(m_status);
}

std::string ChildProcess::readLine(std::chrono::milliseconds deadline) {
    auto until = std::chrono::steady_clock::now() + deadline;
    std::string line;
    for (;;) {
        auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        pollfd fd{m_output, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&fd, 1, int(left.count())) <= 0) return line + "<timeout>";
        char c;
        if (::read(m_output, &c, 1) != 1) return line + "<eof>";
        if (c == '\n') return line;
        line.push_back(c);
    }
}

std::string ChildProcess::readAll() {
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(m_output, buffer, sizeof buffer)) > 0) text.append(buffer, size_t(n));
    return text;
}

void ChildProcess::closeOutput() {
    if (m_output >= 0) ::close(m_output);
    m_output = -1;
}

ProgramResult runProgram(const std::vector<std::string>& arguments) {
    ProgramResult result;
    if (arguments.empty()) return result;
    ChildProcess child;
    ChildProcess::Options options;
    options.arguments.assign(arguments.begin() + 1, arguments.end());
    options.searchPath = true;
    if (!child.start(arguments[0], options)) return result;
    result.output = child.readAll();
    result.exitStatus = child.wait();
    return result;
}

}  // namespace tamsel::test
