#pragma once

class ConnectionConstants {
public:
    // States told to datagram subscribers.
    static constexpr int CONNECTED = 1;
    static constexpr int DISCONNECTED = 2;

    // How many tray programs may be connected at once (the pipe's name is the protocol's).
    static constexpr int PIPE_INSTANCES = 5;

    // Datagrams of one connection that may wait in the event queue; its receive thread reads on
    // only when fewer wait. With every connection at the limit, the bounded event queue keeps
    // room for the rest of the service.
    static constexpr int MAX_QUEUED_DATAGRAMS = 8;
};
