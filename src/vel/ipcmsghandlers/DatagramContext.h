#pragma once
// A received envelope on its way to the handlers: the datagram, the parsed message and the
// connection it came on, the only one any reply goes to.
#include "vel/connection/Connection.h"
#include "vel/datagram/Datagram.h"
#include "vel/ipcmsghandlers/SoapEnvelope.h"

struct DatagramContext {
    Datagram datagram;
    SoapEnvelope message;
    Connection connection;
};
