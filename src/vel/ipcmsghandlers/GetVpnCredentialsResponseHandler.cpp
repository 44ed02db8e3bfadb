#include "vel/ipcmsghandlers/GetVpnCredentialsResponseHandler.h"

#include "runtime/lum/Log.h"
#include "vel/communication/ClientCommunication.h"
#include "vel/connapi/VpnBodies.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/ipcmsghandlers/GetVpnCredentialsRequest.h"

void GetVpnCredentialsResponseHandlerImpl::handleResponse() {
    const VpnCredentialsAnswerRecord answer = VpnBodies::readVpnCredentialsResponse(m_context.body());
    ClientCommunication::Instance().forgetRequest(GetVpnCredentialsRequestImpl::REMEMBERED_AS);
    Configuration configuration = ConnApiEngine::configuration();
    if (configuration.isNull()) {
        logInfo(0, "No active configuration for the VPN credentials");
        return;
    }
    configuration.vpnManager().sendCredentials(answer.username, answer.password);
}
