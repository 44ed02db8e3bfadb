#include "vel/connapi/SoapFault.h"

#include <string>

#include "vel/connapi/ConnApiMessage.h"
#include "vel/connapi/ConnApiWriter.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

namespace {

std::string soapName(const char* localName) {
    return std::string(ConnApiConstants::SOAP_ENV_PREFIX) + ":" + localName;
}

}  // namespace

void xmlWriteFault(const SharedXmlNode& body, const SoapFaultRecord& fault) {
    XmlParentNode element =
        ConnApiMessage::writeHeader(body, SoapBodyContext(ConnApiMessages::FAULT, 0, body));
    element.addTextChild(soapName(ConnApiConstants::FAULT_CODE_ELEMENT).c_str(),
                         ConnApiConstants::FAULT_CODE_CLIENT);
    element.addTextChild(soapName(ConnApiConstants::FAULT_STRING_ELEMENT).c_str(),
                         ConnApiCommandToText(fault.command));
    XmlParentNode detail(element.addChild(soapName(ConnApiConstants::FAULT_DETAIL_ELEMENT).c_str()));
    ConnApiWriter::integer(detail, ConnApiConstants::SEQUENCE_NUMBER_ELEMENT, fault.sequenceNumber);
    ConnApiWriter::integer(detail, ConnApiConstants::ERROR_CODE_ELEMENT, fault.errorCode);
    ConnApiWriter::text(detail, ConnApiConstants::ERROR_STRING_ELEMENT, fault.errorText);
}
