#pragma once

#include "vel/connection/DatagramSubscriber.h"
#include "vel/reference/ReferenceImpl.h"

// Sends every datagram back on the connection it came from, on the engine thread, so that a test
// outside the service can see what the service received and from whom.
//
// The datagram HOLD_TEXT is echoed too, and then keeps the engine thread busy until one byte
// arrives through the FIFO HOLD_FIFO below the root: what the connections receive meanwhile piles
// up in front of the engine, as behind a slow request.
class ServiceEchoSubscriberImpl : public ReferenceImpl, public DatagramSubscriberInterface {
public:
    static constexpr const char* HOLD_TEXT = "<hold/>";
    static constexpr const char* HOLD_FIFO = "hold";

    REFERENCE_IMPL_FORWARDS

    void connectionStateChanged(const Connection& connection, int state) override;
    void datagramReceived(const Connection& connection, const Datagram& datagram) override;

    // For the service's start-up: a new subscriber with one reference for the caller.
    static DatagramSubscriberInterface* create();
};
