#include "vel/ipcmsghandlers/ConnApiCredentials.h"

#include "vel/ipcmsghandlers/ConnApiEngine.h"

namespace {

ConnApiCredentialsInterface* installed() {
    return ConnApiSeam<ConnApiCredentialsInterface>::installed();
}

}  // namespace

void ConnApiCredentials::applyCredentials(const Network& network, const Ascii& username,
                                          const Ascii& password, std::int32_t requestType) {
    if (installed() != nullptr) installed()->applyCredentials(network, username, password, requestType);
}

void ConnApiCredentials::applyCredential(const Network& network, const Ascii& pin) {
    if (installed() != nullptr) installed()->applyCredential(network, pin);
}

void ConnApiCredentials::setCredentialOnAdapter(const Network& network, const ByteArray& certificateHash,
                                                const Ascii& pin) {
    if (installed() != nullptr) installed()->setCredentialOnAdapter(network, certificateHash, pin);
}

void ConnApiCredentials::setPasswordChangeCredentials(const Network& network, const Ascii& username,
                                                      const Ascii& oldPassword, const Ascii& password) {
    if (installed() != nullptr)
        installed()->setPasswordChangeCredentials(network, username, oldPassword, password);
}

bool ConnApiCredentials::isPasswordChangePending(const Network& network) {
    return installed() != nullptr && installed()->isPasswordChangePending(network);
}

void ConnApiCredentials::setPasswordChangeParameters(const Network& network, std::int32_t attemptId,
                                                     const Ascii& username, const Ascii& domain,
                                                     const Ascii& oldPassword, const Ascii& password) {
    if (installed() != nullptr)
        installed()->setPasswordChangeParameters(network, attemptId, username, domain, oldPassword, password);
}

void ConnApiCredentials::changePassword(const Network& network, std::int32_t code) {
    if (installed() != nullptr) installed()->changePassword(network, code);
}
