#pragma once
// The engine's services for the networks' credential responders: the machine account, the
// internal configuration file and the worker queue that lists and prepares certificates.
#include "vel/network/NetworkCredentialResponder.h"

class NetworkCredentialServices : public NetworkCredentialServicesInterface {
public:
    // Installs the one instance; returns what was installed before.
    static NetworkCredentialServicesInterface* install();
    static void restore(NetworkCredentialServicesInterface* previous);

    void retrieveMachinePassword(NetworkImpl& network) override;
    Ascii computerName() override;
    void writeInternalConfiguration() override;
    // The worker queue when the engine runs one, else the engine's queue.
    void postToImpersonatedQueue(const MessageEvent& event) override;
    bool connectsBeforeLogon() override;
};
