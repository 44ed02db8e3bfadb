#pragma once
// Stand-in for the unhandled-exception filter and the minidump writer: fatal signals (a stack
// overflow too, on an alternate stack) write a text dump of signal, address, thread and call
// stack to the crash dump file, then end the process as the signal would have, after the handler
// that came before. Nothing in the handler allocates: the paths are prepared beforehand.
#include <string>

namespace win {

// Loads what the handler needs (the unwinder) and installs it for the fatal signals. Installing
// again keeps the handler found before the first installation as the one to pass signals to.
bool installCrashDumpHandler();

// Where the dumps go from now on; false (nothing changed) when a path is too long.
bool setCrashDumpPaths(const std::string& crash, const std::string& debug);
std::string crashDumpPath();
std::string debugDumpPath();

// How dumps number the calling thread (as the program's log lines do); the kernel's number until
// set. The function must be safe in a signal handler.
void setCrashDumpThreadNumber(unsigned long (*number)());

// Writes the debug dump (reason, thread, call stack), overwriting an older one, and returns.
void writeDebugDump(const char* reason);

// OutputDebugString: a line for whoever watches the program's standard error. Safe in a signal
// handler.
void debugOutput(const char* text);

}  // namespace win
