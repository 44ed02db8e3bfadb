#include "vel/ipcmsghandlers/GetBannerRequest.h"

#include "vel/communication/ClientCommunication.h"
#include "vel/connapi/VpnBodies.h"
#include "vel/xmlconnectionapi/ConnApiCommand.h"

void GetBannerRequestImpl::writeBody(SoapBodyContext& context) {
    VpnBodies::writeBannerRequest(context, m_bannerPrompt);
}

std::int32_t GetBannerRequestImpl::command() {
    return ConnApiCommand::GET_BANNER_REQUEST;
}

void GetBannerRequestImpl::afterSend(const Datagram& datagram) {
    ClientCommunication::Instance().rememberRequest(REMEMBERED_AS, datagram);
}
