#pragma once

#include <cstdint>

#include "vel/reference/ElementInterface.h"

class CredentialResponderInterface;
class VelAdapter;

// Follows an adapter: the network that holds it and the matchmaker.
class AdapterSubscriberInterface : public ElementInterface {
public:
    virtual void eapStatus(const VelAdapter& adapter, std::int32_t status) = 0;
    // Every state change of the adapter, with the reason of an authentication failure (else 0).
    virtual void adapterStateChanged(const VelAdapter& adapter, std::int32_t state, std::int32_t reason) = 0;
    // What answers the authentication library's credential requests of the adapter: the network
    // that holds it, while it holds it; null for every other subscriber.
    virtual CredentialResponderInterface* credentialResponderForAdapter(const VelAdapter&) { return nullptr; }

protected:
    ~AdapterSubscriberInterface() = default;
};
