#pragma once
// What a configuration asks of the matchmaker: to take a network as the next of its media type,
// which media types the policy allows, and whether the client is enabled. The engine installs the
// matchmaker; with none installed the calls do nothing and the client counts as enabled.
#include <cstdint>

#include "vel/reference/ElementInterface.h"
#include "vel/reference/Installed.h"

class Network;

class ConfigurationMatchmakerInterface : public ElementInterface {
public:
    virtual void addNetwork(const Network& network) = 0;
    virtual void addMediaTypeSupport(std::int32_t mediaType) = 0;
    virtual void removeMediaTypeSupport(std::int32_t mediaType) = 0;
    virtual bool isClientEnabled() = 0;
};

using InstalledConfigurationMatchmaker = InstalledObject<ConfigurationMatchmakerInterface>;

// The calls a configuration makes, each to the installed matchmaker when there is one.
class ConfigurationMatchmaker {
public:
    static void addNetwork(const Network& network);
    static void addMediaTypeSupport(std::int32_t mediaType);
    static void removeMediaTypeSupport(std::int32_t mediaType);
    static bool isClientEnabled();
};
