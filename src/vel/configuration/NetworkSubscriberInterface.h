#pragma once
// What a network tells the object that follows it (the configuration that started it): its
// access state, the state of the adapter it holds, its requests for credentials from a user and
// the results of a password change.
#include <cstdint>

#include "vel/reference/ElementInterface.h"

class Ascii;
class ElementVector;
class Network;
class VelAdapter;

class NetworkSubscriberInterface : public ElementInterface {
public:
    virtual void networkAccessStateChanged(std::int32_t accessState, const Network& network) = 0;
    virtual void networkStateChanged(std::int32_t adapterState, const VelAdapter& adapter,
                                     const Network& network) = 0;
    // The certificates offered (credential type 3) or the selected one (type 4); the prompt may be
    // empty.
    virtual void networkCredentialRequest(const Network& network, const ElementVector& certificates,
                                          std::int32_t credentialType, std::int32_t credentialSource,
                                          std::int32_t requestType, const Ascii& prompt) = 0;
    virtual void changePasswordResult(std::int32_t attemptId, std::int32_t result) = 0;
};
