#ifndef TAMSEL_SERVICE_RUNENGINE_H
#define TAMSEL_SERVICE_RUNENGINE_H

// Composes the service: creates the timer list and the three queues, lets the event-queue thread
// build the engine, starts the timers, opens the pipe server, waits for the quit signal and tears
// everything down in order. Returns 0 after a normal end and 1 after a fatal one ("Fatal Shutdown:
// <version>"), which a pipe server that does not start is too.
int runEngine();

#endif
