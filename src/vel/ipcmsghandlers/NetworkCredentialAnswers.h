#pragma once
// The tray's and the logon client's credential answers, handed to the network that asked:
// user names and passwords, smart-card PINs, the chosen certificate, and the password changes.
// Installed while the engine runs.
#include "vel/ipcmsghandlers/ConnApiCredentials.h"

class NetworkCredentialAnswers : public ConnApiCredentialsInterface {
public:
    NetworkCredentialAnswers() = default;
    ~NetworkCredentialAnswers() { uninstall(); }
    NetworkCredentialAnswers(const NetworkCredentialAnswers&) = delete;
    NetworkCredentialAnswers& operator=(const NetworkCredentialAnswers&) = delete;

    void install();
    // Removes it when it is the one installed.
    void uninstall();

    // requestType: the kind of the reply (1 the password alone, 4 the user name alone).
    void applyCredentials(const Network& network, const Ascii& username, const Ascii& password,
                          std::int32_t requestType) override;
    void applyCredential(const Network& network, const Ascii& pin) override;
    // A PIN given with the certificate is kept for it.
    void setCredentialOnAdapter(const Network& network, const ByteArray& certificateHash,
                                const Ascii& pin) override;
    void setPasswordChangeCredentials(const Network& network, const Ascii& username, const Ascii& oldPassword,
                                      const Ascii& password) override;
    bool isPasswordChangePending(const Network& network) override;
    void setPasswordChangeParameters(const Network& network, std::int32_t attemptId, const Ascii& username,
                                     const Ascii& domain, const Ascii& oldPassword,
                                     const Ascii& password) override;
    void changePassword(const Network& network, std::int32_t code) override;
};
