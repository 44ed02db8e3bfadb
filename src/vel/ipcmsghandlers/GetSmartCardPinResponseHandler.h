#pragma once
// getSmartCardPinResponse: the smart card's PIN for the network that asked.
#include "vel/ipcmsghandlers/SoapResponseHandler.h"

class GetSmartCardPinResponseHandlerImpl : public SoapResponseHandlerImpl {
public:
    using SoapResponseHandlerImpl::SoapResponseHandlerImpl;

protected:
    void handleResponse() override;
};
