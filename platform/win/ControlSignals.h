#pragma once
// The one thread that takes the control signals (SIGINT, SIGQUIT, SIGTERM) with sigwait and hands
// them to the console and service control handlers; shared by both stand-ins.
#include "platform/win/ConsoleControl.h"

namespace winsvc::signals {

// Blocks the control signals in the calling thread (and so in every thread it starts later) and
// starts the signal thread once per process. False when the thread cannot be started.
bool start();
// False when a handler is already registered.
bool setServiceHandler(LPHANDLER_FUNCTION_EX handler, void* context);
// The registered service handler; false when there is none.
bool serviceHandler(LPHANDLER_FUNCTION_EX* handler, void** context);
void addConsoleHandler(PHANDLER_ROUTINE handler);
// False when the handler was not added.
bool removeConsoleHandler(PHANDLER_ROUTINE handler);

}  // namespace winsvc::signals
