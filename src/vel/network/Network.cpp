#include "vel/network/Network.h"

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/adapter/VelAdapter.h"
#include "vel/configuration/NetworkSubscriberInterface.h"
#include "vel/credmgr/CredentialConstants.h"
#include "vel/network/NetworkConstants.h"
#include "vel/reference/HandleOf.h"

std::atomic<std::int32_t> NetworkImpl::DefaultConnectionTimeout{INITIAL_DEFAULT_CONNECTION_TIMEOUT};
std::atomic<std::int32_t> NetworkImpl::DefaultAssociationTimeout{INITIAL_DEFAULT_ASSOCIATION_TIMEOUT};

NetworkImpl::NetworkImpl(const Ascii& name)
    : m_name(name),
      m_connectionTimeout(DefaultConnectionTimeout.load()),
      m_associationTimeout(DefaultAssociationTimeout.load()),
      m_behavior(NetworkBehaviorMaker::make(*this)) {}

NetworkImpl::~NetworkImpl() = default;

void NetworkImpl::clearReferences() {
    m_subscribers.clear();
    m_behavior->clearReferences();
}

void NetworkImpl::forEachSubscriber(const std::function<void(NetworkSubscriberInterface*)>& tell) {
    // The list may change while a subscriber is told: its length is read again after each call,
    // and when the one just told left, the next one has moved into its place.
    for (int i = 0; i < m_subscribers.length();) {
        Reference subscriber = m_subscribers.getAt(i);
        tell(static_cast<NetworkSubscriberInterface*>(subscriber.m));
        if (i < m_subscribers.length() && m_subscribers.get(i) == subscriber.m) ++i;
    }
}

void NetworkImpl::notifyAccessState(std::int32_t accessState) {
    Network self(this);
    forEachSubscriber(
        [&](NetworkSubscriberInterface* s) { s->networkAccessStateChanged(accessState, self); });
}

void NetworkImpl::notifyAdapterState(std::int32_t adapterState, const VelAdapter& adapter) {
    Network self(this);
    forEachSubscriber(
        [&](NetworkSubscriberInterface* s) { s->networkStateChanged(adapterState, adapter, self); });
}

bool NetworkImpl::checkMediaType() const {
    return LUM_ASSERT_TEXT(m_mediaType < AdapterConstants::MEDIA_TYPE_COUNT,
                           "network.getMediaType() < AdapterConstants::MEDIA_TYPE_COUNT");
}

Network Network::create(const Ascii& name) {
    Network network;
    static_cast<Reference&>(network) =
        Reference(static_cast<ReferenceImpl*>(new NetworkImpl(name)), Reference::TAKE_OVER);
    return network;
}

AdapterAttributesProxy Network::getAdapterAttributes() const {
    const VelAdapter adapter = getAdapter();
    return adapter.isNull() ? AdapterAttributesProxy() : adapter.attributes();
}

AssociationInfoProxy Network::getAssociationInfo() const {
    const VelAdapter adapter = getAdapter();
    return adapter.isNull() ? AssociationInfoProxy() : adapter.associationInfo();
}

ConnectionInfoProxy Network::getConnectionInfo() const {
    const VelAdapter adapter = getAdapter();
    return adapter.isNull() ? ConnectionInfoProxy() : adapter.connectionInfo();
}

void Network::setNetworkMedia(std::int32_t media) const {
    impl()->m_networkMedia = media;
    if (media == NetworkImpl::MEDIA_WIRED) impl()->m_mediaType = AdapterConstants::MEDIA_TYPE_8023;
    if (media == NetworkImpl::MEDIA_WIRELESS) impl()->m_mediaType = AdapterConstants::MEDIA_TYPE_80211;
}

void Network::setMediaType(std::int32_t mediaType) const {
    if (!LUM_ASSERT_TEXT(mediaType < AdapterConstants::MEDIA_TYPE_COUNT,
                         "mediaType < AdapterConstants::MEDIA_TYPE_COUNT")) {
        return;
    }
    impl()->m_mediaType = mediaType;
    if (mediaType == AdapterConstants::MEDIA_TYPE_8023) impl()->m_networkMedia = NetworkImpl::MEDIA_WIRED;
    if (mediaType == AdapterConstants::MEDIA_TYPE_80211) impl()->m_networkMedia = NetworkImpl::MEDIA_WIRELESS;
}

std::int32_t Network::getMediaType() const {
    impl()->checkMediaType();
    return impl()->m_mediaType;
}

ByteArray Network::getSsid() const {
    impl()->checkMediaType();
    return impl()->m_ssid;
}

void Network::setSsid(const ByteArray& ssid) const {
    impl()->checkMediaType();
    impl()->m_ssid = ssid;
    refreshSsid();
}

void Network::refreshSsid() const {
    for (const AuthenticationParameters& parameters :
         {impl()->m_userAuthenticationParameters, impl()->m_machineAuthenticationParameters}) {
        CredentialProxy key = parameters.getPasswordOrKeyCredential();
        if (key.exists() && key.credential().type() == CredentialConstants::TYPE_ASCII_PSK) {
            key.credential().setSsid(impl()->m_ssid);
        }
    }
}

AuthenticationParameters Network::getAuthenticationParameters(std::int32_t connType) const {
    LUM_ASSERT_TEXT(
        connType == AdapterConstants::CONNECTION_USER || connType == AdapterConstants::CONNECTION_MACHINE,
        "connType == AdapterConstants::CONNECTION_USER || connType == AdapterConstants::CONNECTION_MACHINE");
    return connType == AdapterConstants::CONNECTION_MACHINE ? impl()->m_machineAuthenticationParameters
                                                            : impl()->m_userAuthenticationParameters;
}

std::int32_t Network::getAssociationMode() const {
    impl()->checkMediaType();
    return impl()->m_associationMode;
}

void Network::setAssociationMode(std::int32_t mode) const {
    impl()->checkMediaType();
    impl()->m_associationMode = mode;
}

std::int32_t Network::getEncryption() const {
    impl()->checkMediaType();
    return impl()->m_encryption;
}

void Network::setEncryption(std::int32_t encryption) const {
    impl()->checkMediaType();
    impl()->m_encryption = encryption;
}

std::int32_t Network::getConnectionTimeout() const {
    impl()->checkMediaType();
    return impl()->m_connectionTimeout;
}

void Network::setConnectionTimeout(std::int32_t seconds) const {
    impl()->checkMediaType();
    impl()->m_connectionTimeout = seconds;
}

std::int32_t Network::getAssociationTimeout() const {
    impl()->checkMediaType();
    return impl()->m_associationTimeout;
}

void Network::setAssociationTimeout(std::int32_t seconds) const {
    impl()->checkMediaType();
    impl()->m_associationTimeout = seconds;
}

bool Network::getFurtherFlag1() const {
    impl()->checkMediaType();
    return impl()->m_furtherFlag1;
}

void Network::setFurtherFlag1(bool value) const {
    impl()->checkMediaType();
    impl()->m_furtherFlag1 = value;
}

std::int32_t Network::getFurtherNumber1() const {
    impl()->checkMediaType();
    return impl()->m_furtherNumber1;
}

void Network::setFurtherNumber1(std::int32_t value) const {
    impl()->checkMediaType();
    impl()->m_furtherNumber1 = value;
}

bool Network::getFurtherFlag2() const {
    impl()->checkMediaType();
    return impl()->m_furtherFlag2;
}

void Network::setFurtherFlag2(bool value) const {
    impl()->checkMediaType();
    impl()->m_furtherFlag2 = value;
}

std::int32_t Network::getFurtherNumber2() const {
    impl()->checkMediaType();
    return impl()->m_furtherNumber2;
}

void Network::setFurtherNumber2(std::int32_t value) const {
    impl()->checkMediaType();
    impl()->m_furtherNumber2 = value;
}

void Network::setEapMethods(std::int32_t outer, std::int32_t inner) const {
    impl()->m_outerEapMethod = outer;
    impl()->m_innerEapMethod = inner;
}

std::int32_t Network::getDefaultConnectionTimeout() {
    return NetworkImpl::DefaultConnectionTimeout.load();
}

void Network::forgetCredentialsKeptUntilLogoff() const {
    NetworkImpl* n = impl();
    if (n->m_extendUserConnectionBeyondLogoff) return;
    AuthenticationParameters user = getAuthenticationParameters(AdapterConstants::CONNECTION_USER);
    if (n->m_credentialStorage == NetworkConstants::CREDENTIAL_STORAGE_UNTIL_LOGOFF) {
        user.releasePasswordOrKeyCredential();
        user.releaseIdentity();
    }
    if (n->m_smartCardPinStorage == NetworkConstants::CREDENTIAL_STORAGE_UNTIL_LOGOFF)
        user.releaseSmartCardPin();
}

void Network::setDefaultConnectionTimeout(std::int32_t seconds) {
    if (seconds != 0) NetworkImpl::DefaultConnectionTimeout.store(seconds);
}

std::int32_t Network::getDefaultAssociationTimeout() {
    return NetworkImpl::DefaultAssociationTimeout.load();
}

void Network::setDefaultAssociationTimeout(std::int32_t seconds) {
    if (seconds != 0) NetworkImpl::DefaultAssociationTimeout.store(seconds);
}

void Network::addSubscriber(NetworkSubscriberInterface* subscriber) const {
    impl()->m_subscribers.addIfAbsent(subscriber);
}

void Network::removeSubscriber(NetworkSubscriberInterface* subscriber) const {
    impl()->m_subscribers.remove(subscriber);
}

bool Network::hasSubscriber(NetworkSubscriberInterface* subscriber) const {
    bool found = false;
    impl()->m_subscribers.forEach([&](ElementInterface* element) { found = found || element == subscriber; });
    return found;
}

void Network::setPasswordChangeParameters(std::int32_t attemptId, const Ascii& user, const Ascii& domain,
                                          const Ascii& oldPassword, const Ascii& newPassword) const {
    NetworkSession& session = impl()->m_session;
    logInfo(2810, "Setting password change parameters for network %s", impl()->m_name.text());
    session.m_passwordChangeCredentialsPresent = true;
    session.m_passwordChangeAttemptId = attemptId;
    session.m_passwordChangeUser = user;
    session.m_passwordChangeDomain = domain;
    session.m_passwordChangeOldPassword = oldPassword;
    session.m_passwordChangeNewPassword = newPassword;
    if (session.m_credentialSourceOverride != NetworkSession::SOURCE_NONE) {
        logInfo(2811, "Resetting credential source due to password change request");
        session.revertToSso();
    }
}

Network NetworkProxy::network() const {
    Network network = held();
    LUM_ASSERT_TEXT(network.m, "m_pNetwork");
    return network;
}
