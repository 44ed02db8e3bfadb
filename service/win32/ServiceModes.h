#pragma once

#include "platform/win/ServiceControl.h"

// The modes of the command line. Each returns 0 when its work was done and 1 when it failed.
int runServiceMode(int argc, char** argv);
void printUsage();
int installService();
int uninstallService();
int runConsole();

// Polls the service's status once a second, printing "." each time, until it is RUNNING (true),
// or until it has STOPPED or the time-out has passed (false). Throws WindowsException
// ("QueryServiceStatus").
bool waitUntilRunning(winsvc::SC_HANDLE service, int timeoutS);
