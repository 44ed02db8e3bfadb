#include "vel/ipcmsghandlers/NetworkCredentialAnswers.h"

#include "vel/adapter/AdapterConstants.h"
#include "vel/certificate/CertificateStore.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"

void NetworkCredentialAnswers::install() {
    ConnApiSeam<ConnApiCredentialsInterface>::install(this);
}

void NetworkCredentialAnswers::uninstall() {
    if (ConnApiSeam<ConnApiCredentialsInterface>::installed() == this)
        ConnApiSeam<ConnApiCredentialsInterface>::install(nullptr);
}

void NetworkCredentialAnswers::applyCredentials(const Network& network, const Ascii& username,
                                                const Ascii& password, std::int32_t requestType) {
    network.impl()->processUsernamePasswordResponse(username, password, requestType);
}

void NetworkCredentialAnswers::applyCredential(const Network& network, const Ascii& pin) {
    network.impl()->processSmartCardPinResponse(pin);
}

void NetworkCredentialAnswers::setCredentialOnAdapter(const Network& network,
                                                      const ByteArray& certificateHash, const Ascii& pin) {
    if (pin.length() > 0)
        network.getAuthenticationParameters(AdapterConstants::CONNECTION_USER)
            .setSmartCardPin(Credential::newPin(pin));
    Certificate listed = network.impl()->m_responder.certificateWithHash(certificateHash);
    // A hash the network never offered is still named in its line.
    if (listed.isNull()) listed = Certificate::create(certificateHash, CertificateStore::base());
    network.impl()->processCertificateResponse(listed);
}

void NetworkCredentialAnswers::setPasswordChangeCredentials(const Network& network, const Ascii& username,
                                                            const Ascii& oldPassword, const Ascii& password) {
    network.setPasswordChangeParameters(0, username, Ascii(""), oldPassword, password);
}

bool NetworkCredentialAnswers::isPasswordChangePending(const Network& network) {
    return network.isPasswordChangePending();
}

void NetworkCredentialAnswers::setPasswordChangeParameters(const Network& network, std::int32_t attemptId,
                                                           const Ascii& username, const Ascii& domain,
                                                           const Ascii& oldPassword, const Ascii& password) {
    network.setPasswordChangeParameters(attemptId, username, domain, oldPassword, password);
}

void NetworkCredentialAnswers::changePassword(const Network& network, std::int32_t code) {
    network.handleSsoRequest(code);
}
