#pragma once
// Holds one reference to each engine object of the service for the life of the event-queue
// thread. It is built there before the first event, so that every state machine is created on the
// thread that later runs it, and torn down there after the last. Each engine object joins the
// holder as one row of its table (EngineHolder.cpp) with its named steps here, when its
// subsystem is part of the service.
#include <cstdint>
#include <optional>
#include <span>

#include "service/CompositionTable.h"
#include "service/ConnApiActiveConfiguration.h"
#include "service/ConnApiMatchmaker.h"
#include "service/VpnActiveConfiguration.h"
#include "vel/certificate/SmartCardList.h"
#include "vel/communication/ClientCommunication.h"
#include "vel/configuration/ActiveConfiguration.h"
#include "vel/ipcmsghandlers/AdapterLocationEventSender.h"
#include "vel/ipcmsghandlers/NetworkCredentialAnswers.h"
#include "vel/logon/ConnApiLogon.h"
#include "vel/logon/ContextForCredentialRequestToSso.h"
#include "vel/logon/LogonStateMachine.h"
#include "vel/matchmaker/Matchmaker.h"
#include "vel/network/NetworkCredentialServices.h"
#include "vel/network/NetworkMachines.h"
#include "vel/port/PortCredentialRequestMaker.h"
#include "vel/powerevent/ServicePower.h"
#include "vel/symbolicname/SymbolicNameAdapterList.h"
#include "vel/vpn/ScSofToken2.h"
#include "vel/vpn/TamselVpnClient.h"
#include "vel/vpn/VpnEngineLink.h"
#include "vel/vpn/VpnManagerBehavior.h"

class EngineHolder {
public:
    // Event-queue thread: creates the members in row order, then runs their start steps (the
    // authentication library's start, the subscriptions) by place.
    static EngineHolder* build();

    // Event-queue thread: runs the members' stop steps by place (clearing references, stopping the
    // active configuration and the library), then releases them by place.
    void tearDown();

    // The steps of the rows.
    void createMatchmaker();
    void subscribeMatchmaker();
    void clearMatchmaker();
    void releaseMatchmaker();
    // The layers below learn the parts above them that they call back (the matchmaker), and forget
    // them first at the end.
    void registerEngineParts();
    void unregisterEngineParts();
    void createAdapterList();
    void clearAdapterList();
    void releaseAdapterList();
    void createActiveConfiguration();
    void stopActiveConfiguration();
    void releaseActiveConfiguration();
    void createClientCommunication();
    void subscribeClientCommunication();
    void clearClientCommunication();
    void releaseClientCommunication();
    void installVpnMachines();
    void removeVpnMachines();
    void installNetworkMachines();
    void removeNetworkMachines();
    void createVpnClient();
    void clearVpnClient();
    void releaseVpnClient();
    void createSoftToken();
    void clearSoftToken();
    void releaseSoftToken();
    void createPower();
    void clearPower();
    void releasePower();
    void startLibrary();
    void stopLibrary();
    void createSmartCardList();
    void clearSmartCardList();
    void releaseSmartCardList();
    void createSsoContext();
    void releaseSsoContext();
    void createLogonStateMachine();
    void subscribeLogonStateMachine();
    void clearLogonStateMachine();
    void releaseLogonStateMachine();
    void installCredentialRequests();
    void removeCredentialRequests();

private:
    // The service's matchmaker posts its matching passes to the event queue.
    static constexpr std::int32_t MATCHMAKER_POSTS = 1;

    // Empty until created: a default handle binds to an existing singleton.
    std::optional<Matchmaker> m_matchmaker;
    // The connection API asks the matchmaker through its seam.
    ConnApiMatchmaker m_connApiMatchmaker;
    std::optional<SymbolicNameAdapterList> m_adapterList;
    AdapterLocationEventSender m_adapterLocationEvents;
    // The configuration in force and its files; the connection API asks it through its seam.
    std::optional<ActiveConfiguration> m_activeConfiguration;
    ConnApiActiveConfiguration m_connApiConfiguration;
    // The service's link to its clients.
    ClientCommunication m_clientCommunication;
    VpnBehaviorMaker::Maker m_previousVpnMaker;
    NetworkBehaviorMaker::Maker m_previousNetworkMaker;
    TamselVpnClient m_vpnClient;
    VpnActiveConfiguration m_vpnEngine;
    // Brings the client's events to the active configuration's VPN manager.
    VpnEngineLink m_vpnLink;
    // Empty until created: a default handle binds to an existing singleton.
    std::optional<ScSofToken2> m_softToken;
    std::optional<ServicePower> m_power;
    // Empty until created, as the adapter list.
    std::optional<SmartCardList> m_smartCardList;
    // Empty until created, as the adapter list. The logon state machine is the networks' logon
    // status and, with the single-sign-on context, what the connection API asks of the logon.
    std::optional<ContextForCredentialRequestToSso> m_ssoContext;
    std::optional<LogonStateMachine> m_logonStateMachine;
    ConnApiLogon m_connApiLogon;
    PortCredentialRequestMaker::Installed m_previousCredentialRequests;
    NetworkCredentialServicesInterface* m_previousCredentialServices = nullptr;
    NetworkCredentialAnswers m_credentialAnswers;
};

using EngineHolderRow = CompositionRow<EngineHolder>;
// The table itself, for the tests that read it.
std::span<const EngineHolderRow> engineHolderRows();
