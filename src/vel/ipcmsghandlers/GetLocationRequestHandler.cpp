#include "vel/ipcmsghandlers/GetLocationRequestHandler.h"

#include "vel/connapi/ConnApiMessage.h"
#include "vel/connapi/XmlLocation.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/ipcmsghandlers/LocationRequestNumbers.h"
#include "vel/location/LocationRequest.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t GetLocationRequestHandlerImpl::handle(const SoapBodyContext& request,
                                                   const SoapBodyContext& reply) {
    const LocationRequestRecord record = Xml_Location::ReadRequest(request.body());
    NetworkProxy connected = ConnApiEngine::activeConfiguration().connectedNetwork();
    if (!connected.exists()) return ConnApiConstants::ERROR_LOCATION;
    ConnApiAdapter adapter = ConnApiEngine::adapterOf(connected.network());
    if (adapter.isNull()) return ConnApiConstants::ERROR_LOCATION;
    LocationRequest location = LocationRequest::create(
        request.sequenceNumber(), record.format, record.secureResponseOnly, record.encoding,
        record.digitalSignature, record.locationId, record.resolution);
    if (!adapter.requestLocation(location)) return ConnApiConstants::ERROR_LOCATION;
    LocationRequestNumbers::record(request.sequenceNumber());
    xmlWriteEmptyResponse(reply);
    return 0;
}

std::int32_t GetLocationRequestHandlerImpl::replyCommand() {
    return ConnApiMessages::GET_LOCATION_RESPONSE;
}
