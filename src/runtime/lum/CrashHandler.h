#pragma once

#include <string>

// Installs the process's crash handler: fatal signals (also a stack overflow, on an alternate
// stack) write a text dump of signal, address and call stack to "<logs>/<program>.dmp" and then
// end the process as the signal would have. Call first thing in main. False when the environment
// could not be prepared (no handler installed then).
bool installCrashHandler();

// Writes the debug dump "<logs>/<program>.dbg.dmp" (overwriting an older one) for a failed
// assertion and returns.
void writeDebugDump(const char* reason);

// Points both dumps into the logs folder of the current run-time root (it may have moved since the
// handler was installed). Not for use inside a signal handler.
void refreshCrashDumpPaths();

// The two dump paths (empty before the environment was prepared).
std::string crashDumpPath();
std::string debugDumpPath();
