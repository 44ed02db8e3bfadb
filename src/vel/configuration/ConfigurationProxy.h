#pragma once

#include "vel/configuration/Configuration.h"
#include "vel/reference/HandleOf.h"

// An optional configuration. Setting one makes the holder usable at once.
class ConfigurationProxy : public HandleProxy<Configuration> {
public:
    using HandleProxy<Configuration>::HandleProxy;

    // The configuration; asserts that the holder was tested.
    Configuration configuration() const { return held(); }
    void setConfiguration(const Configuration& configuration) { hold(configuration, "configuration.m"); }
};
