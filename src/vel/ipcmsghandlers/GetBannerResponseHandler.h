#pragma once
// getBannerResponse: whether the user accepted the VPN gateway's banner (absent: declined).
#include "vel/ipcmsghandlers/SoapResponseHandler.h"

class GetBannerResponseHandlerImpl : public SoapResponseHandlerImpl {
public:
    using SoapResponseHandlerImpl::SoapResponseHandlerImpl;

protected:
    void handleResponse() override;
};
