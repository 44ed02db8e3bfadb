#pragma once

// The way every control handler tells the run body to stop. The quit signal exists only while the
// main thread waits on it, but a stop can come at any time from the start: a request before the
// signal exists is kept and wakes the wait at once.
class ServiceQuit {
public:
    // Any thread, any time.
    static void request();
    // True once a stop was asked for in this run.
    static bool requested();

    // The main thread, right after the quit signal was created: sets it when a stop came earlier.
    static void signalCreated();
    // The main thread, before the quit signal is released: later requests are only kept.
    static void signalReleasing();

    // A new run of the body starts with no request.
    static void reset();
};
