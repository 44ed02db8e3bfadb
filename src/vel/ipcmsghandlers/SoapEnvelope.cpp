#include "vel/ipcmsghandlers/SoapEnvelope.h"

#include "vel/connapi/SoapBodyContext.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/exception/XmlException.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessageBounds.h"

namespace {

const char* const TYPE_ATTRIBUTE = "type";
const char* const SEQUENCE_ATTRIBUTE = "sequence";

}  // namespace

SoapEnvelope SoapEnvelope::parse(const Datagram& datagram, bool logErrors) {
    const ConnApiMessageBounds::Verdict verdict = ConnApiMessageBounds::check(datagram.text(), datagram.length());
    if (verdict != ConnApiMessageBounds::Verdict::WITHIN)
        XmlException::raise(__FILE__, __LINE__, ConnApiMessageBounds::text(verdict));
    SoapEnvelope envelope;
    envelope.m_document = std::make_shared<XmlDocument>();
    envelope.m_document->parseMessage(datagram.text(), datagram.length(), logErrors);
    envelope.m_root = envelope.m_document->rootElement();
    envelope.m_classification = classify(envelope.m_root);
    return envelope;
}

SoapEnvelope::Classification SoapEnvelope::classify(const SharedXmlNode& root) {
    Classification classification;
    classification.kind = TextToCommand(root.name());
    if (classification.kind == KIND_ENVELOPE) {
        classification.sequence =
            SoapBodyContext::readSequenceNumber(root.childContent(ConnApiConstants::SEQUENCE_NUMBER_ELEMENT));
        return classification;
    }
    const XmlString type = root.attribute(TYPE_ATTRIBUTE);
    if (!type.isNull()) classification.type = TextToType(type.text());
    const XmlString sequence = root.attribute(SEQUENCE_ATTRIBUTE);
    if (!sequence.isNull()) classification.sequence = SoapBodyContext::readSequenceNumber(sequence.text());
    return classification;
}
