#pragma once
// What the connection API asks of the engine parts around it, each behind a small interface that
// its owner installs when the engine holder builds it (and removes, with null, before it goes).
// Nothing installed gives the answer of a service without that part: no active configuration,
// no active group, the client enabled and the radio on, no adapters, logon attempt 0 with no
// logon status, VPN disconnected.
// Engine thread only, like everything that calls these.
#include <cstdint>
#include <vector>

#include "vel/configuration/Configuration.h"
#include "vel/ipcmsghandlers/ConnApiAdapter.h"
#include "vel/ipcmsghandlers/ConnApiNetwork.h"
#include "vel/reference/Installed.h"
#include "vel/string/Ascii.h"
#include "vel/string/AsciiVector.h"

// The active configuration.
class ConnApiConfigurationInterface {
public:
    // True when a configuration is loaded and active: the precheck of the request handlers.
    virtual bool exists() = 0;
    // The active group's name, when there is one.
    virtual bool activeGroupName(Ascii& name) = 0;
    // The active configuration; an empty handle when none is active.
    virtual Configuration configuration() = 0;
    // The user's file from the model; may raise FileIOException.
    virtual void writeUserConfiguration() = 0;
    // The internal file (the saved credentials) from the model; may raise FileIOException.
    virtual void writeInternalConfiguration() = 0;

protected:
    ~ConnApiConfigurationInterface() = default;
};

// The matchmaker.
class ConnApiMatchmakerInterface {
public:
    virtual bool isRadioOn() = 0;
    // Starts the adapter restart utility with the names of the adapters (the repair).
    virtual void resetAdapters() = 0;
    // Every adapter's radio off (on), the radio-on flag cleared (set).
    virtual void turnOffRadio() = 0;
    virtual void turnOnRadio() = 0;
    // Clears the client-enabled flag and lets every adapter go unmanaged.
    virtual void disableClient() = 0;
    // Sets the client-enabled flag, manages every adapter again and sets the radio-on flag.
    virtual void enableClient() = 0;
    virtual bool isClientEnabled() = 0;
    // The adapters it holds over the three media types, in its order.
    virtual std::vector<ConnApiAdapter> adapters() = 0;
    // The adapter the network holds; an empty handle when it holds none.
    virtual ConnApiAdapter adapterOf(const Network& network) = 0;

protected:
    ~ConnApiMatchmakerInterface() = default;
};

// The logon state machine and its single-sign-on credential request context.
class ConnApiLogonInterface {
public:
    virtual std::int32_t currentLogonAttemptId() = 0;
    // Which connection the logon has reached: LOGON_STATUS_MACHINE, LOGON_STATUS_USER, or 0.
    virtual std::int32_t getLogonStatus() = 0;
    // Opens the single-sign-on credential request for the network as a logon request is written.
    virtual void beginSsoCredentialRequest(const ConnApiNetwork& network) = 0;
    // The network the single-sign-on credential request is open for; empty when none is.
    virtual ConnApiNetworkProxy ssoCredentialNetwork() = 0;
    // The answer reached the network: its request waits on the network's use of it, and counts done.
    virtual void setSsoCredentialRequestPending() = 0;
    virtual void endSsoCredentialRequest() = 0;
    virtual void setPrelogonActions(std::int32_t logonAttemptId) = 0;
    // Kept as numbers, never used as a handle or a process.
    virtual void setUserSessionActions(std::int32_t userTokenHandle, std::int32_t userLogonProcessId) = 0;
    // SSO_PRELOGON_ACTIONS, SSO_USER_SESSION_ACTIONS or SSO_NO_USER_SESSION.
    virtual void handleSsoRequest(std::int32_t request) = 0;

protected:
    ~ConnApiLogonInterface() = default;
};

// The VPN manager of the active configuration.
class ConnApiVpnInterface {
public:
    // The VPN state value of its last state event (1 disconnected to 4 disconnecting).
    virtual std::int32_t lastVpnState() = 0;
    // The names of the VPN client's profiles, in its order.
    virtual AsciiVector vpnProfiles() = 0;

protected:
    ~ConnApiVpnInterface() = default;
};

template <class Interface>
using ConnApiSeam = InstalledPointer<Interface>;

class ConnApiEngine {
public:
    static constexpr std::int32_t VPN_STATE_DISCONNECTED = 1;
    static constexpr std::int32_t LOGON_STATUS_MACHINE = 1;
    static constexpr std::int32_t LOGON_STATUS_USER = 2;
    static constexpr std::int32_t SSO_PRELOGON_ACTIONS = 1;
    static constexpr std::int32_t SSO_USER_SESSION_ACTIONS = 2;
    static constexpr std::int32_t SSO_NO_USER_SESSION = 3;

    static bool configurationExists();
    static bool activeGroupName(Ascii& name);
    static Configuration configuration();
    // The active configuration of a request that passed the precheck (asserted).
    static Configuration activeConfiguration();
    static void writeUserConfiguration();
    static void writeInternalConfiguration();
    static bool isRadioOn();
    static void resetAdapters();
    static void turnOffRadio();
    static void turnOnRadio();
    static void disableClient();
    static void enableClient();
    static bool isClientEnabled();
    static std::vector<ConnApiAdapter> adapters();
    static ConnApiAdapter adapterOf(const Network& network);
    static std::int32_t currentLogonAttemptId();
    static std::int32_t getLogonStatus();
    static void beginSsoCredentialRequest(const ConnApiNetwork& network);
    static ConnApiNetworkProxy ssoCredentialNetwork();
    static void setSsoCredentialRequestPending();
    static void endSsoCredentialRequest();
    static void setPrelogonActions(std::int32_t logonAttemptId);
    static void setUserSessionActions(std::int32_t userTokenHandle, std::int32_t userLogonProcessId);
    static void handleSsoRequest(std::int32_t request);
    static AsciiVector vpnProfiles();
    static std::int32_t lastVpnState();
};
