#pragma once
// The lab: the one simulated thing below the stand-ins. It holds the world read from the lab file,
// the lab thread and clock on which every callback of a stand-in runs, the commands of run/lab and
// the calls record (LabCalls.h) with failure injection (platform/base/FailureInjection.h).
//
// A stand-in acquires the lab while it serves (qxInit to qxExit), reads and changes the world under
// mutex(), schedules its callbacks with schedule(), listens to world changes with addListener() and
// adds its run/lab commands with addCommand().
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/lab/LabCalls.h"
#include "platform/lab/LabHostAllocator.h"
#include "platform/lab/LabScheduler.h"
#include "platform/lab/LabSocket.h"
#include "platform/lab/LabWorld.h"

namespace lab {

// A run/lab command: the words of its line (the command word first). Answers "" when it worked,
// else the reason; it may add lines to `output`, which go out before "ok".
using CommandHandler = std::function<std::string(const std::vector<std::string>& words, std::string* output)>;

class Lab {
public:
    static Lab& instance();

    // The first acquire reads the lab file (labFilePath()), applies its <fail> elements, schedules
    // its <at> commands and starts the lab thread and run/lab (neither in manual mode). False with
    // "<file>:<line>: <reason>" when the lab cannot be used; it then stays stopped.
    bool acquire(std::string* error);
    // The last release stops the lab thread, drops the actions not run, empties the world and
    // removes run/lab.
    void release();
    bool running() const;

    // Manual mode, for tests: set while the lab is stopped. The clock starts at 0 and moves only
    // with advance(); actions run only in pump() and advance(), on the test's thread.
    void setManual(bool manual);
    bool manual() const;
    void pump();
    void advance(int64_t ms);

    // Milliseconds since the lab started.
    int64_t now() const { return m_scheduler.now(); }
    // Runs the action on the lab thread after delayMs (0: as soon as it can). Callbacks of the
    // stand-ins go through here, so that they always come on the lab thread.
    void schedule(int64_t delayMs, Action action) { m_scheduler.schedule(delayMs, std::move(action)); }
    bool onLabThread() const { return m_scheduler.onLabThread(); }
    size_t pendingActions() const { return m_scheduler.pending(); }

    // The world, read and changed under the lab's lock (a recursive mutex).
    std::recursive_mutex& mutex() { return m_mutex; }
    World& world() { return m_world; }

    // Listeners hear the element name of every change a command made to the world, under the
    // lab's lock; they schedule what the change sets off. Returns an id for removeListener.
    int addListener(std::function<void(const std::string& element)> listener);
    void removeListener(int id);

    // Adds or replaces a command.
    void addCommand(const std::string& word, CommandHandler handler);
    // Runs one command line under the lab's lock: its output lines, then "ok" or "error: <reason>".
    std::string command(const std::string& line);

    // "<root>/run/lab".
    static std::string socketPath();

private:
    // An <at> command of the lab file, with where the file has it.
    struct TimedCommand {
        std::string line;
        std::string where;
    };

    Lab();
    void changed(const std::string& element);
    void runTimed(const TimedCommand& timed);
    static void reportTimed(const TimedCommand& timed, const std::string& answer);
    void startFromWorld();
    std::string addElement(const std::vector<std::string>& words);
    std::string setElement(const std::vector<std::string>& words);
    std::string removeElement(const std::vector<std::string>& words);
    std::string fail(const std::vector<std::string>& words);
    std::string calls(const std::vector<std::string>& words, std::string* output);

    mutable std::recursive_mutex m_mutex;
    World m_world;
    Scheduler m_scheduler;
    LabSocket m_socket;
    int m_users = 0;
    bool m_manual = false;
    int m_nextListener = 1;
    std::map<int, std::function<void(const std::string&)>> m_listeners;
    // Commands may be added while a program runs, yet live as long as it: on the host heap.
    std::map<std::string, CommandHandler, std::less<>,
             HostAllocator<std::pair<const std::string, CommandHandler>>>
        m_commands;
    // Timed commands that came before the stand-in that adds their command.
    std::vector<TimedCommand> m_waitingForCommand;
};

// Splits a command line into words at blanks; "double quotes" keep blanks inside a word.
std::vector<std::string> commandWords(const std::string& line);

}  // namespace lab

// For stand-ins loaded by name (the trust agent, the VPN library): they must not link a lab (or a
// failure registry) of their own, so they look these up in the program that loaded them with
// dlsym(RTLD_DEFAULT, ...); a program that loads them exports its symbols (ENABLE_EXPORTS).
extern "C" {
// 1, with the code, when the next call of `function` is to fail (LabCalls.h's Call does this).
int tamsel_lab_injected_failure(const char* function, int* code);
void tamsel_lab_record_call(const char* line);
}
