#pragma once
// A network's behaviour: its network and access state machines, the adapter the matchmaker gave
// it, the connection over that adapter, the access timers and the work of its authentication
// sessions that the machines ask for. Installed as every network's behaviour. The network follows
// its adapter, the power events and its timers through a member that counts as the network itself.
// Engine event-queue thread only.
#include <cstdint>
#include <map>

#include "vel/adapter/AdapterSubscriber.h"
#include "vel/network/AccessStateMachineHost.h"
#include "vel/network/AccessStateMachineImpl.h"
#include "vel/network/Network.h"
#include "vel/network/NetworkBehavior.h"
#include "vel/network/NetworkStateMachineHost.h"
#include "vel/network/NetworkStateMachineImpl.h"
#include "vel/phyinfo/PhyInfo.h"
#include "vel/powerevent/ServicePower.h"
#include "vel/timer/ThreadSafeTimer.h"
#include "vel/timer/TimerSubscriber.h"

class NetworkMachines : public NetworkBehaviorInterface, private NetworkStateMachineHost {
public:
    static constexpr std::int32_t POWER_EVENT_SUSPEND = 0;
    static constexpr std::int32_t POWER_EVENT_RESUME = 1;
    // Adapter EAP status values.
    static constexpr std::int32_t EAP_STATUS_INVALID_PAC = 1;
    static constexpr std::int32_t EAP_STATUS_CLEARTEXT_FAILURE = 2;
    // The failure detail of a cleartext EAP-Failure.
    static constexpr std::int32_t DETAIL_CLEARTEXT_FAILURE = 2;
    // The network event an automatic VPN hears when the network's link is lost.
    static constexpr std::int32_t VPN_NETWORK_NOT_CONNECTED = 2;

    explicit NetworkMachines(NetworkImpl& network);
    ~NetworkMachines() override;

    // Every network created from now on takes these machines; returns the maker it replaces.
    static NetworkBehaviorMaker::Maker install();

    // NetworkBehaviorInterface.
    void start() override { m_networkMachine.handleUserEvent(NetworkConstants::START); }
    void stop() override { m_networkMachine.handleUserEvent(NetworkConstants::STOP); }
    void accessChanged() override { m_networkMachine.handleUserEvent(NetworkConstants::ACCESS_CHANGED); }
    bool isStarted() override;
    void disconnect() override { m_accessMachine.handleUserEvent(NetworkConstants::DISCONNECT); }
    void clearReferences() override;
    void attachAdapter(const VelAdapter& adapter) override;
    void connect() override { m_accessMachine.handleUserEvent(NetworkConstants::CONNECT); }
    void handleSsoRequest(std::int32_t request) override { m_networkMachine.handleSsoRequest(request); }
    void handleAuthRequest(std::int32_t request) override { m_networkMachine.handleAuthRequest(request); }
    VelAdapter adapter() override { return m_adapter; }
    void reauthenticate() override { reauthenticateAccess(); }
    // The network answers the library for the adapter it holds.
    CredentialResponderInterface* credentialResponderForAdapter(const VelAdapter& adapter);

    // What the adapter and the power events tell the network.
    void adapterStateChanged(const VelAdapter& adapter, std::int32_t state, std::int32_t reason);
    void eapStatus(const VelAdapter& adapter, std::int32_t status);
    void powerEvent(std::int32_t event);
    void timerExpired(const ThreadSafeTimer& timer);

    // The ends of an authentication session.
    void authenticationSucceeded();
    void authenticationFailed(std::int32_t detail);
    void endOfSessionActions() override;

    // Whether the profile is FIPS compliant: AES with WPA2 personal, or WPA2 enterprise whose
    // methods for the current connection type are all EAP-TLS, PEAP or EAP-FAST.
    bool isFipsCompliant();
    // The physical-layer information of the network's media type.
    PhyInfo makePhyInfo();

    const NetworkStateMachineImpl& networkMachine() const { return m_networkMachine; }
    const AccessStateMachineImpl& accessMachine() const { return m_accessMachine; }

private:
    // Follows the adapter, the power events and the timers; counts as the network.
    class Follower : public AdapterSubscriberInterface,
                     public ServicePowerSubscriberInterface,
                     public TimerSubscriberInterface {
    public:
        explicit Follower(NetworkMachines& owner) : m_owner(owner) {}
        void addRef() override;
        void release() override;
        void release2() override;
        void clearReferences() override {}
        void eapStatus(const VelAdapter& adapter, std::int32_t status) override {
            m_owner.eapStatus(adapter, status);
        }
        void adapterStateChanged(const VelAdapter& adapter, std::int32_t state,
                                 std::int32_t reason) override {
            m_owner.adapterStateChanged(adapter, state, reason);
        }
        CredentialResponderInterface* credentialResponderForAdapter(const VelAdapter& adapter) override {
            return m_owner.credentialResponderForAdapter(adapter);
        }
        void powerEvent(std::int32_t event) override { m_owner.powerEvent(event); }
        void timerExpired(const ThreadSafeTimer& timer) override { m_owner.timerExpired(timer); }

    private:
        NetworkMachines& m_owner;
    };

    Network self() { return Network(&m_network); }
    NetworkSession& session() { return m_network.m_session; }
    void logTagged(std::int32_t id, const char* line);
    // The current connection type's parameters.
    AuthenticationParameters currentParameters();
    void rejectionActions() override;
    void closeAdapterPort() override;
    void deletePac(std::int32_t pacType);
    void detach(bool retry);

    // NetworkStateMachineHost.
    const char* networkName() override { return m_network.m_name.text(); }
    std::int32_t connectionTypes() override { return m_network.m_connectionTypes; }
    bool extendUserConnectionBeyondLogoff() override { return m_network.m_extendUserConnectionBeyondLogoff; }
    bool extendedUserConnectionActive() override { return session().m_extendedUserConnectionActive; }
    void setExtendedUserConnectionActive(bool active) override {
        session().m_extendedUserConnectionActive = active;
    }
    bool is8021x() override { return m_network.m_flagB; }
    std::int32_t authenticationState() override { return session().authenticationState(); }
    bool passwordChangeAttemptArmed() override { return session().m_passwordChangeAttemptArmed; }
    bool passwordChangeCredentialsPresent() override { return session().m_passwordChangeCredentialsPresent; }
    std::int32_t credentialSource() override { return session().currentCredentialSource(); }
    void logForAdapter(const char* line) override;
    void startAccess() override { m_accessMachine.handleUserEvent(NetworkConstants::START); }
    void stopAccess() override { m_accessMachine.handleUserEvent(NetworkConstants::STOP); }
    void reauthenticateAccess() override { m_accessMachine.handleUserEvent(NetworkConstants::REAUTH); }
    void setMachineCredentials() override;
    void setUserCredentials() override;
    void resetSession() override { session().reset(); }
    void sendPasswordChangeResult(std::int32_t result) override;
    void respondToValidCredRequest() override;
    void requestPasswordChangeCredentials() override;
    void storeChangedPassword() override;

    // What the access state machine asks of the network.
    void prepareAccess();
    void announceStarted();
    void announceStopped();
    void attachHeldAdapter(const Reference& adapter);
    void connectOverAdapter();
    void disconnectAdapter();
    void reauthenticateAdapter();
    void linkLost();
    void accessStateChanged(std::int32_t accessState);
    std::int64_t startTimer(std::int32_t seconds);
    void cancelTimer(std::int64_t id);

    class AccessHost : public AccessStateMachineHost {
    public:
        explicit AccessHost(NetworkMachines& owner) : m_owner(owner) {}
        const char* networkName() override { return m_owner.networkName(); }
        std::int32_t mediaType() override { return m_owner.m_network.m_mediaType; }
        std::int32_t connectionTimeout() override { return m_owner.m_network.m_connectionTimeout; }
        std::int32_t associationTimeout() override { return m_owner.m_network.m_associationTimeout; }
        void prepareAccess() override { m_owner.prepareAccess(); }
        void announceStarted() override { m_owner.announceStarted(); }
        void announceStopped() override { m_owner.announceStopped(); }
        void attachAdapter(const Reference& adapter) override { m_owner.attachHeldAdapter(adapter); }
        void detachAndMoveOn() override { m_owner.detach(false); }
        void detachAndStayNext() override { m_owner.detach(true); }
        void connect() override { m_owner.connectOverAdapter(); }
        void disconnect() override { m_owner.disconnectAdapter(); }
        void reauthenticate() override { m_owner.reauthenticateAdapter(); }
        void authenticationSucceeded() override { m_owner.authenticationSucceeded(); }
        void authenticationFailed(std::int32_t detail) override { m_owner.authenticationFailed(detail); }
        void linkLost() override { m_owner.linkLost(); }
        void accessStateChanged(std::int32_t accessState) override {
            m_owner.accessStateChanged(accessState);
        }
        std::int64_t startTimer(std::int32_t seconds) override { return m_owner.startTimer(seconds); }
        void cancelTimer(std::int64_t id) override { m_owner.cancelTimer(id); }

    private:
        NetworkMachines& m_owner;
    };

    NetworkImpl& m_network;
    Follower m_follower{*this};
    VelAdapter m_adapter;
    std::map<std::int64_t, ThreadSafeTimer> m_timers;
    std::int64_t m_lastTimerId = 0;
    AccessHost m_accessHost{*this};
    NetworkStateMachineImpl m_networkMachine{*this};
    // Last: its destructor clears its timers through this object.
    AccessStateMachineImpl m_accessMachine{m_accessHost};
};
