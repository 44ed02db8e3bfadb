#pragma once
// The one credential request that waits for the logon credentials of single sign-on: the network
// it is for, and how many requests are still open. One per service; engine event-queue thread.
#include <atomic>
#include <cstdint>

#include "vel/ipcmsghandlers/ConnApiNetwork.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

class ContextForCredentialRequestToSsoImpl : public ReferenceImpl {
public:
    ContextForCredentialRequestToSsoImpl() = default;
    ~ContextForCredentialRequestToSsoImpl() override;

    // Holds this network's request in place of the one before; one more is open.
    void beginRequest(const ConnApiNetwork& network);
    // One fewer is open; with none left the request is dropped. More ends than begins leave no
    // debt that would swallow the next request.
    void endRequest();
    // The answer reached the network: exactly one request counts as open.
    void setPending() { m_pendingCount = 1; }
    // No request is held and none is open.
    void clearReferences() override;

    // The network of the open request; empty when none is open.
    ConnApiNetworkProxy network() const { return m_network; }
    std::int32_t pendingCount() const { return m_pendingCount; }

    static std::atomic<ContextForCredentialRequestToSsoImpl*> Singleton;

private:
    ConnApiNetworkProxy m_network;
    std::int32_t m_pendingCount = 0;
};

class ContextForCredentialRequestToSso : public Reference {
public:
    // Makes the singleton ("Singleton == null"); the handle holds the creator's reference.
    static ContextForCredentialRequestToSso create();
    // Binds to the singleton ("Singleton != null"); empty when there is none.
    ContextForCredentialRequestToSso();

    void beginRequest(const ConnApiNetwork& network) const { impl()->beginRequest(network); }
    void endRequest() const { impl()->endRequest(); }
    void setPending() const { impl()->setPending(); }
    void clearReferences() const { impl()->clearReferences(); }
    ConnApiNetworkProxy network() const { return impl()->network(); }
    std::int32_t pendingCount() const { return impl()->pendingCount(); }

    ContextForCredentialRequestToSsoImpl* impl() const {
        return static_cast<ContextForCredentialRequestToSsoImpl*>(static_cast<ReferenceImpl*>(m));
    }

private:
    // Takes over the reference p carries; null leaves the handle empty.
    explicit ContextForCredentialRequestToSso(ContextForCredentialRequestToSsoImpl* p);
};
