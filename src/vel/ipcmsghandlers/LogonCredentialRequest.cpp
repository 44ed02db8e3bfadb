#include "vel/ipcmsghandlers/LogonCredentialRequest.h"

#include "vel/connapi/ConnApiMessage.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/ipcmsghandlers/LogonRequestMarker.h"

LogonCredentialRequestImpl::LogonCredentialRequestImpl(const ConnApiNetwork& network) : m_network(network) {
    ConnApiEngine::beginSsoCredentialRequest(network);
}

void LogonCredentialRequestImpl::writeBody(SoapBodyContext& context) {
    setLogonRequestMarker(context.sequenceNumber());
    xmlWriteEmptyResponse(context);
}
