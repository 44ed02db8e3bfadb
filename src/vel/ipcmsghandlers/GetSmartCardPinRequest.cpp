#include "vel/ipcmsghandlers/GetSmartCardPinRequest.h"

#include "vel/connapi/CredentialBodies.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

void GetSmartCardPinRequestImpl::writeBody(SoapBodyContext& context) {
    CredentialBodies::writeSmartCardPinRequest(context, m_groupName, m_network.networkName(),
                                               m_smartCardName);
}

std::int32_t GetSmartCardPinRequestImpl::command() {
    return ConnApiMessages::GET_SMART_CARD_PIN_REQUEST;
}
