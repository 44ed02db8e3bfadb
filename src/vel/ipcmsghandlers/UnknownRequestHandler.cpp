#include "vel/ipcmsghandlers/UnknownRequestHandler.h"

#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t UnknownRequestHandlerImpl::handle(const SoapBodyContext&, const SoapBodyContext&) {
    return ConnApiConstants::ERROR_UNKNOWN_REQUEST;
}

std::int32_t UnknownRequestHandlerImpl::replyCommand() {
    return ConnApiMessages::UNKNOWN_REQUEST;
}
