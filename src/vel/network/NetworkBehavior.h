#pragma once
// What a network does when the configuration starts, stops or re-evaluates it. The network's
// state machines install themselves here through the process-wide maker; until they do, and in
// tests that install a recording one, a network keeps only a started flag.
#include <cstdint>
#include <functional>
#include <memory>

#include "vel/adapter/VelAdapter.h"
#include "vel/reference/Installed.h"

class IdleNetworkBehavior;
class NetworkImpl;

class NetworkBehaviorInterface {
public:
    virtual ~NetworkBehaviorInterface() = default;

    virtual void start() = 0;
    virtual void stop() = 0;
    // The network's access settings changed.
    virtual void accessChanged() = 0;
    virtual bool isStarted() = 0;
    virtual void disconnect() = 0;
    // Drops what the behaviour holds of other objects (timers, adapter), to break cycles.
    virtual void clearReferences() = 0;

    // The matchmaker gives the network an adapter, and the network connects over it.
    virtual void attachAdapter(const VelAdapter&) {}
    virtual void connect() {}
    // The logon component's single-sign-on requests; the credential responder's authentication
    // requests.
    virtual void handleSsoRequest(std::int32_t) {}
    virtual void handleAuthRequest(std::int32_t) {}
    // The adapter attached; empty when there is none.
    virtual VelAdapter adapter() { return VelAdapter(); }
    // What the credential responder asks of the session: access authenticates again, the session's
    // end, and the rejection of its credentials.
    virtual void reauthenticate() {}
    virtual void endOfSessionActions() {}
    virtual void rejectionActions() {}
    // Closes the attached adapter's port; nothing without one.
    virtual void closeAdapterPort() {}
};

// A network that is only started or not.
class IdleNetworkBehavior : public NetworkBehaviorInterface {
public:
    void start() override { m_started = true; }
    void stop() override { m_started = false; }
    void accessChanged() override {}
    bool isStarted() override { return m_started; }
    void disconnect() override {}
    void clearReferences() override {}

private:
    bool m_started = false;
};

// The maker whose behaviour every network created from now on takes.
using NetworkBehaviorMaker = InstalledMaker<NetworkBehaviorInterface, NetworkImpl, IdleNetworkBehavior>;
