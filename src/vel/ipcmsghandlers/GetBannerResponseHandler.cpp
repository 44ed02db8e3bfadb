#include "vel/ipcmsghandlers/GetBannerResponseHandler.h"

#include "runtime/lum/Log.h"
#include "vel/communication/ClientCommunication.h"
#include "vel/connapi/VpnBodies.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/ipcmsghandlers/GetBannerRequest.h"

void GetBannerResponseHandlerImpl::handleResponse() {
    const bool accepted = VpnBodies::readBannerAccepted(m_context.body());
    ClientCommunication::Instance().forgetRequest(GetBannerRequestImpl::REMEMBERED_AS);
    Configuration configuration = ConnApiEngine::configuration();
    if (configuration.isNull()) {
        logInfo(0, "No active configuration for the banner answer");
        return;
    }
    configuration.vpnManager().bannerResponse(accepted);
}
