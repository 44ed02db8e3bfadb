#include "vel/ipcmsghandlers/GetCertificateResponseHandler.h"

#include "vel/connapi/CredentialBodies.h"
#include "vel/ipcmsghandlers/ConnApiCredentials.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/ipcmsghandlers/CredentialAnswer.h"

void GetCertificateResponseHandlerImpl::handleResponse() {
    const CertificateAnswerRecord answer = CredentialBodies::readCertificateResponse(m_context.body());
    Configuration configuration;
    Network network;
    if (!CredentialAnswer::reach(answer.groupName, answer.networkName, configuration, network)) return;
    ConnApiCredentials::setCredentialOnAdapter(network, answer.certificateHash, answer.pin);
    ConnApiEngine::writeInternalConfiguration();
}
