#include "vel/configuration/Policy.h"

#include <vector>

#include "runtime/lum/Log.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/configuration/AuthenticationMethod.h"
#include "vel/configuration/EapMethod.h"
#include "vel/configuration/NetworkGroup.h"
#include "vel/configuration/NetworkNameIndex.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/exception/ConversionException.h"
#include "vel/network/Association.h"
#include "vel/network/Network.h"
#include "vel/reference/HandleOf.h"
#include "vel/string/FormatBuffer.h"

namespace {

// The name of a network's association mode for the log line; a dynamic-WEP network that a user
// added is named as such.
const char* associationModeText(const Network& network, bool dynamicWep, FormatBuffer100& numbers) {
    if (dynamicWep) return Association::DYNAMIC_WEP_TEXT;
    try {
        return AssociationModeToText(network.getAssociationMode(), network.getEncryption());
    } catch (const ConversionException&) {
        numbers.format("(%d, %d)", network.getAssociationMode(), network.getEncryption());
        return numbers.text();
    }
}

}  // namespace

Policy Policy::create() {
    Policy policy;
    static_cast<Reference&>(policy) = Reference(new PolicyImpl, Reference::TAKE_OVER);
    return policy;
}

bool Policy::isEapMethodAllowed(std::int32_t authenticationType) const {
    for (const Reference& entry : networkPolicy().allowedEapMethods().snapshot()) {
        if (handleOf<EapMethod>(entry.m).authenticationType() == authenticationType) return true;
    }
    FormatBuffer100 number;
    logInfo(0, "Disallowed element in configuration: EAP method: %s",
            AuthenticationMethod::typeText(authenticationType, number));
    return false;
}

bool Policy::isMethodAllowed(const AuthenticationMethod& method) const {
    return isEapMethodAllowed(method.authenticationType());
}

bool Policy::areMethodsAllowed(ElementVector methods) const {
    bool allowed = true;
    for (const Reference& entry : methods.snapshot()) {
        if (!isMethodAllowed(handleOf<AuthenticationMethod>(entry.m))) allowed = false;
    }
    return allowed;
}

bool Policy::isAssociationModeAllowed(const Network& network) const {
    std::int32_t mode = network.getAssociationMode();
    std::int32_t encryption = network.getEncryption();
    // Static and dynamic WEP share their pair; for a user's network the entry's name decides.
    bool byName = network.getOrigin() == NetworkImpl::ORIGIN_USER && Association::isWepPair(mode, encryption);
    for (const Reference& entry : networkPolicy().allowedAssociationModes().snapshot()) {
        Association allowed = Association::fromElement(entry.m);
        if (allowed.getAssociationMode() != mode || allowed.getEncryption() != encryption) continue;
        if (byName && allowed.isDynamicWep() != network.getFlagB()) continue;
        return true;
    }
    FormatBuffer100 numbers;
    logInfo(0, "Disallowed element in configuration: Association mode: %s",
            associationModeText(network, byName && network.getFlagB(), numbers));
    return false;
}

bool Policy::checkNetworkAgainstPolicy(const Network& network) const {
    bool allowed = true;
    if (network.getMediaType() == AdapterConstants::MEDIA_TYPE_80211 && !isAssociationModeAllowed(network)) {
        allowed = false;
    }
    // The methods as stored: the top method of each, not the inner ones.
    std::int32_t types = network.getConnectionTypes();
    if ((types == NetworkImpl::CONNECTION_TYPES_USER || types == NetworkImpl::CONNECTION_TYPES_BOTH) &&
        !areMethodsAllowed(
            network.getAuthenticationParameters(AdapterConstants::CONNECTION_USER).authenticationMethods())) {
        allowed = false;
    }
    if ((types == NetworkImpl::CONNECTION_TYPES_MACHINE || types == NetworkImpl::CONNECTION_TYPES_BOTH) &&
        !areMethodsAllowed(network.getAuthenticationParameters(AdapterConstants::CONNECTION_MACHINE)
                               .authenticationMethods())) {
        allowed = false;
    }
    return allowed;
}

bool Policy::checkGroupNetworks(const NetworkGroup& group) const {
    bool allowed = true;
    NameSet earlier;
    for (const Reference& element : group.networkVector().snapshot()) {
        Network network = handleOf<Network>(element.m);
        if (!checkNetworkAgainstPolicy(network)) allowed = false;
        const Ascii name = network.name();
        if (earlier.insert(name)) continue;
        logInfo(0, "Duplicate network name: %s", name.text());
        allowed = false;
    }
    return allowed;
}
