#include "vel/ipcmsghandlers/GetBannerRequest.h"

#include "vel/communication/ClientCommunication.h"
#include "vel/connapi/VpnBodies.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

void GetBannerRequestImpl::writeBody(SoapBodyContext& context) {
    VpnBodies::writeBannerRequest(context, m_bannerPrompt);
}

std::int32_t GetBannerRequestImpl::command() {
    return ConnApiMessages::GET_BANNER_REQUEST;
}

void GetBannerRequestImpl::afterSend(const Datagram& datagram) {
    ClientCommunication::Instance().rememberRequest(REMEMBERED_AS, datagram);
}
