#pragma once
// What every message writer and handler works on: the message's command number, its sequence
// number and its body element. For a received message the body is the message element itself;
// for one being written it is the SOAP-ENV:Body the message element goes into.
#include <cstdint>

#include "vel/libxml2/SharedXmlNode.h"

class SoapBodyContext {
public:
    SoapBodyContext(std::int32_t command, std::int32_t sequenceNumber, const SharedXmlNode& body)
        : m_command(command), m_sequenceNumber(sequenceNumber), m_body(body) {}

    // The context of one received body element: its command from the local name (any prefix is
    // ignored; a name outside the table is logged and becomes unknownRequest) and the number of its
    // sequenceNumber child (0 without one).
    static SoapBodyContext fromElement(const SharedXmlNode& element);
    // The number as the service reads it: strtol with automatic base, saturating at the ends of
    // the 32-bit range; no digits give 0.
    static std::int32_t readSequenceNumber(const char* text);

    std::int32_t command() const { return m_command; }
    std::int32_t sequenceNumber() const { return m_sequenceNumber; }
    // The location events answer with the number of the request instead of their own.
    void setSequenceNumber(std::int32_t number) { m_sequenceNumber = number; }
    const SharedXmlNode& body() const { return m_body; }

private:
    std::int32_t m_command;
    std::int32_t m_sequenceNumber;
    SharedXmlNode m_body;
};
