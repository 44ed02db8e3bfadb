#pragma once
// Stand-in for the console control handler: Ctrl+C arrives as SIGINT and Ctrl+Break as SIGQUIT,
// taken on a thread of their own (never inside a signal handler) and handed to the handlers, the
// last added first. When no handler takes an event the process ends as the signal would end it.
// SIGTERM goes to the service control handler when one is registered, else it reaches the console
// handlers as CTRL_CLOSE_EVENT.
#include "platform/win/ServiceControl.h"

namespace winsvc {

constexpr DWORD CTRL_C_EVENT = 0;
constexpr DWORD CTRL_BREAK_EVENT = 1;
constexpr DWORD CTRL_CLOSE_EVENT = 2;

using PHANDLER_ROUTINE = BOOL (*)(DWORD ctrlType);

BOOL SetConsoleCtrlHandler(PHANDLER_ROUTINE handler, BOOL add);

}  // namespace winsvc
