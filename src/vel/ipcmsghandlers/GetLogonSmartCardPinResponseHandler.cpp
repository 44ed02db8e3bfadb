#include "vel/ipcmsghandlers/GetLogonSmartCardPinResponseHandler.h"

#include "vel/connapi/CredentialBodies.h"
#include "vel/ipcmsghandlers/ConnApiCredentials.h"

void GetLogonSmartCardPinResponseHandlerImpl::read() {
    m_pin = CredentialBodies::readLogonSmartCardPin(m_context.body());
}

void GetLogonSmartCardPinResponseHandlerImpl::apply(const Network& network) {
    ConnApiCredentials::applyCredential(network, m_pin);
}
