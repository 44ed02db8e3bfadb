#include "vel/ipcmsghandlers/SoapEnvelope.h"

#include "vel/connapi/SoapBodyContext.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"

namespace {

const char* const TYPE_ATTRIBUTE = "type";
const char* const SEQUENCE_ATTRIBUTE = "sequence";

}  // namespace

SoapEnvelope SoapEnvelope::parse(const Datagram& datagram) {
    SoapEnvelope envelope;
    envelope.m_document = std::make_shared<XmlDocument>();
    envelope.m_document->parseMessage(datagram.text(), datagram.length());
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
