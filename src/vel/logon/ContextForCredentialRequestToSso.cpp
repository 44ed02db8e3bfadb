#include "vel/logon/ContextForCredentialRequestToSso.h"

#include "vel/reference/Singleton.h"

std::atomic<ContextForCredentialRequestToSsoImpl*> ContextForCredentialRequestToSsoImpl::Singleton{nullptr};

ContextForCredentialRequestToSsoImpl::~ContextForCredentialRequestToSsoImpl() {
    clearReferences();
    forgetSingleton(Singleton, this);
}

void ContextForCredentialRequestToSsoImpl::beginRequest(const ConnApiNetwork& network) {
    m_network = ConnApiNetworkProxy(network);
    ++m_pendingCount;
}

void ContextForCredentialRequestToSsoImpl::endRequest() {
    --m_pendingCount;
    if (m_pendingCount > 0) return;
    clearReferences();
}

void ContextForCredentialRequestToSsoImpl::clearReferences() {
    m_pendingCount = 0;
    m_network.clear();
}

ContextForCredentialRequestToSso ContextForCredentialRequestToSso::create() {
    return ContextForCredentialRequestToSso(createSingleton(ContextForCredentialRequestToSsoImpl::Singleton));
}

ContextForCredentialRequestToSso::ContextForCredentialRequestToSso()
    : ContextForCredentialRequestToSso(bindSingleton(ContextForCredentialRequestToSsoImpl::Singleton)) {}

ContextForCredentialRequestToSso::ContextForCredentialRequestToSso(ContextForCredentialRequestToSsoImpl* p) {
    if (p != nullptr) m = static_cast<ReferenceImpl*>(p);
}
