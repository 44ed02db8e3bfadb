#pragma once
// What the connection API reads of one network: its name and media for the credential requests
// and the radio rule, and, each time a network state event is written, its details. A network
// object offers this view; the events read it when they are written, so a state event sent again
// shows the network as it is then.
#include <cstdint>
#include <optional>

#include "vel/reference/Proxy.h"
#include "vel/reference/Reference.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"

// The network's association: its access device, the channel, the signal and the link speed.
struct NetworkAssociationDetails {
    ByteArray nadMacAddress;
    std::int32_t channel = 0;
    std::int32_t signalStrengthInDbm = 0;
    std::int32_t speedInMbps = 0;
};

// The adapter the network runs on.
struct NetworkAdapterDetails {
    Ascii adapterName;
    ByteArray adapterMacAddress;
};

struct NetworkDetails {
    // Chooses "authenticating" over "acquiringIpAddress" while the adapter is associated.
    bool flagB = false;
    std::optional<NetworkAssociationDetails> association;
    std::optional<NetworkAdapterDetails> adapter;
    // The address of the network's connection information.
    std::optional<Ascii> ipAddress;
    Ascii serverVerifiedName;
    std::int32_t outerEapMethod = 0;
    std::int32_t innerEapMethod = 0;
    // Why the user's certificate was not sent; 0 when it was, or none was needed.
    std::int32_t credentialFailure = 0;
};

class ConnApiNetworkInterface : public ElementInterface {
public:
    static constexpr std::int32_t MEDIA_WIRELESS = 1;

    virtual Ascii networkName() = 0;
    // 1 wireless.
    virtual std::int32_t mediaType() = 0;
    virtual NetworkDetails details() = 0;

protected:
    ~ConnApiNetworkInterface() = default;
};

class ConnApiNetwork : public Reference {
public:
    ConnApiNetwork() = default;
    explicit ConnApiNetwork(ConnApiNetworkInterface* p) : Reference(p) {}

    Ascii networkName() const { return view()->networkName(); }
    std::int32_t mediaType() const { return view()->mediaType(); }
    NetworkDetails details() const { return view()->details(); }

    ConnApiNetworkInterface* view() const { return static_cast<ConnApiNetworkInterface*>(m); }
};

// A network that may be missing: exists() must be asked before network().
class ConnApiNetworkProxy : public Proxy {
public:
    ConnApiNetworkProxy() = default;
    explicit ConnApiNetworkProxy(const ConnApiNetwork& network) : Proxy(network) {}

    ConnApiNetwork network() const;
    void clear() { *this = ConnApiNetworkProxy(); }
};
