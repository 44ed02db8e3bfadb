#pragma once
#include "vel/ipcmsghandlers/ConnApiNetwork.h"
#include "vel/ipcmsghandlers/SoapOutgoingMessage.h"

// The state of a network after its adapter changed state, with what the network knows then.
class NetworkStateEventImpl : public SoapOutgoingMessageImpl {
public:
    NetworkStateEventImpl(std::int32_t adapterState, const ConnApiNetwork& network, const Ascii& groupName)
        : m_adapterState(adapterState), m_network(network), m_groupName(groupName) {}

    void writeBody(SoapBodyContext& context) override;
    std::int32_t command() override;

    // The catalogue's network state of an adapter state (0 to 12); flagB chooses for "associated".
    // Any other state is a broken invariant and reads as stopped.
    static std::int32_t networkStateOf(std::int32_t adapterState, bool flagB);

private:
    std::int32_t m_adapterState;
    ConnApiNetwork m_network;
    Ascii m_groupName;
};
