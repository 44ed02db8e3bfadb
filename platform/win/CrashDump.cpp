#include "platform/win/CrashDump.h"

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>

namespace win {
namespace {

constexpr size_t PATH_SIZE = 4096;
struct DumpPaths {
    char crash[PATH_SIZE];
    char debug[PATH_SIZE];
};
// The paths may move (a test gives each case its own root): they are rebuilt outside the handler
// into the slot not in use and published with one atomic store, so the handler always reads a
// whole pair. Rebuilding holds the dump mutex, which the handler takes before reading.
DumpPaths PathSlots[2];
std::atomic<DumpPaths*> CurrentPaths{nullptr};
static_assert(std::atomic<DumpPaths*>::is_always_lock_free);
std::atomic_flag DumpBusy = ATOMIC_FLAG_INIT;

constexpr int FATAL_SIGNALS[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
struct sigaction Previous[sizeof FATAL_SIGNALS / sizeof FATAL_SIGNALS[0]];
alignas(16) char AlternateStack[128 * 1024];

constexpr int DUMP_WAIT_MS = 5000;
constexpr int CRASH_PAUSE_MS = 1000;
constexpr int BACKTRACE_FRAMES = 64;

void sleepMs(long ms) {
    struct timespec t = {ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}

bool takeDumpMutex() {
    for (int waited = 0; DumpBusy.test_and_set(std::memory_order_acquire); ++waited) {
        if (waited >= DUMP_WAIT_MS) return false;
        sleepMs(1);
    }
    return true;
}

void releaseDumpMutex() {
    DumpBusy.clear(std::memory_order_release);
}

void put(int fd, const char* text) {
    ssize_t ignored = write(fd, text, strlen(text));
    (void)ignored;
}

void putNumber(int fd, unsigned long value, int base) {
    char digits[32];
    int n = 0;
    do {
        digits[n++] = "0123456789abcdef"[value % static_cast<unsigned>(base)];
        value /= static_cast<unsigned>(base);
    } while (value != 0 && n < 32);
    char out[34];
    int k = 0;
    if (base == 16) {
        out[k++] = '0';
        out[k++] = 'x';
    }
    while (n > 0) out[k++] = digits[--n];
    ssize_t ignored = write(fd, out, static_cast<size_t>(k));
    (void)ignored;
}

const char* signalName(int sig) {
    switch (sig) {
        case SIGSEGV:
            return "SIGSEGV";
        case SIGBUS:
            return "SIGBUS";
        case SIGFPE:
            return "SIGFPE";
        case SIGILL:
            return "SIGILL";
        case SIGABRT:
            return "SIGABRT";
        default:
            return "?";
    }
}

void writeBacktrace(int fd) {
    void* frames[BACKTRACE_FRAMES];
    int count = backtrace(frames, BACKTRACE_FRAMES);
    put(fd, "backtrace:\n");
    backtrace_symbols_fd(frames, count, fd);
}

std::atomic<unsigned long (*)()> ThreadNumber{nullptr};

// The calling thread and its call stack end every dump.
void finishDump(int fd) {
    put(fd, "\nthread: ");
    unsigned long (*number)() = ThreadNumber.load();
    putNumber(fd, number != nullptr ? number() : static_cast<unsigned long>(gettid()), 10);
    put(fd, "\n");
    writeBacktrace(fd);
    close(fd);
}

int openDump(const char* path) {
    // Beside the logs, with their rights: a dump may hold what the service was holding.
    int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0640);
    if (fd < 0) {
        debugOutput("VELCSH: Unable to open minidump file:\n        ");
        debugOutput(path);
        debugOutput("\n");
    }
    return fd;
}

bool looksLikeStackOverflow(int sig, const siginfo_t* info, const void* context) {
#if defined(__x86_64__)
    if (sig != SIGSEGV || info == nullptr || context == nullptr) return false;
    auto* uc = static_cast<const ucontext_t*>(context);
    auto sp = static_cast<unsigned long>(uc->uc_mcontext.gregs[REG_RSP]);
    auto address = reinterpret_cast<unsigned long>(info->si_addr);
    unsigned long distance = address > sp ? address - sp : sp - address;
    return distance < 64 * 1024;
#else
    (void)sig;
    (void)info;
    (void)context;
    return false;
#endif
}

void passOn(int sig, siginfo_t* info, void* context) {
    for (size_t i = 0; i < sizeof FATAL_SIGNALS / sizeof FATAL_SIGNALS[0]; ++i) {
        if (FATAL_SIGNALS[i] != sig) continue;
        const struct sigaction& previous = Previous[i];
        if ((previous.sa_flags & SA_SIGINFO) != 0 && previous.sa_sigaction != nullptr) {
            previous.sa_sigaction(sig, info, context);
            return;
        }
        if ((previous.sa_flags & SA_SIGINFO) == 0 && previous.sa_handler != SIG_DFL &&
            previous.sa_handler != SIG_IGN && previous.sa_handler != nullptr) {
            previous.sa_handler(sig);
            return;
        }
    }
    // The default action follows once the handler returns and the signal is unblocked.
    signal(sig, SIG_DFL);
    raise(sig);
}

void onFatalSignal(int sig, siginfo_t* info, void* context) {
    int savedErrno = errno;
    if (looksLikeStackOverflow(sig, info, context))
        debugOutput("VELCSH: EXCEPTION_STACK_OVERFLOW occurred!\n");
    bool locked = takeDumpMutex();
    DumpPaths* paths = CurrentPaths.load(std::memory_order_acquire);
    int fd = paths != nullptr ? openDump(paths->crash) : -1;
    if (fd >= 0) {
        put(fd, "VELCSH crash dump\nsignal: ");
        putNumber(fd, static_cast<unsigned long>(sig), 10);
        put(fd, " (");
        put(fd, signalName(sig));
        put(fd, ")\naddress: ");
        putNumber(fd, info != nullptr ? reinterpret_cast<unsigned long>(info->si_addr) : 0UL, 16);
        finishDump(fd);
    }
    if (locked) releaseDumpMutex();
    sleepMs(CRASH_PAUSE_MS);
    errno = savedErrno;
    passOn(sig, info, context);
}

void copyPath(char* target, const std::string& path) {
    memcpy(target, path.c_str(), path.size() + 1);
}

}  // namespace

void debugOutput(const char* text) {
    ssize_t ignored = write(STDERR_FILENO, text, strlen(text));
    (void)ignored;
}

bool installCrashDumpHandler() {
    // The first backtrace loads the unwinder; done here so that the handler does not allocate.
    void* frames[4];
    backtrace(frames, 4);
    stack_t stack = {};
    stack.ss_sp = AlternateStack;
    stack.ss_size = sizeof AlternateStack;
    sigaltstack(&stack, nullptr);
    struct sigaction action = {};
    action.sa_sigaction = onFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < sizeof FATAL_SIGNALS / sizeof FATAL_SIGNALS[0]; ++i) {
        struct sigaction replaced = {};
        sigaction(FATAL_SIGNALS[i], &action, &replaced);
        // Installed again: the handler found is this one, and passing a signal on to it would
        // never end. The handler that came before the first installation stays the one to call.
        bool ours = (replaced.sa_flags & SA_SIGINFO) != 0 && replaced.sa_sigaction == onFatalSignal;
        if (!ours) Previous[i] = replaced;
    }
    return true;
}

bool setCrashDumpPaths(const std::string& crash, const std::string& debug) {
    if (crash.size() + 1 > PATH_SIZE || debug.size() + 1 > PATH_SIZE) return false;
    DumpPaths* current = CurrentPaths.load(std::memory_order_acquire);
    if (current != nullptr && crash == current->crash && debug == current->debug) return true;
    DumpPaths* next = current == &PathSlots[0] ? &PathSlots[1] : &PathSlots[0];
    bool locked = takeDumpMutex();
    copyPath(next->crash, crash);
    copyPath(next->debug, debug);
    CurrentPaths.store(next, std::memory_order_release);
    if (locked) releaseDumpMutex();
    return true;
}

std::string crashDumpPath() {
    DumpPaths* paths = CurrentPaths.load(std::memory_order_acquire);
    return paths != nullptr ? std::string(paths->crash) : std::string();
}

std::string debugDumpPath() {
    DumpPaths* paths = CurrentPaths.load(std::memory_order_acquire);
    return paths != nullptr ? std::string(paths->debug) : std::string();
}

void setCrashDumpThreadNumber(unsigned long (*number)()) {
    ThreadNumber = number;
}

void writeDebugDump(const char* reason) {
    bool locked = takeDumpMutex();
    DumpPaths* paths = CurrentPaths.load(std::memory_order_acquire);
    int fd = paths != nullptr ? openDump(paths->debug) : -1;
    if (fd >= 0) {
        put(fd, "VELCSH debug dump\nreason: ");
        put(fd, reason != nullptr ? reason : "?");
        finishDump(fd);
    }
    if (locked) releaseDumpMutex();
}

}  // namespace win
