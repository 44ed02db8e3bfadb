#pragma once
// How a network answers the authentication library during an 802.1X session: every credential
// request of its adapter's port comes here with the request object that answers it. The answer
// comes at once from the configuration and the stored credentials, or the request is held while
// the user (through the tray) or the logon component is asked, or while the user's certificates
// are listed or one is prepared off the engine thread. Engine thread only.
#include <cstdint>
#include <vector>

#include "vel/certificate/Certificate.h"
#include "vel/certificate/CertificateStore.h"
#include "vel/credrequest/CredentialRequest.h"
#include "vel/network/AuthenticationParameters.h"
#include "vel/network/NetworkIdentity.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"

class NetworkImpl;
class NetworkSession;
class MessageEvent;

// What the responder needs from above the network layer: the machine account, the saved
// configuration and the queue that lists and prepares certificates as the logged-on user. The
// engine installs it; without it there is no machine password or computer name, nothing is
// written and the certificate work runs on the engine's queue.
class NetworkCredentialServicesInterface {
public:
    virtual ~NetworkCredentialServicesInterface() = default;
    // Into the network's machine credentials; nothing on a failure.
    virtual void retrieveMachinePassword(NetworkImpl& network) = 0;
    // The computer's fully qualified DNS name, or "".
    virtual Ascii computerName() = 0;
    virtual void writeInternalConfiguration() = 0;
    // Runs the event as the logged-on user.
    virtual void postToImpersonatedQueue(const MessageEvent& event) = 0;
    // The configuration connects before the user logs on.
    virtual bool connectsBeforeLogon() = 0;
};

class NetworkCredentialResponder {
public:
    // The user certificate list: not built, asked of the impersonated queue, built.
    static constexpr std::int32_t LIST_NOT_BUILT = 0;
    static constexpr std::int32_t LIST_REQUESTED = 1;
    static constexpr std::int32_t LIST_BUILT = 2;
    // Credential types of a request to the tray or the logon component.
    static constexpr std::int32_t ASK_USERNAME_PASSWORD = 2;
    static constexpr std::int32_t ASK_CERTIFICATE = 3;
    static constexpr std::int32_t ASK_PIN = 4;
    // Password request types.
    static constexpr std::int32_t PASSWORD = 1;
    static constexpr std::int32_t PASSWORD_CHANGE = 2;
    static constexpr std::int32_t PASSWORD_RETRY = 3;
    static constexpr std::int32_t IDENTITY_PASSWORD = 5;
    static constexpr const char* LOGON_FAILED_PROMPT =
        "Your logon credentials failed to authenticate you onto the network. Please log out and log in again "
        "or enter your correct credentials.";

    // The services installed for every network; the previous one is returned.
    static NetworkCredentialServicesInterface* installServices(NetworkCredentialServicesInterface* services);
    // Writes the internal file again, so that a credential it kept and the network dropped is gone.
    static void writeKeptCredentials();

    explicit NetworkCredentialResponder(NetworkImpl& network) : m_network(network) {}

    // The library's requests.
    void requestEapMethods(const Reference& request, const std::vector<std::int32_t>& eapTypes);
    void requestTtlsTunnelMethod(const Reference& request);
    void requestIdentity(const Reference& request, std::int32_t level, const Ascii& prompt);
    void requestPassword(const Reference& request, const Ascii& prompt,
                         const std::vector<std::int32_t>& eapTypes);
    void requestPasswordChange(const Reference& request, const Ascii& prompt);
    void requestPasswordRetry(const Reference& request, const Ascii& prompt);
    void requestSessionStart(const Reference& request, std::int32_t lastEapType);
    void requestEapFastPac(const Reference& request, const ByteArray& aid);
    void requestEapFastProvisionModes(const Reference& request);
    void handleAuthenticationNotification(const Reference& request, const Credential& pac);
    void requestMachineIdentity(const Reference& request);
    void requestServerVerify(const Reference& request, QX_HANDLE certificate,
                             const std::vector<std::int32_t>& eapTypes, std::int32_t chainIsValid);
    // Inside a tunnel (level 1 and more) the certificate counts as sent protected.
    void requestUserCertificate(const Reference& request, const std::vector<std::int32_t>& eapTypes);
    void requestEapFastPacTypes(const Reference& request, const ByteArray& aid);
    void requestCredCanceled(const Reference& request);

    // The answers of the tray and the logon component.
    void savePac(const Credential& pac);
    void processCertificateResponse(const Certificate& certificate);
    void processSmartCardPinResponse(const Ascii& pin);
    // replyKind: 1 the password alone, 4 the user name alone, else both.
    void processUsernamePasswordResponse(const Ascii& user, const Ascii& password, std::int32_t replyKind);
    // Answers the held request with what the network now has, then lets it go.
    void respondToValidCredRequest();

    // Off the engine thread and back.
    void certificateListReady(const std::vector<Certificate>& certificates);
    void clientCertificateCompleted(const Certificate& certificate, int status);

    // To the objects that follow the network (the tray, through the configuration).
    void sendCredentialRequest(std::int32_t credentialType, std::int32_t passwordRequestType,
                               const Ascii& prompt);

    // A fast reauthentication that cannot go on falls back to a full one; the request is answered
    // empty.
    void fallBackToFullAuthentication(const CredentialRequest& request);
    // Whether the identity and the top method's credential are there to answer at once.
    bool credentialsReady(bool protectedIdentity);

    // Certificate use: selecting makes it the user certificate and gives the parameters its
    // credential; dropping undoes both.
    void useCertificate(const Certificate& certificate);
    void dropCertificate();
    Certificate certificateWithHash(const ByteArray& hash) const;
    // The identity of the current parameters from the selected certificate.
    void identityFromCertificate();
    void clearUserCertificateList();

    const std::vector<Certificate>& userCertificates() const { return m_userCertificates; }
    const Certificate& userCertificate() const { return m_userCertificate; }
    std::int32_t userCertificateListState() const { return m_listState; }
    const Ascii& serverName() const { return m_serverName; }
    bool certificateBeingCompleted() const { return m_certificateBeingCompleted; }

private:
    NetworkSession& session() const;
    std::int32_t connectionType() const;
    AuthenticationParameters parameters() const;
    ElementVector methods() const;
    std::int32_t source() const;
    bool hold(const CredentialRequest& request);
    CredentialRequest held() const;
    void dropHeld();
    void storeEapTypes(const std::vector<std::int32_t>& eapTypes);
    void identityRequest(const CredentialRequest& request, const Ascii& prompt);
    void sendIdentityResponse(const CredentialRequest& request, std::int32_t nextState);
    // A password credential is sent (state 7, or 8 after a change was asked); the request completes.
    void answerPassword(const CredentialRequest& request, const Credential& password);
    void userCertificateResponse(const CredentialRequest& request);
    // The user certificate still wants its handle, key or chain before it can be sent.
    bool needsPreparation() const;
    // A smart-card key not loaded yet: it opens with a PIN.
    bool awaitsPin() const;
    Credential keptPin() const;
    // Prepares the user certificate off the engine thread with the kept PIN; the request waits.
    void prepareCertificate(const CredentialRequest& request);
    bool onBlockedCard(const Certificate& certificate) const;
    // A blocked card no longer in its reader is forgotten: it may come back unblocked.
    void forgetRemovedBlockedCards();
    // The card refused the kept PIN, or is blocked: the PIN is dropped, a blocked card remembered.
    void refusedPin(const Certificate& certificate, bool blocked);
    void buildCaList();
    // Logged once per request: a configuration the readers should have refused.
    bool checkCoherence(const CredentialRequest& request);
    NetworkIdentity::Collection collection() const;

    NetworkImpl& m_network;
    std::vector<Certificate> m_userCertificates;
    std::int32_t m_listState = LIST_NOT_BUILT;
    Certificate m_userCertificate;
    bool m_certificateBeingCompleted = false;
    // The names of the smart cards found blocked: their certificates are not offered again.
    std::vector<Ascii> m_blockedCards;
    // The CA certificates the profile trusts, in its order, each with a library handle: those it
    // names by hash from the machine's stores, those it gives as text from a store of their own.
    std::vector<Certificate> m_caList;
    // The CA texts as one store, which the library takes at session start to build the chain.
    CertificateStore m_caStore;
    bool m_authenticatedProvisioning = false;
    Ascii m_serverName;
};
