#pragma once
// The connection API's view of a configured network: what the model holds now (name, media, the
// 802.1X flag, the EAP methods of the state event) and what the adapter it holds reports of its
// association, itself and its address; absent while it holds none.
#include "vel/ipcmsghandlers/ConnApiNetwork.h"
#include "vel/network/Network.h"
#include "vel/reference/ReferenceImpl.h"

class NetworkViewImpl : public ReferenceImpl, public ConnApiNetworkInterface {
public:
    REFERENCE_IMPL_FORWARDS

    explicit NetworkViewImpl(const Network& network) : m_network(network) {}

    Ascii networkName() override;
    std::int32_t mediaType() override;
    NetworkDetails details() override;

    const Network& network() const { return m_network; }

private:
    Network m_network;
};

class NetworkView {
public:
    static ConnApiNetwork of(const Network& network);
    // The configured network behind a view; an empty handle for a network seen otherwise.
    static Network networkOf(const ConnApiNetwork& network);
};
