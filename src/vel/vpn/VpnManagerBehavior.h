#pragma once
// The VPN manager's work over its VPN entries: when a tunnel is attempted (on demand, when a
// network connects, at the user's logon), the tunnel's state machine over the VPN client, and
// the credential machine that asks the tray program for the gateway's credentials or makes a
// soft-token passcode from them. Installed as every VPN manager's behaviour. Engine thread only.
#include <cstdint>

#include "vel/configuration/Configuration.h"
#include "vel/credmgr/CredentialProxy.h"
#include "vel/reference/Reference.h"
#include "vel/vpn/VpnBehavior.h"
#include "vel/vpn/VpnCredStateMachine.h"
#include "vel/vpn/VpnStateMachine.h"

class VpnManagerBehavior : public VpnBehaviorInterface, private VpnStateMachineOwnerInterface {
public:
    explicit VpnManagerBehavior(VpnManagerImpl& manager);
    ~VpnManagerBehavior() override;

    // Every VPN manager created from now on takes these machines; returns the maker it replaces.
    static VpnBehaviorMaker::Maker install();

    bool isAutomatedVpnCapable() override;
    void handleNetworkEvent(std::int32_t event) override;
    void clearReferences() override;
    MetaConnectionProxy attemptVpn() override;
    void connectVpn() override;
    void autoConnectVpn() override;
    void disconnectVpn() override;
    void handleUserLogon() override;
    void handleClientEvent(std::int32_t clientEvent) override;
    void credentialRequest() override;
    void sendCredentials(const Ascii& user, const Ascii& password) override;
    void resetAndDisconnect() override;
    void bannerResponse(bool accepted) override;
    std::int32_t lastVpnStatus() override;

    VpnStateMachineImpl& stateMachine() const {
        return *static_cast<VpnStateMachineImpl*>(static_cast<ReferenceImpl*>(m_stateMachine.m));
    }
    const VpnCredStateMachine& credStateMachine() const { return m_credStateMachine; }
    bool holdsCredentials() { return m_vpnUsername.exists() && m_vpnPassword.exists(); }

private:
    bool connectedEntryAutoConnects() override;
    void startVpn(const Ascii& entry, bool automatic);
    void credentialEvent(std::int32_t event);
    // What the credential machine's last event asks for.
    void credentialStep();
    void askGui();
    void sendToVpn();
    void softTokenFailed(std::int32_t status);

    VpnManagerImpl& m_manager;
    CredentialProxy m_vpnUsername;
    CredentialProxy m_vpnPassword;
    // Empty unless set: the request then carries the defaults of the VPN setting.
    Ascii m_usernamePrompt;
    Ascii m_passwordPrompt;
    Reference m_stateMachine;
    VpnCredStateMachine m_credStateMachine;
};
