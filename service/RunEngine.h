#pragma once

// Composes the service: creates the scan list, the timer list and the three queues, lets the
// event-queue thread build the engine, starts the timers, opens the pipe server, waits for the
// quit signal and tears everything down in order. Returns 0 after a normal end and 1 after a fatal one
// ("Fatal Shutdown: <version>"), which a pipe server that does not start is too.
int runEngine();

class DatagramSubscriberInterface;

// Makes one more subscriber of the pipe's datagrams, holding one reference for the caller.
using DatagramSubscriberFactory = DatagramSubscriberInterface* (*)();

// A subscriber that runEngine adds to the forwarder after the connection server in place of the
// client communication, and removes again once the event queue has stopped and before the server
// is cancelled. The service sets none; a program that answers on the pipe for tests sets one
// before it starts. Null removes it again.
void setDatagramSubscriberFactory(DatagramSubscriberFactory factory);
