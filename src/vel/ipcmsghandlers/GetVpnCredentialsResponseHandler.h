#pragma once
// getVpnCredentialsResponse: the VPN gateway's user name and password for the VPN manager.
#include "vel/ipcmsghandlers/SoapResponseHandler.h"

class GetVpnCredentialsResponseHandlerImpl : public SoapResponseHandlerImpl {
public:
    using SoapResponseHandlerImpl::SoapResponseHandlerImpl;

protected:
    void handleResponse() override;
};
