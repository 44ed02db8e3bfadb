#pragma once
#include "vel/ipcmsghandlers/SoapOutgoingMessage.h"

// The location service's answer to a getLocationRequest, carrying that request's number.
class LocationResponseEventImpl : public SoapOutgoingMessageImpl {
public:
    explicit LocationResponseEventImpl(const LocationResponse& response) : m_response(response) {}

    // An answer the writer cannot finish goes as a locationErrorEvent of the same number
    // (ConnApiConstants::ERROR_LOCATION), never cut short.
    void writeBody(SoapBodyContext& context) override;
    std::int32_t command() override;

private:
    LocationResponse m_response;
};
