#include "vel/ipcmsghandlers/LocationErrorEvent.h"

#include "vel/connapi/XmlLocation.h"
#include "vel/ipcmsghandlers/LocationRequestNumbers.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

void LocationErrorEventImpl::writeBody(SoapBodyContext& context) {
    context.setSequenceNumber(
        LocationRequestNumbers::fullNumberOf(static_cast<std::uint16_t>(m_requestNumber)));
    Xml_Location::CreateXmlErrorEvent(context, m_errorCode);
}

std::int32_t LocationErrorEventImpl::command() {
    return ConnApiMessages::LOCATION_ERROR_EVENT;
}
