#pragma once
#include "vel/ipcmsghandlers/ConnApiNetwork.h"
#include "vel/ipcmsghandlers/SoapOutgoingMessage.h"

// Asks the user for the PIN of a smart card a network authenticates with.
class GetSmartCardPinRequestImpl : public SoapOutgoingMessageImpl {
public:
    GetSmartCardPinRequestImpl(const ConnApiNetwork& network, const Ascii& groupName,
                               const Ascii& smartCardName)
        : m_network(network), m_groupName(groupName), m_smartCardName(smartCardName) {}

    void writeBody(SoapBodyContext& context) override;
    std::int32_t command() override;

private:
    ConnApiNetwork m_network;
    Ascii m_groupName;
    Ascii m_smartCardName;
};
