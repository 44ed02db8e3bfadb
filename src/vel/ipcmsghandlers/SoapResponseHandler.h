#pragma once
// An answer to one of the service's own requests: handled, never answered.
#include "vel/ipcmsghandlers/SoapBodyHandler.h"

class SoapResponseHandlerImpl : public SoapBodyHandlerImpl {
public:
    using SoapBodyHandlerImpl::SoapBodyHandlerImpl;

    // Runs handleResponse; whatever it raises is logged and the answer dropped (an answer that
    // does not read as internal error 207 or 103), so the rest of the envelope is still handled.
    void process() final;

protected:
    virtual void handleResponse() = 0;
};
