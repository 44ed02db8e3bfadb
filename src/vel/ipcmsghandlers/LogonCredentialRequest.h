#pragma once
#include "vel/ipcmsghandlers/ConnApiNetwork.h"
#include "vel/ipcmsghandlers/SoapOutgoingMessage.h"

// A request to the logon client for the credentials of the user logging on, for a network that
// connects with them. Its body is the message element alone.
class LogonCredentialRequestImpl : public SoapOutgoingMessageImpl {
public:
    // Opens the single-sign-on credential request for the network.
    explicit LogonCredentialRequestImpl(const ConnApiNetwork& network);

    // Keeps the number as the logon request marker: only an answer carrying it applies.
    void writeBody(SoapBodyContext& context) override;

private:
    ConnApiNetwork m_network;
};
