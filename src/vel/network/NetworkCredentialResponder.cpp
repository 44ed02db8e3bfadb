#include "vel/network/NetworkCredentialResponder.h"

#include <sstream>
#include <string>

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/adapter/VelAdapter.h"
#include "vel/certificate/CertificateConstants.h"
#include "vel/certificate/CertificateStore.h"
#include "vel/certificate/ClientCertificates.h"
#include "vel/certificate/SmartCardList.h"
#include "vel/configuration/NetworkSubscriberInterface.h"
#include "vel/credmgr/CredentialConstants.h"
#include "vel/credrequest/ClientCertificateEvents.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/exception/ConversionException.h"
#include "vel/multithread/EventQueue.h"
#include "vel/network/LogonStatus.h"
#include "vel/network/Network.h"
#include "vel/network/NetworkCertificateChoice.h"
#include "vel/network/NetworkConstants.h"
#include "vel/network/NetworkEapFastPacs.h"
#include "vel/network/NetworkFastReauthentication.h"
#include "vel/network/NetworkServerValidation.h"
#include "vel/network/NetworkSession.h"
#include "vel/reference/HandleOf.h"
#include "vel/string/AsciiVector.h"
#include "vel/string/TagMacAddr.h"

namespace {

using C = NetworkConstants;
using I = NetworkIdentity;

NetworkCredentialServicesInterface* Services = nullptr;

// A trusted CA of the profile is its certificate's text (1) or its hash in the machine's stores (2).
constexpr std::int32_t CA_GIVEN_AS_TEXT = 1;

// A certificate's DER is one SEQUENCE whose length header covers all of it.
bool isDerSequence(const ByteArray& der) {
    const std::int32_t n = der.length();
    if (n < 2 || der.bytes()[0] != 0x30) return false;
    const std::uint8_t* b = der.bytes();
    std::int64_t length = b[1];
    std::int32_t header = 2;
    if ((b[1] & 0x80) != 0) {
        std::int32_t digits = b[1] & 0x7F;
        if (digits < 1 || digits > 3 || n < 2 + digits) return false;
        length = 0;
        for (std::int32_t i = 0; i < digits; ++i) length = (length << 8) | b[2 + i];
        header = 2 + digits;
    }
    return header + length == n;
}

// A CA certificate as the profile gives it, PEM (one or more blocks) or its base64 alone, as PEM
// text; empty when a block does not decode to a certificate, so that a mistyped profile never
// reaches the library.
Ascii pemText(const Ascii& text) {
    const std::string given(text.text(), static_cast<size_t>(text.length()));
    const bool pem = given.find("-----BEGIN") != std::string::npos;
    std::vector<std::string> bodies(pem ? 0 : 1);
    std::istringstream lines(given);
    for (std::string line; std::getline(lines, line);) {
        if (line.find("-----BEGIN") != std::string::npos) {
            bodies.emplace_back();
        } else if (line.find("-----") == std::string::npos && !bodies.empty()) {
            bodies.back() += line;
        }
    }
    for (const std::string& body : bodies)
        if (!isDerSequence(ByteArray::fromBase64(Ascii(body.c_str())))) return Ascii("");
    if (pem) return text;
    const std::string wrapped =
        "-----BEGIN CERTIFICATE-----\n" + bodies.front() + "\n-----END CERTIFICATE-----\n";
    return Ascii(wrapped.c_str(), static_cast<std::int32_t>(wrapped.size()));
}

std::string eapText(std::int32_t type) {
    try {
        return EapTypeToText(type);
    } catch (const ConversionException&) {
        return std::to_string(type);
    }
}

void postToEngine(const MessageEvent& event) {
    EventQueue queue = EventQueue::Instance();
    if (LUM_ASSERT(!queue.isNull())) queue.post(event);
}

void postToImpersonated(const MessageEvent& event) {
    if (Services != nullptr) {
        Services->postToImpersonatedQueue(event);
    } else {
        postToEngine(event);
    }
}

// The library cannot take a non-EAP method as an outer method.
bool libraryTakes(std::int32_t type) {
    return type > 0 && type < AuthenticationMethod::FIRST_NON_EAP_TYPE;
}

// What a holder holds; a null credential when it is empty.
Credential heldCredential(CredentialProxy proxy) {
    return proxy.exists() ? proxy.credential() : Credential();
}

// The identity the PACs of these parameters are kept under.
// The identity a PAC is provisioned for is the one given inside the tunnel; the outer one is often
// anonymous and would never find it.
Ascii pacIdentity(const AuthenticationParameters& parameters) {
    if (parameters.getProtectedIdentityPattern().length() > 0) {
        Credential inner = parameters.protectedIdentity();
        if (!inner.isNull() && inner.identity().length() > 0) return inner.identity();
    }
    Credential identity = heldCredential(parameters.getIdentity());
    return identity.isNull() ? parameters.unprotectedIdentity().identity() : identity.identity();
}

Ascii hashText(const Certificate& certificate) {
    return certificate.hash().toHex();
}

}  // namespace

NetworkCredentialServicesInterface* NetworkCredentialResponder::installServices(
    NetworkCredentialServicesInterface* services) {
    NetworkCredentialServicesInterface* previous = Services;
    Services = services;
    return previous;
}

void NetworkCredentialResponder::writeKeptCredentials() {
    if (Services != nullptr) Services->writeInternalConfiguration();
}

NetworkSession& NetworkCredentialResponder::session() const {
    return m_network.m_session;
}

std::int32_t NetworkCredentialResponder::connectionType() const {
    return session().m_currentConnectionType;
}

AuthenticationParameters NetworkCredentialResponder::parameters() const {
    return Network(&m_network).getAuthenticationParameters(connectionType());
}

ElementVector NetworkCredentialResponder::methods() const {
    return parameters().authenticationMethods();
}

std::int32_t NetworkCredentialResponder::source() const {
    return session().currentCredentialSource();
}

bool NetworkCredentialResponder::hold(const CredentialRequest& request) {
    session().m_credentialRequest.assign(request);
    return true;
}

CredentialRequest NetworkCredentialResponder::held() const {
    return session().m_credentialRequest.exists() ? session().m_credentialRequest.credentialRequest()
                                                  : CredentialRequest();
}

void NetworkCredentialResponder::dropHeld() {
    session().m_credentialRequest.clear();
}

void NetworkCredentialResponder::storeEapTypes(const std::vector<std::int32_t>& eapTypes) {
    if (eapTypes.empty()) return;
    std::int32_t inner = eapTypes.size() > 1 ? eapTypes[1] : m_network.m_innerEapMethod;
    Network(&m_network).setEapMethods(eapTypes[0], inner);
}

// ----- the library's requests -----

void NetworkCredentialResponder::requestEapMethods(const Reference& r,
                                                   const std::vector<std::int32_t>& eapTypes) {
    CredentialRequest request = CredentialRequest::of(r);
    if (request.isNull() || !session().checkConnectionType()) return;
    ElementVector list = methods();
    if (session().m_fastReauthentication && !eapTypes.empty() && eapTypes[0] != I::topType(list)) {
        fallBackToFullAuthentication(request);
        return;
    }
    // Inside a tunnel the methods offered are the inner methods of the method the levels reached.
    if (eapTypes.size() > 1) {
        std::vector<std::int32_t> outer(eapTypes.begin(), eapTypes.end() - 1);
        AuthenticationMethod reached = NetworkServerValidation::methodFor(list, outer);
        list = reached.isNull() ? ElementVector::create() : reached.innerAuthenticationMethods();
    }
    std::vector<int> offered;
    for (int i = 0; i < list.length(); ++i) {
        std::int32_t type = AuthenticationMethod::at(list, i).authenticationType();
        if (libraryTakes(type)) {
            offered.push_back(type);
        } else {
            logError(3110, "Invalid outer EAP method: %s", eapText(type).c_str());
        }
    }
    request->sendEapMethods(offered);
    request->complete(false);
}

void NetworkCredentialResponder::requestTtlsTunnelMethod(const Reference& r) {
    CredentialRequest request = CredentialRequest::of(r);
    if (request.isNull() || !session().checkConnectionType()) return;
    ElementVector list = methods();
    ElementVector inner = list.length() == 0 ? ElementVector::create()
                                             : AuthenticationMethod::at(list, 0).innerAuthenticationMethods();
    if (inner.length() == 0) {
        logError(3111, "%s: No inner authentication methods configured", m_network.m_name.text());
    } else {
        request->sendTtlsMethod(AuthenticationMethod::at(inner, 0).innerMethodType());
    }
    request->complete(false);
}

void NetworkCredentialResponder::requestIdentity(const Reference& r, std::int32_t, const Ascii& prompt) {
    CredentialRequest request = CredentialRequest::of(r);
    if (request.isNull()) return;
    identityRequest(request, prompt);
}

bool NetworkCredentialResponder::checkCoherence(const CredentialRequest& request) {
    I::Configuration configuration{methods(), connectionType(), m_network.m_connectionTypes, source()};
    if (I::isCoherent(configuration)) return true;
    logError(3112,
             "%s: the authentication methods do not fit the connection's credential source, the request "
             "is left unanswered",
             m_network.m_name.text());
    request->complete(false);
    return false;
}

I::Collection NetworkCredentialResponder::collection() const {
    I::Collection c;
    AuthenticationParameters p = parameters();
    c.kind = I::topCredentialKind(methods());
    c.source = source();
    c.connectionType = connectionType();
    c.userSessionExists = LogonStatus::getLogonContext() != LogonStatusInterface::NO_USER_SESSION;
    c.passwordChangeTriggered = session().m_passwordChangeTriggered;
    c.hasIdentity = p.getIdentity().exists();
    c.hasPasswordOrKey = p.getPasswordOrKeyCredential().exists();
    for (const Certificate& certificate : m_userCertificates) {
        I::Candidate candidate;
        candidate.hash = hashText(certificate);
        candidate.name = certificate.certificateName();
        candidate.usable = certificate.isUsable() && !onBlockedCard(certificate);
        candidate.smartCard = certificate.store().type() == CertificateConstants::STORE_SMART_CARD;
        candidate.privateKeyLoaded = certificate.isPrivateKeyLoaded();
        candidate.storeName = certificate.store().name();
        c.certificates.push_back(candidate);
    }
    CredentialProxy credential = p.getCertificateCredential();
    if (credential.exists()) c.certificateCredentialHash = credential.credential().certificateHash().toHex();
    AuthenticationParameters user =
        Network(&m_network).getAuthenticationParameters(AdapterConstants::CONNECTION_USER);
    CredentialProxy pin = user.getSmartCardPin();
    c.hasPin = pin.exists() && pin.credential().pin().length() > 0;
    return c;
}

void NetworkCredentialResponder::identityRequest(const CredentialRequest& request, const Ascii& prompt) {
    logInfo(3113, "Entered %s", "NetworkImpl::requestIdentity()");
    if (!m_network.m_flagB || !session().checkConnectionType()) return;
    AuthenticationParameters p = parameters();
    if (request->level() > 0) {
        if (session().m_fastReauthentication && !credentialsReady(true)) {
            fallBackToFullAuthentication(request);
            return;
        }
        sendIdentityResponse(request, C::AUTH_STATE_PROTECTED_IDENTITY_SENT);
        return;
    }
    if (session().m_fastReauthentication && p.getIdentity().exists()) {
        logInfo(3114, "Trying fast reauthentication for unprotected identity %s",
                heldCredential(p.getIdentity()).identity().text());
        sendIdentityResponse(request, C::AUTH_STATE_UNPROTECTED_IDENTITY_SENT_FOR_FAST_REAUTHENTICATION);
        return;
    }
    logInfo(3115, "Performing full authentication");
    session().m_fastReauthentication = false;
    if (!checkCoherence(request)) return;
    std::int32_t kind = I::topCredentialKind(methods());
    std::int32_t s = source();
    bool machine = connectionType() == AdapterConstants::CONNECTION_MACHINE;
    if (kind == I::KIND_CERTIFICATE && m_userCertificates.empty() && m_listState == LIST_NOT_BUILT) {
        logInfo(3116, "%s: polling user certificate list", "NetworkImpl::requestIdentity()");
        bool smartCardsOnly = s == I::SOURCE_LOGON || (!machine && m_network.m_allowedCertificateSource == 1);
        if (smartCardsOnly || machine) {
            m_userCertificates = selectClientCertificates(
                collectClientCertificates(machine && !smartCardsOnly ? ClientCertificateSource::OS_MACHINE
                                                                     : ClientCertificateSource::SMART_CARDS));
            m_listState = LIST_BUILT;
        } else {
            logInfo(3117,
                    "%s: requesting list of user certificates from the impersonated worker queue thread",
                    "NetworkImpl::requestIdentity()");
            hold(request);
            m_listState = LIST_REQUESTED;
            postToImpersonated(MessageEvent(new CertificateListEventImpl(
                &m_network, LogonStatus::userTokenSource(), m_network.m_allowedCertificateSource)));
            return;
        }
    }
    VelAdapter adapter = Network(&m_network).getAdapter();
    if (!adapter.isNull() && (s == I::SOURCE_GUI || s == I::SOURCE_LOGON)) {
        TagMacAddr mac(adapter.impl()->macAddress(), 0);
        logInfoTagged(
            Tags(mac), 3118, "%s",
            s == I::SOURCE_GUI ? "Getting credentials from user." : "Getting credentials from logon.");
    }
    LUM_ASSERT_TEXT(kind != 0 && s != 0 && m_network.m_networkMedia != 0,
                    "Network configuration or its current state is invalid");
    I::Outcome outcome = I::collect(collection());
    if (outcome.releaseCertificateCredential) p.releaseCertificateCredential();
    if (outcome.selected >= 0) useCertificate(m_userCertificates[static_cast<size_t>(outcome.selected)]);
    if (outcome.result != I::NOTHING_TO_ASK) {
        NetworkSession& ss = session();
        if (ss.m_passwordChangeCredentialsPresent && outcome.result == I::ASK_USERNAME_PASSWORD &&
            s == I::SOURCE_LOGON) {
            std::string identity =
                std::string(ss.m_passwordChangeUser.text()) + "@" + ss.m_passwordChangeDomain.text();
            ss.deriveIdentity(Ascii(identity.c_str()));
            if (p.getPasswordOrKeyCredential().exists()) {
                logInfo(3119, "%s: password exists, checking logic", "NetworkImpl::requestIdentity()");
                p.releasePasswordOrKeyCredential();
            }
            p.setPasswordOrKeyCredential(Credential::newPassword(ss.m_passwordChangeOldPassword));
        } else {
            logInfo(3120, "%s: sending credential request to subscribers", "NetworkImpl::requestIdentity()");
            hold(request);
            if (kind == I::KIND_TOKEN && s == I::SOURCE_GUI) {
                sendCredentialRequest(outcome.result, 4, prompt);
            } else {
                std::int32_t type = outcome.result == I::ASK_USERNAME_PASSWORD ? IDENTITY_PASSWORD : 0;
                sendCredentialRequest(
                    outcome.result, type,
                    ss.m_credentialSourceOverride != 0 ? Ascii(LOGON_FAILED_PROMPT) : prompt);
            }
            return;
        }
    }
    if (kind == I::KIND_CERTIFICATE) {
        if (m_userCertificates.empty()) {
            logError(3121, "There are no user certificates available");
            m_network.m_credentialFailure = C::CREDENTIAL_FAILURE_NO_CERTIFICATE;
        } else if (m_userCertificate.isNull()) {
            if (s == I::SOURCE_PROFILE) {
                logInfo(3122, "Trying to use client certificate from profile");
                CredentialProxy credential = p.getCertificateCredential();
                if (credential.exists()) {
                    ByteArray hash = credential.credential().certificateHash();
                    Certificate chosen = certificateWithHash(hash);
                    if (!chosen.isNull()) useCertificate(chosen);
                    logInfo(3123, "User certificate %s is %s", hash.toHex().text(),
                            chosen.isNull() ? "not available" : "set");
                } else {
                    logInfo(3124, "No user certificate specified");
                }
            } else if (s == I::SOURCE_MACHINE && machine) {
                Certificate chosen =
                    NetworkCertificateChoice::choose(NetworkCertificateChoice::MACHINE, m_userCertificates);
                if (!chosen.isNull()) useCertificate(chosen);
            }
        }
        identityFromCertificate();
    } else if (kind == I::KIND_PASSWORD && s == I::SOURCE_MACHINE && machine) {
        if (!p.getPasswordOrKeyCredential().exists() && Services != nullptr)
            Services->retrieveMachinePassword(m_network);
        if (!p.getIdentity().exists()) {
            Ascii name = Services != nullptr ? Services->computerName() : Ascii("");
            session().deriveIdentity(I::identityFromDnsName(name));
        }
    }
    sendIdentityResponse(request, C::AUTH_STATE_UNPROTECTED_IDENTITY_SENT_FOR_FULL_AUTHENTICATION);
}

void NetworkCredentialResponder::sendIdentityResponse(const CredentialRequest& request,
                                                      std::int32_t nextState) {
    if (!LUM_ASSERT_TEXT(nextState == C::AUTH_STATE_UNPROTECTED_IDENTITY_SENT_FOR_FULL_AUTHENTICATION ||
                             nextState == C::AUTH_STATE_UNPROTECTED_IDENTITY_SENT_FOR_FAST_REAUTHENTICATION ||
                             nextState == C::AUTH_STATE_PROTECTED_IDENTITY_SENT,
                         "Invalid next authentication state specified for sendIdentityResponse()"))
        return;
    AuthenticationParameters p = parameters();
    bool unprotected = nextState != C::AUTH_STATE_PROTECTED_IDENTITY_SENT;
    Credential identity = unprotected ? p.unprotectedIdentity() : p.protectedIdentity();
    if (identity.isNull() || identity.identity().length() == 0) {
        logInfo(3125, "Identity is not available.");
        request->complete(false);
        return;
    }
    request->sendIdentity(identity);
    if (unprotected) {
        logInfo(3126, "Sending unprotected identity = %s.", identity.identity().text());
    } else {
        logInfo(3127, "Protected identity/(Username) sent.");
    }
    session().setAuthenticationState(nextState);
    request->complete(false);
}

void NetworkCredentialResponder::requestPassword(const Reference& r, const Ascii& prompt,
                                                 const std::vector<std::int32_t>& eapTypes) {
    CredentialRequest request = CredentialRequest::of(r);
    if (request.isNull() || !session().checkConnectionType()) return;
    storeEapTypes(eapTypes);
    if (source() == I::SOURCE_GUI && I::topCredentialKind(methods()) == I::KIND_PASSWORD) {
        hold(request);
        sendCredentialRequest(ASK_USERNAME_PASSWORD, PASSWORD, prompt);
        return;
    }
    NetworkSession& ss = session();
    answerPassword(request, ss.m_passwordChangeCredentialsPresent
                                ? Credential::newPassword(ss.m_passwordChangeOldPassword)
                                : heldCredential(parameters().getPasswordOrKeyCredential()));
}

void NetworkCredentialResponder::answerPassword(const CredentialRequest& request,
                                                const Credential& password) {
    NetworkSession& ss = session();
    if (!password.isNull() && password.type() == CredentialConstants::TYPE_PASSWORD) {
        request->sendPassword(password);
        ss.setAuthenticationState(ss.authenticationState() == C::AUTH_STATE_CREDENTIAL_ACCEPTED
                                      ? C::AUTH_STATE_NEW_CREDENTIAL_SENT
                                      : C::AUTH_STATE_CREDENTIAL_SENT);
    }
    request->complete(false);
}

void NetworkCredentialResponder::requestPasswordChange(const Reference& r, const Ascii&) {
    CredentialRequest request = CredentialRequest::of(r);
    if (request.isNull()) return;
    NetworkSession& ss = session();
    LUM_ASSERT_TEXT(ss.authenticationState() == C::AUTH_STATE_CREDENTIAL_SENT,
                    "m_authenticationState == AUTH_STATE_CREDENTIAL_SENT");
    ss.setAuthenticationState(C::AUTH_STATE_CREDENTIAL_ACCEPTED);
    hold(request);
    logInfo(3128, "Setting triggered passwordChange to true");
    ss.m_passwordChangeTriggered = true;
    if (ss.m_credentialSourceOverride != 0) ss.revertToSso();
    logInfo(3129, "Sending password change to NetworkStateMachine %s credentials from gui or sso",
            ss.m_passwordChangeCredentialsPresent ? "with" : "without");
    Network(&m_network).handleAuthRequest(C::CHANGE_PASSWORD);
}

void NetworkCredentialResponder::requestPasswordRetry(const Reference& r, const Ascii& prompt) {
    CredentialRequest request = CredentialRequest::of(r);
    if (request.isNull()) return;
    NetworkSession& ss = session();
    LUM_ASSERT_TEXT(ss.authenticationState() == C::AUTH_STATE_CREDENTIAL_SENT,
                    "m_authenticationState == AUTH_STATE_CREDENTIAL_SENT");
    std::int32_t s = source();
    if (s == I::SOURCE_GUI) {
        logInfo(3130, "Password retry, credential source is UI");
        hold(request);
        sendCredentialRequest(ASK_USERNAME_PASSWORD, PASSWORD_RETRY, prompt);
    } else if (s == I::SOURCE_LOGON) {
        logInfo(3131, "Password retry, credential source is sso");
        // Before logon the logon waits for this network with credentials that just failed: the
        // port closes, so that the authentication starts again once the user has answered
        // instead of the library going on with the rejected password.
        if (m_network.m_connectionTypes == NetworkImpl::CONNECTION_TYPES_BOTH && Services != nullptr &&
            Services->connectsBeforeLogon())
            m_network.behavior().closeAdapterPort();
        m_network.behavior().rejectionActions();
        // The rejection of logon credentials may have switched to the GUI already.
        if (ss.m_credentialSourceOverride != I::SOURCE_GUI) ss.forceGuiSource();
        request->complete(false);
    } else {
        logInfo(3132, "Password retry for unsupported credential source");
        request->complete(false);
    }
    ss.setAuthenticationState(C::AUTH_STATE_CREDENTIAL_REJECTED);
}

void NetworkCredentialResponder::buildCaList() {
    if (!m_caList.empty()) return;
    ElementVector cas = parameters().getValidationParameters().trustedCas();
    std::vector<Certificate> machineCas;
    bool machineCasRead = false;
    AsciiVector texts;
    for (int i = 0; i < cas.length(); ++i) {
        TrustedCaCert ca = handleOf<TrustedCaCert>(cas.get(i));
        if (ca.kind() == CA_GIVEN_AS_TEXT) {
            Ascii pem = pemText(ca.certificateReference());
            std::vector<Certificate> given;
            if (pem.length() > 0) {
                AsciiVector one;
                one.add(pem);
                given = certificates(CertificateStore::base64(one));
            }
            if (given.empty()) logError(3174, "Can not read CA certificate %d given in the profile", i + 1);
            m_caList.insert(m_caList.end(), given.begin(), given.end());
            if (!given.empty()) texts.add(pem);
            continue;
        }
        if (!machineCasRead) {
            for (const CertificateStore& store :
                 {CertificateStore::machineRootCa(), CertificateStore::machineIntermediateCa()})
                for (const Certificate& c : certificates(store)) machineCas.push_back(c);
            machineCasRead = true;
        }
        ByteArray hash = ByteArray::fromHex(ca.certificateReference());
        bool found = false;
        for (const Certificate& c : machineCas) {
            if (c.hash() == hash) {
                m_caList.push_back(c);
                found = true;
                break;
            }
        }
        if (!found)
            logError(3133,
                     "Can not find CA certificate with hash value %s in the local machine certificate stores",
                     ca.certificateReference().text());
    }
    // The library asks about a CA by its handle.
    for (const Certificate& c : m_caList) c.createHandle();
    if (texts.length() > 0) m_caStore = CertificateStore::base64(texts);
}

void NetworkCredentialResponder::requestSessionStart(const Reference& r, std::int32_t lastEapType) {
    CredentialRequest request = CredentialRequest::of(r);
    if (request.isNull() || !session().checkConnectionType()) return;
    ElementVector list = methods();
    if (m_network.m_flagB) LUM_ASSERT_TEXT(list.length() > 0, "getAuthenticationMethods().length()");
    logInfo(3134, "Starting new authentication session, last negotiated top EAP method = %s",
            eapText(lastEapType).c_str());
    buildCaList();
    clearUserCertificateList();
    forgetRemovedBlockedCards();
    m_authenticatedProvisioning = false;
    bool smartCardInUse = !m_userCertificate.isNull() &&
                          m_userCertificate.store().type() == CertificateConstants::STORE_SMART_CARD;
    NetworkSession& ss = session();
    ss.m_fastReauthentication = NetworkFastReauthentication::decide(list, lastEapType, smartCardInUse);
    if (!ss.m_fastReauthentication) ss.clearSessionCredentials();
    request->sendSessionStart(!ss.m_fastReauthentication, m_caStore);
    ss.setAuthenticationState(C::AUTH_STATE_STARTED);
    request->complete(false);
}

void NetworkCredentialResponder::requestEapFastPac(const Reference& r, const ByteArray& aid) {
    CredentialRequest request = CredentialRequest::of(r);
    if (request.isNull() || !session().checkConnectionType()) return;
    AuthenticationParameters p = parameters();
    Ascii iid = pacIdentity(p);
    NetworkSession& ss = session();
    CredentialProxy pac;
    if (connectionType() == AdapterConstants::CONNECTION_MACHINE) {
        pac = NetworkEapFastPacs::find(m_network.m_savedPacs, NetworkEapFastPacs::MACHINE, aid, iid);
        if (pac.exists()) {
            ss.m_sessionPacType = NetworkSession::SESSION_PAC_MACHINE;
            logInfo(3135, "Requested machine pac was sent.");
        }
    }
    if (!pac.exists()) {
        pac = NetworkEapFastPacs::find(m_network.m_savedPacs, NetworkEapFastPacs::TUNNEL, aid, iid);
        if (pac.exists()) {
            ss.m_sessionPacType = NetworkSession::SESSION_PAC_TUNNEL;
            logInfo(3136, "Requested tunnel pac was sent.");
        }
    }
    if (pac.exists()) {
        Credential credential = pac.credential();
        p.setPac(credential);
        request->sendEapFastPac(&credential);
    } else {
        ss.m_sessionPacType = NetworkSession::SESSION_PAC_NONE;
        logInfo(3137, "Sent Null pac.");
        request->sendEapFastPac(nullptr);
    }
    request->complete(false);
}

void NetworkCredentialResponder::requestEapFastProvisionModes(const Reference& r) {
    CredentialRequest request = CredentialRequest::of(r);
    if (request.isNull() || !session().checkConnectionType()) return;
    if (session().m_fastReauthentication) {
        fallBackToFullAuthentication(request);
        return;
    }
    // A second provisioning in one session is a fault of the library's conversation.
    LUM_ASSERT_TEXT(!m_authenticatedProvisioning, "m_authenticatedProvisioning == false");
    request->sendProvisionModes(parameters().isFastUnauthProvisioning());
    m_authenticatedProvisioning = true;
    request->complete(false);
}

void NetworkCredentialResponder::handleAuthenticationNotification(const Reference& r, const Credential& pac) {
    CredentialRequest request = CredentialRequest::of(r);
    savePac(pac);
    if (Services != nullptr) Services->writeInternalConfiguration();
    if (!request.isNull()) request->complete(true);
    session().setAuthenticationState(C::AUTH_STATE_EAP_FAST_PROVISIONING_SUCCESS);
}

void NetworkCredentialResponder::requestMachineIdentity(const Reference& r) {
    CredentialRequest request = CredentialRequest::of(r);
    if (request.isNull()) return;
    AuthenticationParameters machine =
        Network(&m_network).getAuthenticationParameters(AdapterConstants::CONNECTION_MACHINE);
    Credential identity = heldCredential(machine.getIdentity());
    if (identity.isNull()) identity = machine.unprotectedIdentity();
    if (LUM_ASSERT_TEXT(!identity.isNull() && identity.identity().length() > 0,
                        "Machine identity should not be requested OR should exist"))
        request->sendMachineIdentity(identity);
    request->complete(false);
}

void NetworkCredentialResponder::requestServerVerify(const Reference& r, QX_HANDLE certificate,
                                                     const std::vector<std::int32_t>& eapTypes,
                                                     std::int32_t chainIsValid) {
    CredentialRequest request = CredentialRequest::of(r);
    if (request.isNull() || !session().checkConnectionType()) return;
    if (session().m_fastReauthentication && request->level() == 0 && !credentialsReady(false)) {
        fallBackToFullAuthentication(request);
        return;
    }
    NetworkServerValidation::Request check;
    check.methods = methods();
    check.eapTypes = eapTypes;
    check.chainIsValid = chainIsValid == 1;
    check.validation = parameters().getValidationParameters();
    check.adapterAttached = !Network(&m_network).getAdapter().isNull();
    check.caList = m_caList;
    check.chainsTo = [&](const Certificate& ca) { return request->serverVerifyCa(ca) == 1; };
    check.names = NetworkServerValidation::namesOf(certificate);
    bool valid = NetworkServerValidation::validate(check, &m_serverName);
    request->sendServerVerified(valid);
    request->complete(false);
}

void NetworkCredentialResponder::requestUserCertificate(const Reference& r,
                                                        const std::vector<std::int32_t>& eapTypes) {
    CredentialRequest request = CredentialRequest::of(r);
    if (request.isNull() || !session().checkConnectionType()) return;
    bool protectedTunnel = request->level() > 0;
    storeEapTypes(eapTypes);
    if (m_userCertificate.isNull()) {
        logInfo(3138, "Certificate doesn't exist");
        m_network.m_credentialFailure = C::CREDENTIAL_FAILURE_NO_CERTIFICATE;
        request->complete(I::topCredentialKind(methods()) != I::KIND_CERTIFICATE);
        return;
    }
    if (I::certificateViaInnerMethod(methods()) && !protectedTunnel) {
        logInfo(3139, "Will not send user certificate unprotected");
        request->complete(true);
        return;
    }
    if (m_certificateBeingCompleted) {
        logInfo(3140, "Postponing client certificate request till the previous certificate is completed.");
        hold(request);
        return;
    }
    if (onBlockedCard(m_userCertificate)) {
        // A blocked card refuses every PIN: it is not tried again.
        logInfo(3175, "Smart card '%s' is blocked, its certificate is not used",
                m_userCertificate.store().name().text());
        m_network.m_credentialFailure = C::CREDENTIAL_FAILURE_CARD_BLOCKED;
        request->complete(false);
        return;
    }
    if (!needsPreparation()) {
        userCertificateResponse(request);
        return;
    }
    prepareCertificate(request);
}

bool NetworkCredentialResponder::needsPreparation() const {
    return !m_userCertificate.isNull() && m_userCertificate.isUsable() &&
           !(m_userCertificate.handle() != 0 && m_userCertificate.isChainLoaded() &&
             m_userCertificate.isPrivateKeyLoaded());
}

bool NetworkCredentialResponder::awaitsPin() const {
    return !m_userCertificate.isPrivateKeyLoaded() &&
           m_userCertificate.store().type() == CertificateConstants::STORE_SMART_CARD;
}

Credential NetworkCredentialResponder::keptPin() const {
    return heldCredential(
        Network(&m_network).getAuthenticationParameters(AdapterConstants::CONNECTION_USER).getSmartCardPin());
}

void NetworkCredentialResponder::prepareCertificate(const CredentialRequest& request) {
    Ascii pin("");
    if (awaitsPin()) {
        Credential kept = keptPin();
        if (!kept.isNull()) pin = kept.pin();
    }
    hold(request);
    m_certificateBeingCompleted = true;
    postToImpersonated(MessageEvent(new ClientCertificateCompletionRequestEventImpl(
        &m_network, LogonStatus::userTokenSource(), m_userCertificate, pin, CertificateStore())));
}

void NetworkCredentialResponder::forgetRemovedBlockedCards() {
    if (m_blockedCards.empty()) return;
    SmartCardList cards = SmartCardList::existing();
    std::vector<Certificate> inserted = cards.isNull() ? std::vector<Certificate>() : cards.certificates();
    std::erase_if(m_blockedCards, [&](const Ascii& card) {
        for (const Certificate& certificate : inserted)
            if (certificate.isUsable() && certificate.store().name() == card) return false;
        logInfo(3178, "Smart card '%s' was taken out, it may come back unblocked", card.text());
        return true;
    });
}

bool NetworkCredentialResponder::onBlockedCard(const Certificate& certificate) const {
    if (certificate.isNull() || certificate.store().type() != CertificateConstants::STORE_SMART_CARD)
        return false;
    for (const Ascii& card : m_blockedCards)
        if (card == certificate.store().name()) return true;
    return false;
}

void NetworkCredentialResponder::userCertificateResponse(const CredentialRequest& request) {
    if (!m_userCertificate.isNull() && m_userCertificate.isUsable()) {
        if (!m_userCertificate.hasCompleteChain())
            logWarning(3141, "Could not complete client certificate chain.");
        if (m_userCertificate.isPrivateKeyLoaded()) {
            logInfo(3142, "Sending user certificate response to qxAuth: %s(%s)",
                    hashText(m_userCertificate).text(), m_userCertificate.certificateName().text());
            request->sendUserCertificate(m_userCertificate);
            m_network.m_credentialFailure = C::CREDENTIAL_FAILURE_NONE;
            session().setAuthenticationState(C::AUTH_STATE_CREDENTIAL_SENT);
        } else {
            logInfo(3143, "Private key for user certificate %s(%s) is not available",
                    hashText(m_userCertificate).text(), m_userCertificate.certificateName().text());
        }
    } else if (!m_userCertificate.isNull()) {
        logInfo(3144, "Certificate %s is unusable%s", hashText(m_userCertificate).text(),
                m_userCertificate.store().type() == CertificateConstants::STORE_SMART_CARD
                    ? " (smart card removed?)"
                    : "");
    }
    request->complete(false);
}

void NetworkCredentialResponder::requestEapFastPacTypes(const Reference& r, const ByteArray& aid) {
    CredentialRequest request = CredentialRequest::of(r);
    if (request.isNull() || !session().checkConnectionType()) return;
    NetworkSession& ss = session();
    if (ss.authenticationState() == C::AUTH_STATE_CREDENTIAL_SENT ||
        ss.authenticationState() == C::AUTH_STATE_NEW_CREDENTIAL_SENT)
        ss.setAuthenticationState(C::AUTH_STATE_CREDENTIAL_ACCEPTED);
    Network network(&m_network);
    ElementVector list = methods();
    AuthenticationParameters machine =
        network.getAuthenticationParameters(AdapterConstants::CONNECTION_MACHINE);
    AuthenticationParameters user = network.getAuthenticationParameters(AdapterConstants::CONNECTION_USER);
    NetworkEapFastPacs::TypesQuery query;
    query.topUsesPac =
        I::topType(list) == AdapterConstants::EAP_FAST && AuthenticationMethod::at(list, 0).getUsePac();
    query.allowedConnectionTypes = m_network.m_connectionTypes;
    query.connectionType = connectionType();
    ElementVector machineMethods = machine.authenticationMethods();
    query.machinePacForUser = I::topType(machineMethods) == AdapterConstants::EAP_FAST &&
                              I::topType(user.authenticationMethods()) == AdapterConstants::EAP_FAST &&
                              AuthenticationMethod::at(machineMethods, 0).getUsePac();
    AuthenticationParameters p = parameters();
    Ascii iid = pacIdentity(p);
    query.stored = [&](std::int32_t type) {
        return NetworkEapFastPacs::find(m_network.m_savedPacs, type, aid, iid).exists();
    };
    std::vector<std::int32_t> types = NetworkEapFastPacs::typesToRequest(query);
    request->sendEapFastPacTypes(types.data(), static_cast<int>(types.size()));
    request->complete(false);
}

void NetworkCredentialResponder::requestCredCanceled(const Reference&) {
    if (held().isNull()) return;
    logInfo(3145, "requestCredCanceled: Clearing m_credentialRequest");
    dropHeld();
}

// ----- the answers of the tray and the logon component -----

void NetworkCredentialResponder::savePac(const Credential& pac) {
    logInfo(3146, "Saving PAC  for iid: %s", pac.iid().text());
    logInfo(3147, "%s",
            pac.pacType() == NetworkEapFastPacs::TUNNEL ? "Received tunnel pac." : "Received machine pac.");
    m_network.m_savedPacs.add(pac.m);
}

void NetworkCredentialResponder::processCertificateResponse(const Certificate& certificate) {
    Certificate listed = certificate.isNull() ? Certificate() : certificateWithHash(certificate.hash());
    if (listed.isNull()) {
        logInfo(3148, "Selected user certificate %s is not available",
                certificate.isNull() ? "" : hashText(certificate).text());
    } else {
        useCertificate(listed);
    }
    respondToValidCredRequest();
}

void NetworkCredentialResponder::processSmartCardPinResponse(const Ascii& pin) {
    logInfo(3149, "Received SmartCard PIN response from user");
    AuthenticationParameters user =
        Network(&m_network).getAuthenticationParameters(AdapterConstants::CONNECTION_USER);
    if (pin.length() > 0) user.setSmartCardPin(Credential::newPin(pin));
    if (source() == I::SOURCE_LOGON && m_userCertificate.isNull()) {
        Certificate chosen =
            NetworkCertificateChoice::choose(NetworkCertificateChoice::SMART_CARD, m_userCertificates);
        if (!chosen.isNull()) useCertificate(chosen);
    }
    respondToValidCredRequest();
}

void NetworkCredentialResponder::processUsernamePasswordResponse(const Ascii& user, const Ascii& password,
                                                                 std::int32_t replyKind) {
    logInfo(3150, "In processUsernamePasswordResponse");
    if (!session().checkConnectionType()) return;
    AuthenticationParameters p = parameters();
    if (replyKind != 1) p.setIdentity(Credential::newIdentity(user));
    if (replyKind != 4) p.setPasswordOrKeyCredential(Credential::newPassword(password));
    if (held().isNull()) return;
    logInfo(3151, "processUsernamePasswordResponse: Responding to valid credential request");
    respondToValidCredRequest();
}

void NetworkCredentialResponder::respondToValidCredRequest() {
    CredentialRequest request = held();
    if (request.isNull()) return;
    switch (request->requestType()) {
        case QX_CRED_IDENTITY:
            identityRequest(request, Ascii(""));
            // Asked again: the request stays held for the next answer.
            if (held().m == request.m && !request->isCompleted()) return;
            break;
        case QX_CRED_PASSWORD:
        case QX_CRED_PASSWORD_RETRY:
        case QX_CRED_PASSWORD_CHANGE: {
            NetworkSession& ss = session();
            bool change =
                request->requestType() == QX_CRED_PASSWORD_CHANGE && ss.m_passwordChangeCredentialsPresent;
            answerPassword(request, change ? Credential::newPassword(ss.m_passwordChangeNewPassword)
                                           : heldCredential(parameters().getPasswordOrKeyCredential()));
            break;
        }
        case QX_CRED_USER_CERT:
            // A PIN typed again after the card refused one: the key is loaded with it first. Without
            // a PIN the card is not asked at all, so that no try of the card is spent.
            if (needsPreparation() && !onBlockedCard(m_userCertificate) &&
                (!awaitsPin() || !keptPin().isNull())) {
                prepareCertificate(request);
                return;
            }
            userCertificateResponse(request);
            break;
        default:
            request->complete(false);
            break;
    }
    logInfo(3152, "NetworkImpl::respondToValidCredRequest: clearing m_credentialRequest");
    if (held().m == request.m) dropHeld();
}

// ----- certificates -----

void NetworkCredentialResponder::certificateListReady(const std::vector<Certificate>& list) {
    CredentialRequest request = held();
    if (m_listState != LIST_REQUESTED || request.isNull()) {
        logInfo(3153,
                "User certificate list has been created (%d certificate(s)), but it's too late now -- "
                "ignoring it.",
                static_cast<int>(list.size()));
        return;
    }
    m_listState = LIST_BUILT;
    logInfo(3154, "User certificate list has been created (%d certificate(s))",
            static_cast<int>(list.size()));
    m_userCertificates = list;
    dropHeld();
    identityRequest(request, Ascii(""));
}

void NetworkCredentialResponder::clientCertificateCompleted(const Certificate& certificate, int status) {
    m_certificateBeingCompleted = false;
    const bool wrongPin = status == CertificateConstants::ERR_WRONG_PIN;
    const bool blocked = status == CertificateConstants::ERR_CARD_BLOCKED;
    if (wrongPin || blocked) refusedPin(certificate, blocked);
    CredentialRequest request = held();
    if (request.isNull() || request->requestType() != QX_CRED_USER_CERT) return;
    if (wrongPin && (source() == I::SOURCE_GUI || source() == I::SOURCE_LOGON) &&
        certificate.m == m_userCertificate.m) {
        // The logon component would only give the same PIN again: the user types the next one.
        if (source() == I::SOURCE_LOGON) session().forceGuiSource();
        logInfo(3176, "Asking the user again for the PIN of smart card '%s'",
                certificate.store().name().text());
        sendCredentialRequest(ASK_PIN, 0, Ascii(""));
        return;
    }
    dropHeld();
    userCertificateResponse(request);
}

void NetworkCredentialResponder::refusedPin(const Certificate& certificate, bool blocked) {
    // A PIN the card refused is never sent again: the next one comes from the user.
    Network(&m_network).getAuthenticationParameters(AdapterConstants::CONNECTION_USER).releaseSmartCardPin();
    logInfo(3177, "The PIN of smart card '%s' was refused and is forgotten",
            certificate.store().name().text());
    m_network.m_credentialFailure =
        blocked ? C::CREDENTIAL_FAILURE_CARD_BLOCKED : C::CREDENTIAL_FAILURE_WRONG_PIN;
    if (blocked && !onBlockedCard(certificate)) m_blockedCards.push_back(certificate.store().name());
    if (m_network.m_smartCardPinStorage == C::CREDENTIAL_STORAGE_FOREVER) writeKeptCredentials();
}

void NetworkCredentialResponder::useCertificate(const Certificate& certificate) {
    m_userCertificate = certificate;
    parameters().setCertificateCredential(Credential::newCertificate(certificate.hash()));
}

void NetworkCredentialResponder::dropCertificate() {
    m_userCertificate = Certificate();
    parameters().releaseCertificateCredential();
}

Certificate NetworkCredentialResponder::certificateWithHash(const ByteArray& hash) const {
    std::vector<Certificate> snapshot = m_userCertificates;
    for (const Certificate& certificate : snapshot)
        if (certificate.hash() == hash) return certificate;
    return Certificate();
}

void NetworkCredentialResponder::identityFromCertificate() {
    if (m_userCertificate.isNull()) {
        logInfo(3155, "Certificate doesn't exist, identity is not set");
        return;
    }
    if (!m_userCertificate.isUsable()) {
        logInfo(3156, "Certificate %s is unusable, identity is not set", hashText(m_userCertificate).text());
        return;
    }
    Ascii identity;
    bool machine = connectionType() == AdapterConstants::CONNECTION_MACHINE;
    if (machine) {
        identity = I::identityFromDnsName(m_userCertificate.issuedToName());
    } else if (connectionType() == AdapterConstants::CONNECTION_USER) {
        identity = m_userCertificate.certificateName();
    } else {
        LUM_ASSERT_TEXT(false, "false");
        return;
    }
    logInfo(3157, "Setting identity %s from %s certificate %s", identity.text(), machine ? "machine" : "user",
            hashText(m_userCertificate).text());
    session().deriveIdentity(identity);
}

void NetworkCredentialResponder::clearUserCertificateList() {
    logInfo(3158, "User certificate list has been cleared");
    m_userCertificates.clear();
    m_listState = LIST_NOT_BUILT;
}

// ----- to the tray -----

void NetworkCredentialResponder::sendCredentialRequest(std::int32_t credentialType,
                                                       std::int32_t passwordRequestType,
                                                       const Ascii& prompt) {
    std::int32_t s = source();
    ElementVector certificates = ElementVector::create();
    if (credentialType == ASK_CERTIFICATE) {
        for (const Certificate& certificate : m_userCertificates) certificates.add(certificate.m);
    } else if (credentialType == ASK_PIN) {
        if (s == I::SOURCE_GUI) LUM_ASSERT_TEXT(!m_userCertificate.isNull(), "m_userCertificate.exists()");
        if (!m_userCertificate.isNull()) certificates.add(m_userCertificate.m);
    }
    Network self(&m_network);
    m_network.forEachSubscriber([&](NetworkSubscriberInterface* subscriber) {
        subscriber->networkCredentialRequest(self, certificates, credentialType, s, passwordRequestType,
                                             prompt);
    });
}

// ----- decisions shared by the requests -----

bool NetworkCredentialResponder::credentialsReady(bool protectedIdentity) {
    AuthenticationParameters p = parameters();
    Credential identity = protectedIdentity ? p.protectedIdentity() : p.unprotectedIdentity();
    if (identity.isNull() || identity.identity().length() == 0) return false;
    switch (I::topCredentialKind(methods())) {
        case I::KIND_PASSWORD:
            return p.getPasswordOrKeyCredential().exists();
        case I::KIND_TOKEN:
            return true;
        case I::KIND_CERTIFICATE: {
            if (m_userCertificate.isNull() || !m_userCertificate.isUsable()) return false;
            if (m_userCertificate.store().type() != CertificateConstants::STORE_SMART_CARD ||
                m_userCertificate.isPrivateKeyLoaded())
                return true;
            CredentialProxy pin = Network(&m_network)
                                      .getAuthenticationParameters(AdapterConstants::CONNECTION_USER)
                                      .getSmartCardPin();
            return pin.exists() && pin.credential().pin().length() > 0;
        }
        default:
            return false;
    }
}

void NetworkCredentialResponder::fallBackToFullAuthentication(const CredentialRequest& request) {
    logInfo(3159, "Fast reauthentication failed, doing fallback to a full authentication");
    NetworkSession& ss = session();
    ss.clearSessionCredentials();
    m_network.behavior().endOfSessionActions();
    request->complete(false);
    m_network.behavior().reauthenticate();
    ss.setAuthenticationState(C::AUTH_STATE_FULL_AUTHENTICATION_FALLBACK);
}
