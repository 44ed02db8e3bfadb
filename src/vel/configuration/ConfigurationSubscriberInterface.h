#pragma once
// What a configuration tells its followers (the active configuration, the logon state machine and
// the client communication): its top state after each change, and what its networks report.
#include <cstdint>

#include "vel/reference/ElementInterface.h"

class Ascii;
class ElementVector;
class Network;
class VelAdapter;

class ConfigurationSubscriberInterface : public ElementInterface {
public:
    virtual void configurationEvent(std::int32_t state) = 0;
    virtual void networkStateChanged(std::int32_t adapterState, const VelAdapter& adapter,
                                     const Network& network) = 0;
    virtual void configurationCredentialRequest(const Network& network, const ElementVector& certificates,
                                                std::int32_t credentialType, std::int32_t credentialSource,
                                                std::int32_t requestType, const Ascii& prompt) = 0;
    virtual void changePasswordResult(std::int32_t attemptId, std::int32_t result) = 0;
};
