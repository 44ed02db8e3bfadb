#include "vel/ipcmsghandlers/GetSmartCardPinResponseHandler.h"

#include "vel/connapi/CredentialBodies.h"
#include "vel/ipcmsghandlers/ConnApiCredentials.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/ipcmsghandlers/CredentialAnswer.h"

void GetSmartCardPinResponseHandlerImpl::handleResponse() {
    const SmartCardPinAnswerRecord answer = CredentialBodies::readSmartCardPinResponse(m_context.body());
    Configuration configuration;
    Network network;
    if (!CredentialAnswer::reach(answer.groupName, answer.networkName, configuration, network)) return;
    ConnApiCredentials::applyCredential(network, answer.pin);
    ConnApiEngine::writeInternalConfiguration();
}
