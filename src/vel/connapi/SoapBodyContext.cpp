#include "vel/connapi/SoapBodyContext.h"

#include "vel/enumtostring/EnumConversions.h"
#include "vel/exception/ConversionException.h"
#include "vel/xml/XmlSchema.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

SoapBodyContext SoapBodyContext::fromElement(const SharedXmlNode& element) {
    std::int32_t command = ConnApiMessages::UNKNOWN_REQUEST;
    try {
        command = TextToConnApiCommand(element.name());
    } catch (const ConversionException& e) {
        e.report();
    }
    return SoapBodyContext(
        command, readSequenceNumber(element.childContent(ConnApiConstants::SEQUENCE_NUMBER_ELEMENT)),
        element);
}

std::int32_t SoapBodyContext::readSequenceNumber(const char* text) {
    return vel::xmlParseInt(text);
}
