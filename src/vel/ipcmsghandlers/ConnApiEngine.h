#pragma once
// What the connection API asks of the engine parts around it, each behind a small interface that
// its owner installs when the engine holder builds it (and removes, with null, before it goes).
// Nothing installed gives the answer of a service without that part: no active configuration,
// no active group, the radio on, no adapters to restart, logon attempt 0, VPN disconnected.
// Engine thread only, like everything that calls these.
#include <atomic>
#include <cstdint>

#include "vel/ipcmsghandlers/ConnApiNetwork.h"
#include "vel/string/Ascii.h"

// The active configuration.
class ConnApiConfigurationInterface {
public:
    // True when a configuration is loaded and active: the precheck of the request handlers.
    virtual bool exists() = 0;
    // The active group's name, when there is one.
    virtual bool activeGroupName(Ascii& name) = 0;

protected:
    ~ConnApiConfigurationInterface() = default;
};

// The matchmaker.
class ConnApiMatchmakerInterface {
public:
    virtual bool isRadioOn() = 0;
    // Starts the adapter restart utility with the names of the adapters (the repair).
    virtual void resetAdapters() = 0;

protected:
    ~ConnApiMatchmakerInterface() = default;
};

// The logon state machine and its single-sign-on credential request context.
class ConnApiLogonInterface {
public:
    virtual std::int32_t currentLogonAttemptId() = 0;
    // Opens the single-sign-on credential request for the network as a logon request is written.
    virtual void beginSsoCredentialRequest(const ConnApiNetwork& network) = 0;

protected:
    ~ConnApiLogonInterface() = default;
};

// The VPN manager of the active configuration.
class ConnApiVpnInterface {
public:
    // The VPN state value of its last state event (1 disconnected to 4 disconnecting).
    virtual std::int32_t lastVpnState() = 0;

protected:
    ~ConnApiVpnInterface() = default;
};

template <class Interface>
class ConnApiSeam {
public:
    // Null removes it.
    static void install(Interface* implementation) { holder().store(implementation); }
    static Interface* installed() { return holder().load(); }

private:
    static std::atomic<Interface*>& holder() {
        static std::atomic<Interface*> implementation{nullptr};
        return implementation;
    }
};

class ConnApiEngine {
public:
    static constexpr std::int32_t VPN_STATE_DISCONNECTED = 1;

    static bool configurationExists();
    static bool activeGroupName(Ascii& name);
    static bool isRadioOn();
    static void resetAdapters();
    static std::int32_t currentLogonAttemptId();
    static void beginSsoCredentialRequest(const ConnApiNetwork& network);
    static std::int32_t lastVpnState();
};
