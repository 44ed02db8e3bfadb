#pragma once

class ConnectionConstants {
public:
    // States told to datagram subscribers.
    static constexpr int CONNECTED = 1;
    static constexpr int DISCONNECTED = 2;

    // The pipe the tray programs connect to, and how many may be connected at once.
    static constexpr const char* PIPE_NAME = "vel";
    static constexpr int PIPE_INSTANCES = 5;

    // Datagrams of one connection that may wait in the event queue; its receive thread reads on
    // only when fewer wait. With every connection at the limit, the bounded event queue keeps
    // room for the rest of the service.
    static constexpr int MAX_QUEUED_DATAGRAMS = 8;
};
