#include "platform/win/Process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/base/Folders.h"
#include "platform/base/Utf16.h"
#include "platform/lab/LabCalls.h"

namespace win {

namespace {

using namespace base::win32;

// The arguments of a Windows command line: blanks separate them, double quotes group them, and
// backslashes are literal except before a double quote (2n of them give n and a quote that groups,
// 2n+1 give n and a literal quote).
std::vector<std::string> splitCommandLine(const std::string& line) {
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size();) {
        char c = line[i];
        if (c == '\\') {
            std::size_t backslashes = 0;
            while (i < line.size() && line[i] == '\\') ++backslashes, ++i;
            if (i < line.size() && line[i] == '"') {
                current.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    current += '"';
                    ++i;
                }
            } else {
                current.append(backslashes, '\\');
            }
            inArgument = true;
            continue;
        }
        if (c == '"') {
            quoted = !quoted;
            inArgument = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inArgument) arguments.push_back(current);
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
        ++i;
    }
    if (inArgument) arguments.push_back(current);
    return arguments;
}

bool isProgram(const std::string& path) {
    return !path.empty() && ::access(path.c_str(), X_OK) == 0 && !base::isFolder(path);
}

// The file that runs for a Windows program name: the name itself, or without ".exe".
std::string programFile(const std::string& name) {
    if (isProgram(name)) return name;
    if (name.size() > 4) {
        std::string extension = name.substr(name.size() - 4);
        for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        std::string bare = name.substr(0, name.size() - 4);
        if (extension == ".exe" && isProgram(bare)) return bare;
    }
    return {};
}

BOOL failed(lab::Call& call, DWORD error) {
    SetLastError(error);
    call.finish(static_cast<int>(error));
    return 0;
}

// Starts the program detached: an intermediate child makes a new session and forks the program,
// then ends at once and is collected here, so the program belongs to init and is never waited
// for. A pipe closed by the exec tells whether the program started. Between fork and exec only
// calls that are safe in a child of a threaded process are made. The caller's threads may have
// the control signals blocked (they are taken on a thread of their own); the program starts with
// none blocked, as a program Windows starts can be stopped.
DWORD spawnDetached(const std::string& file, const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return ERROR_NOT_ENOUGH_MEMORY;
    pid_t intermediate = ::fork();
    if (intermediate < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    if (intermediate == 0) {
        ::close(report[0]);
        ::setsid();
        pid_t program = ::fork();
        if (program == 0) {
            sigset_t none;
            ::sigemptyset(&none);
            ::sigprocmask(SIG_SETMASK, &none, nullptr);
            int nothing = ::open("/dev/null", O_RDWR);
            if (nothing >= 0) {
                ::dup2(nothing, 0);
                ::dup2(nothing, 1);
                ::dup2(nothing, 2);
                if (nothing > 2) ::close(nothing);
            }
            ::execv(file.c_str(), argv.data());
            int error = errno;
            ssize_t ignored = ::write(report[1], &error, sizeof error);
            (void)ignored;
            ::_exit(127);
        }
        ::_exit(program < 0 ? 1 : 0);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(intermediate, &status, 0) < 0 && errno == EINTR) {
    }
    int execError = 0;
    ssize_t got;
    while ((got = ::read(report[0], &execError, sizeof execError)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return ERROR_NOT_ENOUGH_MEMORY;
    if (got > 0) return execError == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED;
    return NO_ERROR;
}

}  // namespace

BOOL CreateProcessW(const char16_t* applicationName, char16_t* commandLine, void* processAttributes,
                    void* threadAttributes, BOOL inheritHandles, DWORD creationFlags, void* environment,
                    const char16_t* currentDirectory, STARTUPINFOW* startupInfo,
                    PROCESS_INFORMATION* processInformation) {
    std::string application = applicationName ? base::utf16ToUtf8(applicationName) : std::string();
    std::string line = commandLine ? base::utf16ToUtf8(commandLine) : std::string();
    bool hidden =
        startupInfo && (startupInfo->dwFlags & STARTF_USESHOWWINDOW) && startupInfo->wShowWindow == SW_HIDE;
    lab::Call call("CreateProcessW", lab::quoted(application.c_str()) + ", " + lab::quoted(line.c_str()) +
                                         (hidden ? ", hidden" : ", shown"));
    if (call.injected()) return failed(call, static_cast<DWORD>(call.result()));
    if (processAttributes || threadAttributes || inheritHandles || creationFlags != 0 || environment ||
        currentDirectory || !startupInfo || !processInformation)
        return failed(call, ERROR_INVALID_PARAMETER);
    std::vector<std::string> arguments = splitCommandLine(line);
    if (arguments.empty()) arguments.push_back(application);
    std::string file = programFile(application.empty() ? arguments.front() : application);
    if (file.empty()) return failed(call, ERROR_FILE_NOT_FOUND);
    DWORD error = spawnDetached(file, arguments);
    if (error != NO_ERROR) return failed(call, error);
    *processInformation = PROCESS_INFORMATION{};
    call.finish(1);
    return 1;
}

}  // namespace win
