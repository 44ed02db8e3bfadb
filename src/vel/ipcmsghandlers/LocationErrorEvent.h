#pragma once
#include "vel/ipcmsghandlers/SoapOutgoingMessage.h"

// The location service could not answer a getLocationRequest.
class LocationErrorEventImpl : public SoapOutgoingMessageImpl {
public:
    // requestNumber: the 16-bit number the location service gives back.
    LocationErrorEventImpl(std::int32_t requestNumber, std::int32_t errorCode)
        : m_requestNumber(requestNumber), m_errorCode(errorCode) {}

    void writeBody(SoapBodyContext& context) override;
    std::int32_t command() override;

private:
    std::int32_t m_requestNumber;
    std::int32_t m_errorCode;
};
