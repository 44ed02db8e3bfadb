#pragma once
// The adapter object: made by the adapter list from the symbolic name the authentication library
// reports and kept for the life of the service. It runs the adapter state machine and performs
// its actions: it holds the adapter's port manager while it is managed, answers the queries of
// the networks and the connection API through it, and tells its subscribers (the network that
// holds it, the matchmaker) every state change. Engine event-queue thread, but for switching the
// operating system's wireless configuration off, which runs on the alternate queue.
#include <cstdint>

#include "platform/qxauth/qxAuth.h"
#include "vel/adapter/AdapterStateMachine.h"
#include "vel/adapter/PortManagerListener.h"
#include "vel/adapter/VelAdapter.h"
#include "vel/dhcp/DhcpManager.h"
#include "vel/dhcp/DhcpManagerSubscriber.h"
#include "vel/port/PortManagerProxy.h"
#include "vel/port/PortNameManager.h"

class VelAdapterImpl : public AdapterImpl,
                       public DhcpManagerSubscriberInterface,
                       public PortManagerListenerInterface {
public:
    // What is under way with the operating system's wireless configuration.
    static constexpr std::int32_t WZC_IDLE = 0;
    static constexpr std::int32_t WZC_DISABLING = 1;
    static constexpr std::int32_t WZC_DISABLED = 2;

    // "Unbound", with the port attributes read once.
    explicit VelAdapterImpl(const Ascii& symbolicName);

    void addRef() override { ReferenceImpl::addRef(); }
    void release() override { ReferenceImpl::release(); }
    void release2() override { ReferenceImpl::release2(); }
    // Shut-down: empties the subscribers, gives back the port manager and stops the address
    // attempt.
    void clearReferences() override;

    void connect(const PhyInfo& phyInfo, const Settings8021x& settings,
                 std::int32_t authenticationType) override;
    void restartConnection(const PhyInfo& phyInfo) override;
    void reAuth() override;
    void disconnect() override;
    void manage() override;
    void unmanage(std::int32_t reactivate) override;
    AdapterAttributesProxy attributes() override;
    Ascii macAddress() override;
    AssociationInfoProxy associationInfo() override;
    ConnectionInfoProxy connectionInfo() override;
    SsidProxy scanDetails() override;
    bool location(const LocationRequest& request) override;
    void rsnProbeIeVerifyEnable(std::int32_t setting) override;
    void radioOff() override;
    void radioOn() override;
    bool isRadioOn() override;
    void unblockOsWaitForIp() override;
    bool enablePacketCapture() override;
    bool disablePacketCapture() override;
    void closePort() override;
    void symbolicNameBound() override;
    void symbolicNameUnbound() override;
    std::int32_t state() const override { return m_stateMachine.state(); }

    // The outcome of the address attempt of a DHCP manager: acted on only when it comes from the
    // manager the adapter holds, since a dropped manager's late result belongs to an attempt that
    // is over.
    void dhcpResult(const DhcpManager& manager, std::int32_t result) override;
    Ascii dhcpMacAddress() override { return macAddress(); }

    // What the port reports (PortManagerListenerInterface).
    void event(std::int32_t status) override;
    void stateEvent(std::int32_t adapterEvent, std::int32_t value) override;
    void linkUpStatusEvent(std::int32_t value) override;
    void linkDownStatusEvent() override;
    void unboundStatusEvent() override;
    void locationNoticeEvent(const LocationResponse& response) override;
    void locationErrorEvent(std::int32_t requestNumber, std::int32_t errorCode) override;

    // Feeds the event to the state machine and performs the action it gives.
    void handleEventAndDoStateTransitionAction(std::int32_t event, std::int32_t first = 0,
                                               std::int32_t second = 0);
    // The alternate queue switched the operating system's wireless configuration off.
    void wzcDisabled();

    std::int32_t wzcState() const { return m_wzcState; }
    bool managed() const { return !m_portManager.empty(); }
    const DhcpManager& dhcpManager() const { return m_dhcpManager; }
    const PortNameManager& portNameManager() const { return m_portNameManager; }

private:
    // True when the library knows the name; keeps the description and the media.
    bool readPortAttributes();
    // Stores the connection's authentication type and hands the port its 802.1X timers, the
    // authentication and the medium.
    void connectAction(const PhyInfo& phyInfo, const Settings8021x& settings,
                       std::int32_t authenticationType);
    // The port attributes for a connection, with their log line; false when the library has none.
    bool connectionAttributes(QX_PORT_ATTR* record);
    void performStateTransitionAction(std::int32_t action, std::int32_t requestNumber,
                                      std::int32_t errorCode);
    // Every subscriber of a copy of the list hears the new state.
    void publish(std::int32_t reason);
    // A connection that needs no authentication counts as authenticated at once.
    void authenticationNotRequiredCheck();
    // Gives the port manager back (reactivate 1: to the operating system's wireless configuration).
    void releasePortManager(std::int32_t reactivate);
    // A new address attempt, or the running one over again.
    void startDhcp();
    // Ends the address attempt without a result and lets its manager go.
    void dropDhcp();
    // The association of a radio in states associated to auth_failed; false otherwise.
    bool radioAssociation(QX_ASSOCIATION_INFO* info);
    bool associatedState() const;

    void unmanageAction(std::int32_t reactivate);
    void boundAction();
    void unboundAction();
    void manageAction();
    void disconnectAction();
    void linkDownAction();
    void linkUpAction();
    void authNotRequiredAction();
    void authRequestAction();
    void authSuccessAction();
    void authFailAction(std::int32_t reason);

    // Empty while unmanaged.
    PortManagerProxy m_portManager;
    // Null while no address attempt runs.
    DhcpManager m_dhcpManager;
    AdapterStateMachine m_stateMachine;
    // Of the current connection: 1 when no authentication is required; 0 at start and after a
    // disconnect.
    std::int32_t m_authenticationType = 0;
    PortNameManager m_portNameManager;
    std::int32_t m_lastLinkAction = AdapterStateMachine::NO_ACTION;
    bool m_restartDhcp = false;
    std::int32_t m_wzcState = WZC_IDLE;
};
