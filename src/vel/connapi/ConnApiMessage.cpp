#include "vel/connapi/ConnApiMessage.h"

#include <string>

#include "vel/enumtostring/EnumConversions.h"
#include "vel/string/FormatBuffer.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

namespace {

std::string soapName(const char* localName) {
    return std::string(ConnApiConstants::SOAP_ENV_PREFIX) + ":" + localName;
}

}  // namespace

SharedXmlNode ConnApiMessage::writeEnvelope(XmlDocument& document) {
    // The prefix is part of the element's name, as the attributes below are plain attributes: the
    // text that leaves is what counts, and it declares both namespaces.
    SharedXmlNode envelope = document.addChild(soapName(ConnApiConstants::ENVELOPE_ELEMENT).c_str());
    envelope.setAttribute((std::string("xmlns:") + ConnApiConstants::SOAP_ENV_PREFIX).c_str(),
                          ConnApiConstants::SOAP_ENVELOPE_NAMESPACE_URI);
    envelope.setAttribute("xmlns", ConnApiConstants::NAMESPACE_URI);
    envelope.setAttribute(ConnApiConstants::ENCODING_STYLE_ATTRIBUTE,
                          ConnApiConstants::SOAP_ENCODING_NAMESPACE_URI);
    return envelope.addChild(soapName(ConnApiConstants::BODY_ELEMENT).c_str());
}

XmlParentNode ConnApiMessage::writeHeader(const SharedXmlNode& parent, const SoapBodyContext& context) {
    XmlParentNode message(parent.addChild(ConnApiCommandToText(context.command())));
    if (context.command() != ConnApiMessages::FAULT) {
        FormatBuffer100 number("%d", context.sequenceNumber());
        message.addTextChild(ConnApiConstants::SEQUENCE_NUMBER_ELEMENT, number.text());
    }
    return message;
}

XmlParentNode ConnApiMessage::writeHeaderOnBody(const SoapBodyContext& context) {
    return writeHeader(context.body(), context);
}

void xmlWriteEmptyResponse(const SoapBodyContext& context) {
    ConnApiMessage::writeHeaderOnBody(context);
}
