#pragma once
#include "vel/ipcmsghandlers/ConnApiNetwork.h"
#include "vel/ipcmsghandlers/SoapOutgoingMessage.h"

// Asks the user for a user name and password (or one of them, or a new password) for a network.
class GetUsernamePasswordRequestImpl : public SoapOutgoingMessageImpl {
public:
    // requestType: RequestTypeToText's values; the text is the prompt of types 1 to 3.
    GetUsernamePasswordRequestImpl(const ConnApiNetwork& network, const Ascii& groupName,
                                   std::int32_t requestType, const Ascii& requestText)
        : m_network(network),
          m_groupName(groupName),
          m_requestType(requestType),
          m_requestText(requestText) {}

    void writeBody(SoapBodyContext& context) override;
    std::int32_t command() override;

private:
    ConnApiNetwork m_network;
    Ascii m_groupName;
    std::int32_t m_requestType;
    Ascii m_requestText;
};
