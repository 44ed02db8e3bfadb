#pragma once
// getCertificateResponse: the certificate the user chose, and its PIN, for the network that asked.
#include "vel/ipcmsghandlers/SoapResponseHandler.h"

class GetCertificateResponseHandlerImpl : public SoapResponseHandlerImpl {
public:
    using SoapResponseHandlerImpl::SoapResponseHandlerImpl;

protected:
    void handleResponse() override;
};
