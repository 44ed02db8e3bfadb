#pragma once
#include "vel/ipcmsghandlers/SoapOutgoingMessage.h"

// The configuration or the user's part of it changed: clients read it again.
class ConfigurationChangeEventImpl : public SoapOutgoingMessageImpl {
public:
    void writeBody(SoapBodyContext& context) override;
    std::int32_t command() override;
};
