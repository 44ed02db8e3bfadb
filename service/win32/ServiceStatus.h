#pragma once

#include "platform/win/ServiceControl.h"

// The service's status record as the service control manager sees it, the flags of the process
// (service mode, stop asked for by the manager, RUNNING reported) and the control handler.

// Service main: registers the control handler. Throws WindowsException
// ("RegisterServiceCtrlHandler").
void registerServiceControlHandler();
// Sets the state (and the controls accepted that go with it) and tells the manager. Throws
// WindowsException ("SetServiceStatus").
void reportServiceStatus(winsvc::DWORD state);
winsvc::SERVICE_STATUS currentServiceStatus();

void setServiceMode(bool serviceMode);
bool serviceMode();
bool stopRequestedByManager();

// Reports RUNNING once, in service mode only; the event-queue thread.
void reportServiceRunning();

// The extended control handler: stop and shutdown end the service, power events are logged and a
// resume goes on to the engine as a power event, every other control reports the status again.
// Console runs take the lab's power broadcasts with it too. Returns 0.
winsvc::DWORD serviceControlHandler(winsvc::DWORD control, winsvc::DWORD eventType, void* eventData,
                                    void* context);

// Forgets the flags and the status of a former run (tests run several in one process).
void resetServiceStatus();
