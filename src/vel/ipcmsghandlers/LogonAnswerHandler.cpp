#include "vel/ipcmsghandlers/LogonAnswerHandler.h"

#include "runtime/lum/Log.h"
#include "vel/communication/ClientCommunication.h"
#include "vel/exception/InvalidNetworkException.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/ipcmsghandlers/LogonRequestMarker.h"
#include "vel/ipcmsghandlers/NetworkView.h"

void LogonAnswerHandlerImpl::handleResponse() {
    read();
    ConnApiNetworkProxy open = ConnApiEngine::ssoCredentialNetwork();
    Network network = open.exists() ? NetworkView::networkOf(open.network()) : Network();
    if (network.isNull()) {
        InvalidNetworkException().report();
        return;
    }
    if (m_context.sequenceNumber() != getLogonRequestMarker()) {
        logInfo(0, "Ignoring logon answer %d: the open logon request is %d", m_context.sequenceNumber(),
                getLogonRequestMarker());
        return;
    }
    ClientCommunication::Instance().clearCredentialRequest();
    apply(network);
    ConnApiEngine::setSsoCredentialRequestPending();
    ConnApiEngine::endSsoCredentialRequest();
}
