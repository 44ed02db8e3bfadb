#include "vel/configuration/Configuration.h"

#include <vector>

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/configuration/ConfigurationMatchmaker.h"
#include "vel/configuration/MetaConnection.h"
#include "vel/configuration/NetworkNameIndex.h"
#include "vel/exception/InvalidGroupException.h"
#include "vel/exception/InvalidNetworkException.h"
#include "vel/reference/HandleOf.h"

namespace {

ConfigurationSubscriberInterface* subscriberOf(const Reference& element) {
    return static_cast<ConfigurationSubscriberInterface*>(element.m);
}

}  // namespace

ConfigurationImpl::ConfigurationImpl(const Ascii& name) : m_name(name) {}

NetworkGroup ConfigurationImpl::heldGroup(NetworkGroupProxy proxy) {
    return proxy.exists() ? proxy.networkGroup() : NetworkGroup();
}

void ConfigurationImpl::clearReferences() {
    stopNetworks();
    m_stateMachine.clear();
    cancelManualConnection();
    m_subscribers.clear();
    // The VPN machines' timers hold them; they go with the configuration.
    m_vpnManager.impl()->clearReferences();
}

// --- Choosing groups ---

void ConfigurationImpl::findGlobalGroup() {
    for (const Reference& element : m_groups.snapshot()) {
        NetworkGroup currentGroup = handleOf<NetworkGroup>(element.m);
        if (!currentGroup.isGlobal()) continue;
        if (m_globalGroupProxy.exists()) {
            LUM_ASSERT_TEXT(currentGroup == m_globalGroupProxy.networkGroup(),
                            "currentGroup == m_globalGroupProxy.networkGroup()");
            continue;
        }
        LUM_ASSERT_TEXT(m_stateMachine.state() == VelStateMachineImpl::STOPPED,
                        "getState() == Configuration::STOPPED");
        m_globalGroupProxy.setNetworkGroup(currentGroup);
    }
}

void ConfigurationImpl::selectActiveGroup() {
    if (m_activeGroupProxy.exists()) return;
    for (const Reference& element : m_groups.snapshot()) {
        NetworkGroup group = handleOf<NetworkGroup>(element.m);
        if (group.isGlobal()) continue;
        m_activeGroupProxy.setNetworkGroup(group);
        return;
    }
}

void ConfigurationImpl::setGroups(const ElementVector& groups) {
    LUM_ASSERT_TEXT(m_stateMachine.state() == VelStateMachineImpl::STOPPED,
                    "getState() == Configuration::STOPPED");
    m_activeGroupProxy.clear();
    m_globalGroupProxy.clear();
    m_groups = groups;
    findGlobalGroup();
    selectActiveGroup();
}

void ConfigurationImpl::addGroup(const NetworkGroup& group) {
    int addResult = m_groups.addIfAbsent(group.m);
    LUM_ASSERT_TEXT(addResult == ElementVector::ADDED, "addResult == ElementVector::ADDED");
    findGlobalGroup();
}

void ConfigurationImpl::removeGroup(const NetworkGroup& group) {
    NetworkGroup active = heldGroup(m_activeGroupProxy);
    NetworkGroup global = heldGroup(m_globalGroupProxy);
    if ((!active.isNull() && group.hasSameName(active)) || (!global.isNull() && group.hasSameName(global))) {
        InvalidGroupException::raise();
    }
    if (m_groups.remove(group.m) == 0) InvalidGroupException::raise();
}

NetworkGroupProxy ConfigurationImpl::findGroup(const Ascii& name) {
    NetworkGroupProxy found;
    for (const Reference& element : m_groups.snapshot()) {
        NetworkGroup group = handleOf<NetworkGroup>(element.m);
        if (group.name() == name) found.setNetworkGroup(group);
    }
    return found;
}

ElementVector ConfigurationImpl::groupList() {
    ElementVector list = ElementVector::create();
    for (const Reference& element : m_groups.snapshot()) {
        if (!handleOf<NetworkGroup>(element.m).isGlobal()) list.add(element.m);
    }
    return list;
}

NetworkGroupProxy ConfigurationImpl::activeGroup() {
    selectActiveGroup();
    return m_activeGroupProxy;
}

void ConfigurationImpl::setActiveGroup(const Ascii& name) {
    NetworkGroupProxy found = findGroup(name);
    if (!found.exists()) InvalidGroupException::raise();
    NetworkGroup group = found.networkGroup();
    if (group == heldGroup(m_activeGroupProxy)) return;
    stopNetworks();
    m_activeGroupProxy.setNetworkGroup(group);
    cancelManualConnection();
    startNetworks();
    m_connectionMode = MODE_AUTOMATIC;
}

ElementVector ConfigurationImpl::networksInGroup(const Ascii& name) {
    NetworkGroupProxy found = findGroup(name);
    if (!found.exists()) InvalidGroupException::raise();
    ElementVector networks = globalNetworks();
    for (const Reference& element : found.networkGroup().networkVector().snapshot()) networks.add(element.m);
    return networks;
}

ElementVector ConfigurationImpl::globalNetworks() {
    ElementVector networks = ElementVector::create();
    NetworkGroup global = heldGroup(m_globalGroupProxy);
    if (global.isNull()) return networks;
    for (const Reference& element : global.networkVector().snapshot()) networks.add(element.m);
    return networks;
}

ElementVector ConfigurationImpl::allNetworks() {
    ElementVector networks = ElementVector::create();
    for (const Reference& group : m_groups.snapshot()) {
        for (const Reference& element : handleOf<NetworkGroup>(group.m).networkVector().snapshot()) {
            networks.add(element.m);
        }
    }
    return networks;
}

// --- Starting and stopping networks ---

void ConfigurationImpl::startNetwork(const Network& network) {
    if (m_stateMachine.state() == VelStateMachineImpl::STOPPED || network.isStarted()) return;
    network.addSubscriber(this);
    network.start();
}

void ConfigurationImpl::stopNetwork(const Network& network) {
    if (!network.isStarted()) return;
    network.stop();
    network.removeSubscriber(this);
}

void ConfigurationImpl::startNetworks() {
    findGlobalGroup();
    selectActiveGroup();
    for (NetworkGroup group : {heldGroup(m_globalGroupProxy), heldGroup(m_activeGroupProxy)}) {
        if (group.isNull()) continue;
        for (const Reference& element : group.networkVector().snapshot())
            startNetwork(handleOf<Network>(element.m));
    }
}

void ConfigurationImpl::stopNetworks() {
    for (NetworkGroup group : {heldGroup(m_globalGroupProxy), heldGroup(m_activeGroupProxy)}) {
        if (group.isNull()) continue;
        for (const Reference& element : group.networkVector().snapshot())
            stopNetwork(handleOf<Network>(element.m));
    }
}

void ConfigurationImpl::cancelManualConnection() {
    if (!m_manualNetworkProxy.exists()) return;
    LUM_ASSERT_TEXT(m_manualNetworkAssociationTimeout != 0, "m_manualNetworkAssociationTimeout != 0");
    m_manualNetworkProxy.network().setAssociationTimeout(m_manualNetworkAssociationTimeout);
    m_manualNetworkAssociationTimeout = 0;
    m_manualNetworkProxy.clear();
}

// --- User operations ---

void ConfigurationImpl::addNetwork(const Ascii& groupName, const Network& network) {
    NetworkGroupProxy found = findGroup(groupName);
    if (!found.exists()) InvalidGroupException::raise();
    NetworkGroup group = found.networkGroup();
    if (!group.findNetwork(network.name()).isNull()) InvalidNetworkException::raise();
    group.addNetwork(network);
    if (group == heldGroup(m_activeGroupProxy) && m_stateMachine.state() != VelStateMachineImpl::STOPPED &&
        m_connectionMode == MODE_AUTOMATIC) {
        startNetwork(network);
    }
}

void ConfigurationImpl::removeNetwork(const Ascii& groupName, const Ascii& networkName) {
    NetworkGroupProxy found = findGroup(groupName);
    if (!found.exists()) InvalidGroupException::raise();
    NetworkGroup group = found.networkGroup();
    Network network = group.findNetwork(networkName);
    if (network.isNull()) InvalidNetworkException::raise();
    stopNetwork(network);
    group.networkVector().remove(network.m);
    if (m_manualNetworkProxy.exists() && m_manualNetworkProxy.network() == network) cancelManualConnection();
}

void ConfigurationImpl::changeNetworkPriority(const Ascii& groupName, const Network& network,
                                              std::int32_t kind) {
    if (kind == NetworkGroup::PRIORITY_NONE) return;
    NetworkGroupProxy found = findGroup(groupName);
    if (!found.exists()) InvalidGroupException::raise();
    NetworkGroup group = found.networkGroup();
    bool present = group.indexOfNetwork(network.name()) >= 0;
    if (kind == NetworkGroup::PRIORITY_BOTTOM && !present) {
        group.addNetwork(network);
    } else if ((kind == NetworkGroup::PRIORITY_TOP && !present) ||
               ((kind == NetworkGroup::PRIORITY_INCREMENT || kind == NetworkGroup::PRIORITY_DECREMENT) &&
                present)) {
        group.changePriority(network, kind);
    } else {
        InvalidNetworkException::raise();
    }
}

Network ConfigurationImpl::findActiveNetwork(const Ascii& name) {
    NetworkGroupProxy active = activeGroup();
    if (!active.exists()) InvalidNetworkException::raise();
    for (const Reference& element : networksInGroup(active.networkGroup().name()).snapshot()) {
        Network network = handleOf<Network>(element.m);
        if (network.name() == name) return network;
    }
    InvalidNetworkException::raise();
}

void ConfigurationImpl::connectToNetwork(const Ascii& name) {
    Network network = findActiveNetwork(name);
    stopNetworks();
    cancelManualConnection();
    m_manualNetworkAssociationTimeout = network.getAssociationTimeout();
    network.setAssociationTimeout(network.getConnectionTimeout());
    startNetwork(network);
    m_manualNetworkProxy.setNetwork(network);
    m_connectionMode = MODE_MANUAL;
}

void ConfigurationImpl::selectNetwork(const Ascii& name) {
    ConfigurationMatchmaker::addNetwork(findActiveNetwork(name));
}

void ConfigurationImpl::disconnect() {
    stopNetworks();
    cancelManualConnection();
    m_connectionMode = MODE_MANUAL;
}

void ConfigurationImpl::enableAutoconnect() {
    cancelManualConnection();
    m_connectionMode = MODE_AUTOMATIC;
    stopNetworks();
    startNetworks();
}

void ConfigurationImpl::reconsiderAllConnections() {
    logInfo(0, "reconsiderAllConnections()");
    NetworkGroupProxy active = activeGroup();
    if (!active.exists()) return;
    for (const Reference& element : networksInGroup(active.networkGroup().name()).snapshot()) {
        handleOf<Network>(element.m).disconnect();
    }
}

void ConfigurationImpl::setUserControlPolicy(const UserControlPolicy& policy) {
    m_policy.setUserControlPolicy(policy);
    if (policy.allowWireless()) {
        ConfigurationMatchmaker::addMediaTypeSupport(AdapterConstants::MEDIA_TYPE_80211);
    } else {
        ConfigurationMatchmaker::removeMediaTypeSupport(AdapterConstants::MEDIA_TYPE_80211);
    }
    if (policy.allowWired()) {
        ConfigurationMatchmaker::addMediaTypeSupport(AdapterConstants::MEDIA_TYPE_8023);
    } else {
        ConfigurationMatchmaker::removeMediaTypeSupport(AdapterConstants::MEDIA_TYPE_8023);
    }
}

ElementVector ConfigurationImpl::metaConnections() {
    for (const Reference& element : m_vpnManager.metaConnections().snapshot()) {
        MetaConnection entry = handleOf<MetaConnection>(element.m);
        bool global = entry.groupName().length() == 0;
        NetworkGroup group = global ? heldGroup(m_globalGroupProxy) : heldGroup(findGroup(entry.groupName()));
        if (!group.isNull() && !group.findNetwork(entry.networkName()).isNull()) continue;
        logInfo(0, "Unknown network in metaConnections. Group: %s Network: %s",
                global ? "Global" : entry.groupName().text(), entry.networkName().text());
        m_vpnManager.removeNetworkVpn(entry);
    }
    return m_vpnManager.metaConnections();
}

bool ConfigurationImpl::validateNames(ElementVector groups) {
    bool valid = true;
    NameSet earlier;
    for (const Reference& element : groups.snapshot()) {
        NetworkGroup group = handleOf<NetworkGroup>(element.m);
        if (!m_policy.checkGroupNetworks(group)) valid = false;
        const Ascii name = group.name();
        if (earlier.insert(name)) continue;
        logInfo(0, "Duplicate group name: %s", name.text());
        valid = false;
    }
    return valid;
}

// --- Followers ---

void ConfigurationImpl::notifyConfigurationEvent(std::int32_t state) {
    for (const Reference& subscriber : m_subscribers.snapshot())
        subscriberOf(subscriber)->configurationEvent(state);
}

void ConfigurationImpl::networkAccessStateChanged(std::int32_t accessState, const Network& network) {
    m_stateMachine.handleAccessEvent(accessState, network);
    if (accessState == VelStateMachineImpl::ACCESS_CONNECTED && m_policy.userControlPolicy().allowVpn() &&
        m_vpnManager.isAutomatedVpnCapable()) {
        m_vpnManager.handleNetworkEvent(VpnBehaviorInterface::NETWORK_CONNECTED);
    }
}

void ConfigurationImpl::networkStateChanged(std::int32_t adapterState, const VelAdapter& adapter,
                                            const Network& network) {
    for (const Reference& subscriber : m_subscribers.snapshot()) {
        subscriberOf(subscriber)->networkStateChanged(adapterState, adapter, network);
    }
}

void ConfigurationImpl::networkCredentialRequest(const Network& network, const ElementVector& certificates,
                                                 std::int32_t credentialType, std::int32_t credentialSource,
                                                 std::int32_t requestType, const Ascii& prompt) {
    static const char* const FUNCTION = "ConfigurationImpl::networkCredentialRequest";
    logInfo(0, "Entered %s", FUNCTION);
    int i = 0;
    for (const Reference& subscriber : m_subscribers.snapshot()) {
        logInfo(0, "%s: Sending cred request to subscriber %d", FUNCTION, i++);
        subscriberOf(subscriber)
            ->configurationCredentialRequest(network, certificates, credentialType, credentialSource,
                                             requestType, prompt);
    }
}

void ConfigurationImpl::changePasswordResult(std::int32_t attemptId, std::int32_t result) {
    for (const Reference& subscriber : m_subscribers.snapshot()) {
        subscriberOf(subscriber)->changePasswordResult(attemptId, result);
    }
}

// --- The handle ---

Configuration Configuration::create(const Ascii& name) {
    Configuration configuration;
    static_cast<Reference&>(configuration) =
        Reference(static_cast<ReferenceImpl*>(new ConfigurationImpl(name)), Reference::TAKE_OVER);
    return configuration;
}

void Configuration::subscribe(ConfigurationSubscriberInterface* subscriber) const {
    impl()->m_subscribers.addIfAbsent(subscriber);
}

void Configuration::unsubscribe(ConfigurationSubscriberInterface* subscriber) const {
    impl()->m_subscribers.remove(subscriber);
}
