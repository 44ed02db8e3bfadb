#pragma once
// One received pipe message parsed into a document, with what its root element says it is.
#include <cstdint>
#include <memory>

#include "vel/datagram/Datagram.h"
#include "vel/libxml2/XmlDocument.h"

class SoapEnvelope {
public:
    // The kinds of root element (TextToCommand); only an envelope is dispatched.
    static constexpr std::int32_t KIND_RESPONSE = 1;
    static constexpr std::int32_t KIND_REQUEST = 2;
    static constexpr std::int32_t KIND_EVENT = 3;
    static constexpr std::int32_t KIND_CANCEL = 4;
    static constexpr std::int32_t KIND_ENVELOPE = 5;

    struct Classification {
        std::int32_t kind = 0;
        std::int32_t type = 0;
        std::int32_t sequence = 0;
    };

    // Parses the datagram (XmlException when it is out of the protocol's bounds, not XML, or
    // declares a document type) and classifies its root (ConversionException for a root of no
    // known kind). The parser's own error lines are logged only when `logErrors`.
    static SoapEnvelope parse(const Datagram& datagram, bool logErrors = true);
    // Kind from the root's local name; for an envelope the number of its sequenceNumber child, for
    // the other kinds the type and sequence attributes (0 when absent).
    static Classification classify(const SharedXmlNode& root);

    SharedXmlNode root() const { return m_root; }
    std::int32_t kind() const { return m_classification.kind; }
    std::int32_t type() const { return m_classification.type; }
    std::int32_t sequence() const { return m_classification.sequence; }

private:
    SoapEnvelope() = default;

    // Shared so that a context holding the message can be copied; the nodes point into it.
    std::shared_ptr<XmlDocument> m_document;
    SharedXmlNode m_root;
    Classification m_classification;
};
