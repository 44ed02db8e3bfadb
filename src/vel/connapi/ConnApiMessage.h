#pragma once
// The envelope the service writes around every message, and the message element in it.
#include "vel/connapi/SoapBodyContext.h"
#include "vel/libxml2/XmlDocument.h"
#include "vel/libxml2/XmlParentNode.h"

class ConnApiMessage {
public:
    // Makes the empty document an envelope: SOAP-ENV:Envelope (the SOAP namespace bound to its
    // prefix, the product's namespace the default one, the SOAP encoding style) holding
    // SOAP-ENV:Body, which it returns.
    static SharedXmlNode writeEnvelope(XmlDocument& document);

    // Adds the message element named after the context's command under the parent, with its
    // sequenceNumber child unless it is the fault; returns the message element.
    static XmlParentNode writeHeader(const SharedXmlNode& parent, const SoapBodyContext& context);
    // The same under the context's body.
    static XmlParentNode writeHeaderOnBody(const SoapBodyContext& context);
};

// The body of a message that carries nothing but its sequence number (a reply or an event).
void xmlWriteEmptyResponse(const SoapBodyContext& context);
