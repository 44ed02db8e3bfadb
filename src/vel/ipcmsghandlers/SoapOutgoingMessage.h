#pragma once
// An event or request of the service's own. Sending it builds the envelope in the message's
// document, numbers it from the one process-wide counter, writes its body and queues it on every
// connected client. Made on demand, sent once, released.
#include <cstdint>

#include "vel/connapi/SoapBodyContext.h"
#include "vel/datagram/Datagram.h"
#include "vel/libxml2/XmlDocument.h"
#include "vel/location/LocationResponse.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"

class SoapOutgoingMessageImpl : public ReferenceImpl {
public:
    // Adds one to the counter and returns it: the first message of a run carries 1.
    virtual std::int32_t nextSequenceNumber();
    // Writes the message element and its children into the context's body.
    virtual void writeBody(SoapBodyContext& context) = 0;
    virtual std::int32_t command() = 0;
    // After the datagram was queued; the requests a later client must still see keep it here.
    virtual void afterSend(const Datagram& datagram);

    // The send path. An error while it runs (an XmlException, ConversionException or
    // ConnectionApiException, a message too long for a frame) is logged and ends it; nothing is
    // retried. The number is used up either way.
    void send();

    // The number the last message took (0 before the first).
    static std::int32_t lastSequenceNumber();

protected:
    XmlDocument m_document;
};

class SoapOutgoingMessage : public Reference {
public:
    // Takes over the new message's reference.
    explicit SoapOutgoingMessage(SoapOutgoingMessageImpl* p);

    void send() const;

    // A locationResponseEvent for a location notice of a port; sent only by send().
    static SoapOutgoingMessage createLocationResponseEvent(const LocationResponse& response);
    // A locationErrorEvent for a port's location error.
    static SoapOutgoingMessage createLocationErrorEvent(std::int32_t requestNumber, std::int32_t errorCode);

    SoapOutgoingMessageImpl* impl() const {
        return static_cast<SoapOutgoingMessageImpl*>(static_cast<ReferenceImpl*>(m));
    }
};

// A logonEvent (the logon state machine's "preLogonDone"); the caller sends it.
SoapOutgoingMessage sendLogonEvent(std::int32_t logonAttemptId, const Ascii& eventType);
// A vpnStateEvent of the VPN state and status; the caller sends it.
SoapOutgoingMessage sendVpnStateEvent(std::int32_t state, std::int32_t status);
