#pragma once
// An answer of the logon client to the service's logon credential request. It applies only when
// it carries the number of the last such request the service wrote: an older answer changes
// nothing, and the sign-on request stays open for the answer that follows.
#include "vel/ipcmsghandlers/SoapResponseHandler.h"
#include "vel/network/Network.h"

class LogonAnswerHandlerImpl : public SoapResponseHandlerImpl {
public:
    using SoapResponseHandlerImpl::SoapResponseHandlerImpl;

protected:
    void handleResponse() final;
    // Reads the answer; raises when it does not read.
    virtual void read() = 0;
    // Hands the answer to the network the sign-on request is open for.
    virtual void apply(const Network& network) = 0;
};
