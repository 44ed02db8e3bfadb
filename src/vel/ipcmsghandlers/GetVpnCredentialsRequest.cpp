#include "vel/ipcmsghandlers/GetVpnCredentialsRequest.h"

#include "vel/communication/ClientCommunication.h"
#include "vel/connapi/VpnBodies.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

void GetVpnCredentialsRequestImpl::writeBody(SoapBodyContext& context) {
    VpnBodies::writeVpnCredentialsRequest(context, m_usernamePrompt, m_passwordPrompt);
}

std::int32_t GetVpnCredentialsRequestImpl::command() {
    return ConnApiMessages::GET_VPN_CREDENTIALS_REQUEST;
}

void GetVpnCredentialsRequestImpl::afterSend(const Datagram& datagram) {
    ClientCommunication::Instance().rememberRequest(REMEMBERED_AS, datagram);
}
