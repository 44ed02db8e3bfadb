#include "vel/ipcmsghandlers/LocationResponseEvent.h"

#include "vel/connapi/XmlLocation.h"
#include "vel/exception/ConversionException.h"
#include "vel/exception/XmlException.h"
#include "vel/ipcmsghandlers/LocationRequestNumbers.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

void LocationResponseEventImpl::writeBody(SoapBodyContext& context) {
    context.setSequenceNumber(LocationRequestNumbers::fullNumberOf(m_response.getSequenceNumber()));
    try {
        Xml_Location::CreateXmlResponseEvent(context, LocationRecord::from(m_response));
        return;
    } catch (const ConversionException& e) {
        e.report();
    } catch (const XmlException& e) {
        e.report();
    }
    context.body().removeChildren();
    Xml_Location::CreateXmlErrorEvent(
        SoapBodyContext(ConnApiMessages::LOCATION_ERROR_EVENT, context.sequenceNumber(), context.body()),
        ConnApiConstants::ERROR_LOCATION);
}

std::int32_t LocationResponseEventImpl::command() {
    return ConnApiMessages::LOCATION_RESPONSE_EVENT;
}
