#include "vel/configuration/ConfigurationMatchmaker.h"

void ConfigurationMatchmaker::addNetwork(const Network& network) {
    Reference matchmaker = InstalledConfigurationMatchmaker::get();
    if (!matchmaker.isNull()) InstalledConfigurationMatchmaker::of(matchmaker)->addNetwork(network);
}

void ConfigurationMatchmaker::addMediaTypeSupport(std::int32_t mediaType) {
    Reference matchmaker = InstalledConfigurationMatchmaker::get();
    if (!matchmaker.isNull())
        InstalledConfigurationMatchmaker::of(matchmaker)->addMediaTypeSupport(mediaType);
}

void ConfigurationMatchmaker::removeMediaTypeSupport(std::int32_t mediaType) {
    Reference matchmaker = InstalledConfigurationMatchmaker::get();
    if (!matchmaker.isNull())
        InstalledConfigurationMatchmaker::of(matchmaker)->removeMediaTypeSupport(mediaType);
}

bool ConfigurationMatchmaker::isClientEnabled() {
    Reference matchmaker = InstalledConfigurationMatchmaker::get();
    return matchmaker.isNull() || InstalledConfigurationMatchmaker::of(matchmaker)->isClientEnabled();
}
