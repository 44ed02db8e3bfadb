#pragma once

#include "vel/multithread/EventQueueBudget.h"
#include "vel/xmlconnectionapi/ConnApiFrame.h"

class ConnectionConstants {
public:
    // States told to datagram subscribers.
    static constexpr int CONNECTED = 1;
    static constexpr int DISCONNECTED = 2;

    // How many tray programs may be connected at once (the pipe's name is the protocol's).
    static constexpr int PIPE_INSTANCES = 5;

    // Events of one connection that may be in the event queue at once, from posting until they
    // have run: its connected news, the datagrams it received and its disconnected news. Its
    // receive thread reads on only while one more datagram leaves room for the last news.
    static constexpr int MAX_QUEUED_EVENTS = 10;
    // The server accepts a client only while fewer than PIPE_INSTANCES connections have events
    // that may still be queued, so the pipe as a whole keeps within its share.
    static_assert(PIPE_INSTANCES * MAX_QUEUED_EVENTS <= EventQueueBudget::PIPE_SHARE);

    // What may wait to be sent to one client. A client that falls that far behind does not read;
    // it is dropped rather than let the service grow without bound. A waiting datagram weighs its
    // bytes and what keeping it costs besides (its record, its block, its slot in the list), so
    // that many small ones count as well as a few large ones.
    static constexpr int MAX_OUTGOING_BYTES = 8 * ConnApiFrame::MAX_MESSAGE_LENGTH;
    static constexpr int OUTGOING_DATAGRAM_WEIGHT = 256;
};
