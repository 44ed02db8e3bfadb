#include "vel/ipcmsghandlers/GetLogonSmartCardPinRequest.h"

#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t GetLogonSmartCardPinRequestImpl::command() {
    return ConnApiMessages::GET_LOGON_SMART_CARD_PIN_REQUEST;
}
