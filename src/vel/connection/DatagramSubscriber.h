#pragma once
// Told of each connection that comes and goes and of each datagram it receives.
#include "vel/reference/ElementInterface.h"

class Connection;
class Datagram;

class DatagramSubscriberInterface : public ElementInterface {
public:
    // state: ConnectionConstants::CONNECTED or DISCONNECTED.
    virtual void connectionStateChanged(const Connection& connection, int state) = 0;
    virtual void datagramReceived(const Connection& connection, const Datagram& datagram) = 0;
};
