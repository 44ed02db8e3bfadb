#pragma once
// getUsernameAndPasswordResponse: the user's name and password, or changed password, for the network
// that asked.
#include "vel/ipcmsghandlers/SoapResponseHandler.h"

class GetUsernamePasswordResponseHandlerImpl : public SoapResponseHandlerImpl {
public:
    using SoapResponseHandlerImpl::SoapResponseHandlerImpl;

protected:
    void handleResponse() override;
};
