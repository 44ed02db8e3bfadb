#ifndef TAMSEL_SERVICE_ENGINEHOLDER_H
#define TAMSEL_SERVICE_ENGINEHOLDER_H

// Holds one reference to each engine object of the service for the life of the event-queue
// thread. It is built there before the first event, so that every state machine is created on the
// thread that later runs it, and torn down there after the last. Each engine object joins the
// holder when its subsystem is part of the service.
class EngineHolder {
public:
    // Event-queue thread: creates the members, starts the authentication library and subscribes
    // the members to each other, in that order.
    static EngineHolder* build();

    // Event-queue thread: stops the members and releases them, the last built first.
    void tearDown();
};

#endif
