#pragma once
// One configured network (a named wired or wireless network of a group, or a global network):
// its settings from the configuration files and the connection API, the objects that follow it,
// and its behaviour when started and stopped. Everything runs on the event-queue thread.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "vel/adapter/AdapterAttributes.h"
#include "vel/adapter/AssociationInfo.h"
#include "vel/adapter/ConnectionInfo.h"
#include "vel/configuration/Settings8021x.h"
#include "vel/credrequest/ClientCertificateHandler.h"
#include "vel/network/AuthenticationParameters.h"
#include "vel/network/NetworkBehavior.h"
#include "vel/network/NetworkCredentialResponder.h"
#include "vel/network/NetworkSession.h"
#include "vel/port/CredentialResponder.h"
#include "vel/reference/ElementVector.h"
#include "vel/reference/HandleOf.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"

class Network;
class NetworkSubscriberInterface;
class VelAdapter;

// It answers the authentication library for the adapter it holds (CredentialResponderInterface) and
// takes the certificates prepared for it off the engine thread (ClientCertificateHandlerInterface).
class NetworkImpl : public ReferenceImpl,
                    public CredentialResponderInterface,
                    public ClientCertificateHandlerInterface {
public:
    // Media type of a network that no reader has set yet.
    static constexpr std::int32_t MEDIA_TYPE_NONE = 4;
    static constexpr std::int32_t MEDIA_WIRED = 1;
    static constexpr std::int32_t MEDIA_WIRELESS = 2;
    // Allowed connection types.
    static constexpr std::int32_t CONNECTION_TYPES_MACHINE = 1;
    static constexpr std::int32_t CONNECTION_TYPES_USER = 2;
    static constexpr std::int32_t CONNECTION_TYPES_BOTH = 3;
    static constexpr std::int32_t ORIGIN_USER = 1;
    static constexpr std::int32_t ORIGIN_ADMINISTRATOR = 2;
    static constexpr std::int32_t INITIAL_DEFAULT_CONNECTION_TIMEOUT = 40;
    static constexpr std::int32_t INITIAL_DEFAULT_ASSOCIATION_TIMEOUT = 3;

    explicit NetworkImpl(const Ascii& name);
    ~NetworkImpl() override;

    void addRef() override { ReferenceImpl::addRef(); }
    void release() override { ReferenceImpl::release(); }
    void release2() override { ReferenceImpl::release2(); }
    // Empties the subscriber list and lets the behaviour drop what it holds.
    void clearReferences() override;

    // The library's requests, in their slot order, each to the credential responder.
    void requestEapMethods(const Reference& request, const std::vector<std::int32_t>& eapTypes) override {
        m_responder.requestEapMethods(request, eapTypes);
    }
    void requestTtlsTunnelMethod(const Reference& request) override {
        m_responder.requestTtlsTunnelMethod(request);
    }
    void requestIdentity(const Reference& request, std::int32_t level, std::int32_t, bool,
                         const Ascii& prompt) override {
        m_responder.requestIdentity(request, level, prompt);
    }
    void requestPassword(const Reference& request, const Ascii& prompt,
                         const std::vector<std::int32_t>& eapTypes) override {
        m_responder.requestPassword(request, prompt, eapTypes);
    }
    void requestPasswordChange(const Reference& request, const Ascii& prompt) override {
        m_responder.requestPasswordChange(request, prompt);
    }
    void requestPasswordRetry(const Reference& request, const Ascii& prompt) override {
        m_responder.requestPasswordRetry(request, prompt);
    }
    void requestSessionStart(const Reference& request, std::int32_t eapMethod) override {
        m_responder.requestSessionStart(request, eapMethod);
    }
    void requestEapFastPac(const Reference& request, const ByteArray& aid) override {
        m_responder.requestEapFastPac(request, aid);
    }
    void requestEapFastProvisionModes(const Reference& request) override {
        m_responder.requestEapFastProvisionModes(request);
    }
    void handleAuthenticationNotification(const Reference& request, const Credential& pac) override {
        m_responder.handleAuthenticationNotification(request, pac);
    }
    void requestMachineIdentity(const Reference& request, std::int32_t, std::int32_t, bool) override {
        m_responder.requestMachineIdentity(request);
    }
    void requestServerVerify(const Reference& request, QX_HANDLE certificate,
                             const std::vector<std::int32_t>& eapTypes, std::int32_t chainIsValid) override {
        m_responder.requestServerVerify(request, certificate, eapTypes, chainIsValid);
    }
    void requestUserCertificate(const Reference& request,
                                const std::vector<std::int32_t>& eapTypes) override {
        m_responder.requestUserCertificate(request, eapTypes);
    }
    void requestEapFastPacTypes(const Reference& request, const ByteArray& aid) override {
        m_responder.requestEapFastPacTypes(request, aid);
    }
    void requestCredCanceled(const Reference& request) override { m_responder.requestCredCanceled(request); }
    bool isAuthenticationNetwork() override { return m_flagB; }

    // The answers of the tray and the logon component.
    virtual void savePac(const Credential& pac) { m_responder.savePac(pac); }
    virtual void processCertificateResponse(const Certificate& certificate) {
        m_responder.processCertificateResponse(certificate);
    }
    virtual void processSmartCardPinResponse(const Ascii& pin) {
        m_responder.processSmartCardPinResponse(pin);
    }
    // replyKind: 1 the password alone, 4 the user name alone, else both.
    virtual void processUsernamePasswordResponse(const Ascii& user, const Ascii& password,
                                                 std::int32_t replyKind) {
        m_responder.processUsernamePasswordResponse(user, password, replyKind);
    }
    void respondToValidCredRequest() { m_responder.respondToValidCredRequest(); }
    void sendCredentialRequest(std::int32_t credentialType, std::int32_t passwordRequestType,
                               const Ascii& prompt) {
        m_responder.sendCredentialRequest(credentialType, passwordRequestType, prompt);
    }

    // The certificate work that ran off the engine thread.
    void clientCertificateCompleted(const Certificate& certificate, int status) override {
        m_responder.clientCertificateCompleted(certificate, status);
    }
    void certificateListReady(const std::vector<Certificate>& certificates) override {
        m_responder.certificateListReady(certificates);
    }

    NetworkBehaviorInterface& behavior() { return *m_behavior; }

    // Each subscriber's networkAccessStateChanged, in list order; the list length is read again
    // after every call, as a subscriber may leave while it is told.
    void notifyAccessState(std::int32_t accessState);
    // The same for the state of the adapter the network holds (networkStateChanged).
    void notifyAdapterState(std::int32_t adapterState, const VelAdapter& adapter);

    // Calls tell for every subscriber in list order, following the changes the calls make.
    void forEachSubscriber(const std::function<void(NetworkSubscriberInterface*)>& tell);

    // Asserts that a reader has set the media type.
    bool checkMediaType() const;

    Ascii m_name;
    bool m_global = false;
    // An 802.1X ("authenticationNetwork") network.
    bool m_flagB = false;
    std::int32_t m_networkMedia = 0;
    Settings8021x m_settings8021x = Settings8021x::create();
    ElementVector m_subscribers = ElementVector::create();
    std::int32_t m_origin = 0;
    AuthenticationParameters m_userAuthenticationParameters = AuthenticationParameters::create();
    AuthenticationParameters m_machineAuthenticationParameters = AuthenticationParameters::create();
    bool m_extendUserConnectionBeyondLogoff = false;
    std::int32_t m_mediaType = MEDIA_TYPE_NONE;
    ByteArray m_ssid;
    std::int32_t m_associationMode = 0;
    std::int32_t m_encryption = 1;
    std::int32_t m_connectionTypes = 0;
    std::int32_t m_credentialStorage = 0;
    std::int32_t m_allowedCertificateSource = 0;
    std::int32_t m_smartCardPinStorage = 0;
    // Carried for the configuration files and the connection API, unchanged.
    bool m_furtherFlag1 = false;
    std::int32_t m_furtherNumber1 = 30;
    bool m_furtherFlag2 = true;
    std::int32_t m_furtherNumber2 = 0;
    std::int32_t m_connectionTimeout;
    std::int32_t m_associationTimeout;
    // Shown in the network state event: the outer and the inner EAP method.
    std::int32_t m_outerEapMethod = 0;
    std::int32_t m_innerEapMethod = 0;
    // Why the last session could not send the user's certificate (NetworkConstants).
    std::int32_t m_credentialFailure = 0;
    Ascii m_script;
    // EAP-FAST PACs kept for this network (Credential entries).
    ElementVector m_savedPacs = ElementVector::create();
    NetworkSession m_session{*this};
    NetworkCredentialResponder m_responder{*this};

    static std::atomic<std::int32_t> DefaultConnectionTimeout;
    static std::atomic<std::int32_t> DefaultAssociationTimeout;

private:
    std::unique_ptr<NetworkBehaviorInterface> m_behavior;
};

class Network : public Reference {
public:
    Network() = default;
    explicit Network(NetworkImpl* existing) : Reference(static_cast<ReferenceImpl*>(existing)) {}
    static Network create(const Ascii& name);

    Ascii name() const { return impl()->m_name; }

    // Behaviour.
    void start() const { impl()->behavior().start(); }
    void stop() const { impl()->behavior().stop(); }
    void accessChanged() const { impl()->behavior().accessChanged(); }
    // False while the network is stopped or its access is.
    bool isStarted() const { return impl()->behavior().isStarted(); }
    void disconnect() const { impl()->behavior().disconnect(); }
    // The matchmaker's match: the adapter is attached and the network connects over it.
    void attachAdapter(const VelAdapter& adapter) const { impl()->behavior().attachAdapter(adapter); }
    void connect() const { impl()->behavior().connect(); }
    void handleSsoRequest(std::int32_t request) const { impl()->behavior().handleSsoRequest(request); }
    void handleAuthRequest(std::int32_t request) const { impl()->behavior().handleAuthRequest(request); }
    // The adapter the network holds; empty when none is attached.
    VelAdapter getAdapter() const { return impl()->behavior().adapter(); }
    // What the held adapter reports of itself, its association and its address; empty when no
    // adapter is attached.
    AdapterAttributesProxy getAdapterAttributes() const;
    AssociationInfoProxy getAssociationInfo() const;
    ConnectionInfoProxy getConnectionInfo() const;
    // The credentials of a password change given before the server asks for them; a forced GUI
    // source goes back to the method's own.
    void setPasswordChangeParameters(std::int32_t attemptId, const Ascii& user, const Ascii& domain,
                                     const Ascii& oldPassword, const Ascii& newPassword) const;
    bool isPasswordChangePending() const { return impl()->m_session.m_passwordChangeTriggered; }

    // Settings. Those that need the media type assert that a reader has set it.
    bool isGlobal() const { return impl()->m_global; }
    void setGlobal(bool global) const { impl()->m_global = global; }
    bool getFlagB() const { return impl()->m_flagB; }
    void setFlagB(bool is8021x) const { impl()->m_flagB = is8021x; }
    // 1 wired, 2 wireless; sets the media type with it.
    void setNetworkMedia(std::int32_t media) const;
    std::int32_t getNetworkMedia() const { return impl()->m_networkMedia; }
    // 1 added by a user (connection API, user file), 2 from the administrator's file.
    std::int32_t getOrigin() const { return impl()->m_origin; }
    void setOrigin(std::int32_t origin) const { impl()->m_origin = origin; }
    // 0 wired, 1 wifi, 2 unit test; sets the network media with it.
    void setMediaType(std::int32_t mediaType) const;
    std::int32_t getMediaType() const;
    ByteArray getSsid() const;
    // Binds an ASCII key to the new SSID too.
    void setSsid(const ByteArray& ssid) const;
    // Binds the ASCII pre-shared keys of the network to its SSID again.
    void refreshSsid() const;
    std::int32_t getAssociationMode() const;
    void setAssociationMode(std::int32_t mode) const;
    std::int32_t getEncryption() const;
    void setEncryption(std::int32_t encryption) const;
    // 1 machine, 2 user, 3 machine and user.
    std::int32_t getConnectionTypes() const { return impl()->m_connectionTypes; }
    void setConnectionTypes(std::int32_t types) const { impl()->m_connectionTypes = types; }
    std::int32_t getAllowedCertificateSource() const { return impl()->m_allowedCertificateSource; }
    void setAllowedCertificateSource(std::int32_t source) const {
        impl()->m_allowedCertificateSource = source;
    }
    std::int32_t getSmartCardPinStorage() const { return impl()->m_smartCardPinStorage; }
    void setSmartCardPinStorage(std::int32_t storage) const { impl()->m_smartCardPinStorage = storage; }
    std::int32_t getCredentialStorage() const { return impl()->m_credentialStorage; }
    void setCredentialStorage(std::int32_t storage) const { impl()->m_credentialStorage = storage; }
    std::int32_t getConnectionTimeout() const;
    void setConnectionTimeout(std::int32_t seconds) const;
    std::int32_t getAssociationTimeout() const;
    void setAssociationTimeout(std::int32_t seconds) const;
    Ascii getScript() const { return impl()->m_script; }
    void setScript(const Ascii& path) const { impl()->m_script = path; }
    bool getExtendUserConnectionBeyondLogoff() const { return impl()->m_extendUserConnectionBeyondLogoff; }
    void setExtendUserConnectionBeyondLogoff(bool extend) const {
        impl()->m_extendUserConnectionBeyondLogoff = extend;
    }
    bool getFurtherFlag1() const;
    void setFurtherFlag1(bool value) const;
    std::int32_t getFurtherNumber1() const;
    void setFurtherNumber1(std::int32_t value) const;
    bool getFurtherFlag2() const;
    void setFurtherFlag2(bool value) const;
    std::int32_t getFurtherNumber2() const;
    void setFurtherNumber2(std::int32_t value) const;
    std::int32_t getOuterEapMethod() const { return impl()->m_outerEapMethod; }
    std::int32_t getInnerEapMethod() const { return impl()->m_innerEapMethod; }
    std::int32_t getCredentialFailure() const { return impl()->m_credentialFailure; }
    void setEapMethods(std::int32_t outer, std::int32_t inner) const;
    // The user logged off: what the network kept of theirs until then is gone, unless the user's
    // connection outlives the logoff.
    void forgetCredentialsKeptUntilLogoff() const;
    Settings8021x getSettings8021x() const { return impl()->m_settings8021x; }
    void setSettings8021x(const Settings8021x& settings) const { impl()->m_settings8021x = settings; }
    ElementVector getSavedPacs() const { return impl()->m_savedPacs; }
    // connType: AdapterConstants::CONNECTION_MACHINE or CONNECTION_USER.
    AuthenticationParameters getAuthenticationParameters(std::int32_t connType) const;

    // Every new network takes these; a reader's nonzero value replaces them.
    static std::int32_t getDefaultConnectionTimeout();
    static void setDefaultConnectionTimeout(std::int32_t seconds);
    static std::int32_t getDefaultAssociationTimeout();
    static void setDefaultAssociationTimeout(std::int32_t seconds);

    // The objects that follow the network.
    void addSubscriber(NetworkSubscriberInterface* subscriber) const;
    void removeSubscriber(NetworkSubscriberInterface* subscriber) const;
    bool hasSubscriber(NetworkSubscriberInterface* subscriber) const;

    NetworkImpl* impl() const { return static_cast<NetworkImpl*>(static_cast<ReferenceImpl*>(m)); }
};

// An optional network.
class NetworkProxy : public HandleProxy<Network> {
public:
    using HandleProxy<Network>::HandleProxy;

    // The network; asserts that the holder was tested and holds one.
    Network network() const;
    // Holds the network (which must be set) and is usable at once.
    void setNetwork(const Network& network) { hold(network, "network.m"); }
};
