#include "vel/ipcmsghandlers/GetLogonSmartCardPinRequest.h"

#include "vel/xmlconnectionapi/ConnApiCommand.h"

std::int32_t GetLogonSmartCardPinRequestImpl::command() {
    return ConnApiCommand::GET_LOGON_SMART_CARD_PIN_REQUEST;
}
