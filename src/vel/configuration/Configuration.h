#pragma once
// One configuration in memory: its groups of networks, the global group whose networks run in
// every group, the group the user works in, a manual connection to one network, the connection
// mode, the administrator's policy and settings, and the objects that follow it. It starts and
// stops the networks of the global and the active group and sums up their access states in its
// top state. Everything runs on the event-queue thread.
#include <cstdint>

#include "vel/configuration/ConfigurationSubscriberInterface.h"
#include "vel/configuration/ConnectionSettings.h"
#include "vel/configuration/NetworkGroup.h"
#include "vel/configuration/NetworkSubscriberInterface.h"
#include "vel/configuration/Policy.h"
#include "vel/configuration/VelStateMachine.h"
#include "vel/network/Network.h"
#include "vel/reference/ElementVector.h"
#include "vel/reference/Proxy.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"
#include "vel/vpn/VpnManager.h"

class ConfigurationImpl : public ReferenceImpl, public NetworkSubscriberInterface {
public:
    static constexpr std::int32_t MODE_AUTOMATIC = 1;
    static constexpr std::int32_t MODE_MANUAL = 2;

    explicit ConfigurationImpl(const Ascii& name);

    void addRef() override { ReferenceImpl::addRef(); }
    void release() override { ReferenceImpl::release(); }
    void release2() override { ReferenceImpl::release2(); }
    // Stops the networks, clears the top state, ends a manual connection and lets the followers go.
    void clearReferences() override;

    // As the networks' follower.
    void networkAccessStateChanged(std::int32_t accessState, const Network& network) override;
    void networkStateChanged(std::int32_t adapterState, const VelAdapter& adapter,
                             const Network& network) override;
    void networkCredentialRequest(const Network& network, const ElementVector& certificates,
                                  std::int32_t credentialType, std::int32_t credentialSource,
                                  std::int32_t requestType, const Ascii& prompt) override;
    void changePasswordResult(std::int32_t attemptId, std::int32_t result) override;

    // Groups.
    void setGroups(const ElementVector& groups);
    void addGroup(const NetworkGroup& group);
    void removeGroup(const NetworkGroup& group);
    NetworkGroupProxy findGroup(const Ascii& name);
    ElementVector groupList();
    NetworkGroupProxy activeGroup();
    void setActiveGroup(const Ascii& name);
    ElementVector networksInGroup(const Ascii& name);
    ElementVector globalNetworks();
    ElementVector allNetworks();

    // Networks.
    void addNetwork(const Ascii& groupName, const Network& network);
    void removeNetwork(const Ascii& groupName, const Ascii& networkName);
    void changeNetworkPriority(const Ascii& groupName, const Network& network, std::int32_t kind);
    void connectToNetwork(const Ascii& name);
    void selectNetwork(const Ascii& name);
    void disconnect();
    void enableAutoconnect();
    void reconsiderAllConnections();

    void setUserControlPolicy(const UserControlPolicy& policy);
    ElementVector metaConnections();
    bool validateNames(ElementVector groups);
    // True when the policy (the configuration's settings record) allows the network.
    static bool checkNetworkAgainstPolicy(const Policy& settings, const Network& network) {
        return settings.checkNetworkAgainstPolicy(network);
    }

    // Run by the top state machine.
    void startNetworks();
    void stopNetworks();
    void notifyConfigurationEvent(std::int32_t state);

    Ascii m_name;
    std::int32_t m_majorVersion = 1;
    std::int32_t m_minorVersion = 0;
    std::int32_t m_developmentVersion = 0;
    VelStateMachineImpl m_stateMachine{this};
    ElementVector m_groups = ElementVector::create();
    NetworkGroupProxy m_globalGroupProxy;
    NetworkGroupProxy m_activeGroupProxy;
    NetworkProxy m_manualNetworkProxy;
    // The manual network's association timeout before the manual connection changed it.
    std::int32_t m_manualNetworkAssociationTimeout = 0;
    std::int32_t m_connectionMode = MODE_AUTOMATIC;
    // The autoVpnSettings kind; 0 none.
    std::int32_t m_vpnSettingsType = 0;
    ConnectionSettings m_connectionSettings = ConnectionSettings::create();
    Policy m_policy = Policy::create();
    ElementVector m_subscribers = ElementVector::create();
    VpnManager m_vpnManager = VpnManager::create();

private:
    void findGlobalGroup();
    void selectActiveGroup();
    void startNetwork(const Network& network);
    void stopNetwork(const Network& network);
    void cancelManualConnection();
    // The network of that name among networksInGroup(active group); InvalidNetworkException
    // without an active group or such a network.
    Network findActiveNetwork(const Ascii& name);
    // The held group of the proxy, or an empty handle.
    static NetworkGroup heldGroup(NetworkGroupProxy proxy);
};

class Configuration : public Reference {
public:
    // Top states.
    static constexpr std::int32_t STOPPED = VelStateMachineImpl::STOPPED;
    static constexpr std::int32_t STARTED = VelStateMachineImpl::STARTED;
    static constexpr std::int32_t CONNECTING = VelStateMachineImpl::CONNECTING;
    static constexpr std::int32_t CONNECTED = VelStateMachineImpl::CONNECTED;

    Configuration() = default;
    static Configuration create(const Ascii& name);

    Ascii name() const { return impl()->m_name; }
    std::int32_t majorVersion() const { return impl()->m_majorVersion; }
    void setMajorVersion(std::int32_t version) const { impl()->m_majorVersion = version; }
    std::int32_t minorVersion() const { return impl()->m_minorVersion; }
    void setMinorVersion(std::int32_t version) const { impl()->m_minorVersion = version; }
    std::int32_t developmentVersion() const { return impl()->m_developmentVersion; }
    void setDevelopmentVersion(std::int32_t version) const { impl()->m_developmentVersion = version; }

    ElementVector groups() const { return impl()->m_groups; }
    // Only while stopped: the global and the active group are chosen again.
    void setGroups(const ElementVector& groups) const { impl()->setGroups(groups); }
    void addGroup(const NetworkGroup& group) const { impl()->addGroup(group); }
    // The active and the global group are refused (InvalidGroupException).
    void removeGroup(const NetworkGroup& group) const { impl()->removeGroup(group); }
    // The last group of that name, or an empty proxy.
    NetworkGroupProxy findGroup(const Ascii& name) const { return impl()->findGroup(name); }
    // The groups that are not global.
    ElementVector groupList() const { return impl()->groupList(); }
    NetworkGroupProxy globalGroup() const { return impl()->m_globalGroupProxy; }
    // The active group; the first group that is not global when none was chosen.
    NetworkGroupProxy activeGroup() const { return impl()->activeGroup(); }
    void setActiveGroup(const Ascii& name) const { impl()->setActiveGroup(name); }
    // The global networks, then those of the named group (InvalidGroupException when missing).
    ElementVector networksInGroup(const Ascii& name) const { return impl()->networksInGroup(name); }
    ElementVector globalNetworks() const { return impl()->globalNetworks(); }
    // Every network of every group, group after group.
    ElementVector allNetworks() const { return impl()->allNetworks(); }

    void addNetwork(const Ascii& groupName, const Network& network) const {
        impl()->addNetwork(groupName, network);
    }
    void removeNetwork(const Ascii& groupName, const Ascii& networkName) const {
        impl()->removeNetwork(groupName, networkName);
    }
    // Kind 1 bottom, 2 top, 3 increment, 4 decrement; 0 nothing.
    void changeNetworkPriority(const Ascii& groupName, const Network& network, std::int32_t kind) const {
        impl()->changeNetworkPriority(groupName, network, kind);
    }
    void connectToNetwork(const Ascii& name) const { impl()->connectToNetwork(name); }
    void selectNetwork(const Ascii& name) const { impl()->selectNetwork(name); }
    void disconnect() const { impl()->disconnect(); }
    void enableAutoconnect() const { impl()->enableAutoconnect(); }
    void reconsiderAllConnections() const { impl()->reconsiderAllConnections(); }
    // 1 automatic, 2 manual.
    std::int32_t connectionMode() const { return impl()->m_connectionMode; }
    NetworkProxy manualNetwork() const { return impl()->m_manualNetworkProxy; }
    NetworkProxy connectedNetwork() const { return impl()->m_stateMachine.connectedNetwork(); }
    // The top state.
    std::int32_t connectionStatus() const { return impl()->m_stateMachine.state(); }

    ConnectionSettings connectionSettings() const { return impl()->m_connectionSettings; }
    void setConnectionSettings(const ConnectionSettings& settings) const {
        impl()->m_connectionSettings = settings;
    }
    std::int32_t vpnSettingsType() const { return impl()->m_vpnSettingsType; }
    void setVpnSettingsType(std::int32_t type) const { impl()->m_vpnSettingsType = type; }
    VpnManager vpnManager() const { return impl()->m_vpnManager; }
    Policy policy() const { return impl()->m_policy; }
    // The policy is what the connection API checks a network against.
    Policy settingsRecord() const { return impl()->m_policy; }
    // Also tells the matchmaker which media types the policy allows.
    void setUserControlPolicy(const UserControlPolicy& policy) const { impl()->setUserControlPolicy(policy); }
    NetworkPolicy networkPolicy() const { return impl()->m_policy.networkPolicy(); }
    void setNetworkPolicy(const NetworkPolicy& policy) const { impl()->m_policy.setNetworkPolicy(policy); }
    // The VPN entries whose group and network exist; the others are dropped with a log line.
    ElementVector metaConnections() const { return impl()->metaConnections(); }

    void subscribe(ConfigurationSubscriberInterface* subscriber) const;
    void unsubscribe(ConfigurationSubscriberInterface* subscriber) const;
    void start() const { impl()->m_stateMachine.handleUserEvent(VelStateMachineImpl::START); }
    void stop() const { impl()->m_stateMachine.handleUserEvent(VelStateMachineImpl::STOP); }

    // Every group of the list against the policy, and no two groups of one name. Never throws.
    bool validateNames(const ElementVector& groups) const { return impl()->validateNames(groups); }
    // The same over this configuration's own groups.
    bool validate() const { return impl()->validateNames(impl()->m_groups); }

    ConfigurationImpl* impl() const {
        return static_cast<ConfigurationImpl*>(static_cast<ReferenceImpl*>(m));
    }
};
