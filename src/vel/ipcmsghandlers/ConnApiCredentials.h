#pragma once
// What the answers to the credential requests hand to the network that asked: the network object
// installs its credential operations here when it is built; until then, and in tests that install
// a recording one, nothing installed leaves the networks as they are.
#include <cstdint>

#include "vel/network/Network.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"

class ConnApiCredentialsInterface {
public:
    // A user name and password of the request type (password, retry, username...).
    virtual void applyCredentials(const Network& network, const Ascii& username, const Ascii& password,
                                  std::int32_t requestType) = 0;
    // A smart-card PIN.
    virtual void applyCredential(const Network& network, const Ascii& pin) = 0;
    // The user's chosen certificate and its PIN.
    virtual void setCredentialOnAdapter(const Network& network, const ByteArray& certificateHash,
                                        const Ascii& pin) = 0;
    // A changed password from the tray program.
    virtual void setPasswordChangeCredentials(const Network& network, const Ascii& username,
                                              const Ascii& oldPassword, const Ascii& password) = 0;
    // A changed password from the logon client.
    virtual bool isPasswordChangePending(const Network& network) = 0;
    virtual void setPasswordChangeParameters(const Network& network, std::int32_t attemptId,
                                             const Ascii& username, const Ascii& domain,
                                             const Ascii& oldPassword, const Ascii& password) = 0;
    virtual void changePassword(const Network& network, std::int32_t code) = 0;

protected:
    ~ConnApiCredentialsInterface() = default;
};

class ConnApiCredentials {
public:
    // The codes changePassword takes: the logon client changed the password, or the logon
    // credentials changed.
    static constexpr std::int32_t CHANGE_FROM_LOGON = 3;
    static constexpr std::int32_t LOGON_CREDENTIALS_CHANGED = 4;

    static void applyCredentials(const Network& network, const Ascii& username, const Ascii& password,
                                 std::int32_t requestType);
    static void applyCredential(const Network& network, const Ascii& pin);
    static void setCredentialOnAdapter(const Network& network, const ByteArray& certificateHash,
                                       const Ascii& pin);
    static void setPasswordChangeCredentials(const Network& network, const Ascii& username,
                                             const Ascii& oldPassword, const Ascii& password);
    static bool isPasswordChangePending(const Network& network);
    static void setPasswordChangeParameters(const Network& network, std::int32_t attemptId,
                                            const Ascii& username, const Ascii& domain,
                                            const Ascii& oldPassword, const Ascii& password);
    static void changePassword(const Network& network, std::int32_t code);
};
