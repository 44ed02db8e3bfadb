#pragma once
// What the network state machine reads of its network and the operations it asks of it. The
// network object implements it; the machine itself never touches an adapter.
#include <cstdint>

class NetworkStateMachineHost {
public:
    virtual ~NetworkStateMachineHost() = default;

    virtual const char* networkName() = 0;
    // 1 machine, 2 user, 3 machine and user.
    virtual std::int32_t connectionTypes() = 0;
    virtual bool extendUserConnectionBeyondLogoff() = 0;
    virtual bool extendedUserConnectionActive() = 0;
    virtual void setExtendedUserConnectionActive(bool active) = 0;
    virtual bool is8021x() = 0;
    virtual std::int32_t authenticationState() = 0;
    // Armed at connect when password-change credentials are present and the server demanded a
    // change.
    virtual bool passwordChangeAttemptArmed() = 0;
    virtual bool passwordChangeCredentialsPresent() = 0;
    virtual std::int32_t credentialSource() = 0;
    // One information line tagged with the adapter's MAC address; nothing without an adapter.
    virtual void logForAdapter(const char* line) = 0;

    // Access user events START, STOP and REAUTH, without an adapter.
    virtual void startAccess() = 0;
    virtual void stopAccess() = 0;
    virtual void reauthenticateAccess() = 0;
    virtual void setMachineCredentials() = 0;
    virtual void setUserCredentials() = 0;
    virtual void resetSession() = 0;
    virtual void sendPasswordChangeResult(std::int32_t result) = 0;
    // Answers the held credential request with the password-change credentials already given.
    virtual void respondToValidCredRequest() = 0;
    virtual void requestPasswordChangeCredentials() = 0;
    // Keeps the new password in the current connection's credentials unless storage forbids it.
    virtual void storeChangedPassword() = 0;
};
