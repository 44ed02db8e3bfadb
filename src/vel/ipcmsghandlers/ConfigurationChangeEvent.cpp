#include "vel/ipcmsghandlers/ConfigurationChangeEvent.h"

#include "vel/connapi/ConnApiMessage.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

void ConfigurationChangeEventImpl::writeBody(SoapBodyContext& context) {
    xmlWriteEmptyResponse(context);
}

std::int32_t ConfigurationChangeEventImpl::command() {
    return ConnApiMessages::CONFIGURATION_CHANGE_EVENT;
}
