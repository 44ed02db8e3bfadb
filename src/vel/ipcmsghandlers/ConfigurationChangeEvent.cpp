#include "vel/ipcmsghandlers/ConfigurationChangeEvent.h"

#include "vel/connapi/ConnApiMessage.h"
#include "vel/xmlconnectionapi/ConnApiCommand.h"

void ConfigurationChangeEventImpl::writeBody(SoapBodyContext& context) {
    xmlWriteEmptyResponse(context);
}

std::int32_t ConfigurationChangeEventImpl::command() {
    return ConnApiCommand::CONFIGURATION_CHANGE_EVENT;
}
