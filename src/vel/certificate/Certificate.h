#pragma once
// One certificate of a store: its 20-byte hash, its store, the library handle made for it and the
// X.509 properties read through that handle, and whether its private key and chain are loaded.
// The handle and the flags change under the certificate's own lock: a certificate is prepared on
// worker threads while the engine reads it.
#include <cstdint>
#include <vector>

#include "runtime/multithread/RuntimeMutex.h"
#include "vel/certificate/CertificateStore.h"
#include "vel/certificate/X509Proxy.h"
#include "vel/string/ByteArray.h"

class CertificateImpl : public ReferenceImpl {
public:
    CertificateImpl(const ByteArray& hash, const CertificateStore& store);
    ~CertificateImpl() override;

    // Destroys the library handle.
    void clearReferences() override;

    int createHandle();
    // Reads the X.509 properties through the handle (nothing without one).
    void populateX509();
    int loadPrivateKey(const Ascii& pin);
    int loadChain(const std::vector<CertificateStore>& stores);
    int destroyHandle();

    const CertificateStore m_store;
    const ByteArray m_hash;

private:
    friend class Certificate;
    // Under m_lock: the handle's store destroys itself when this returns.
    int createHandleLocked();
    void logKeyFailure(int code, int* status);

    mutable RuntimeMutex m_lock;
    bool m_usable;
    X509Proxy m_x509;
    QX_HANDLE m_handle = 0;
    bool m_privateKeyLoaded = false;
    bool m_chainLoaded = false;
    bool m_chainComplete = false;
};

class Certificate : public Reference {
public:
    Certificate() = default;
    static Certificate create(const ByteArray& hash, const CertificateStore& store);

    ByteArray hash() const { return impl()->m_hash; }
    CertificateStore store() const { return impl()->m_store; }
    // Its own flag and its store's.
    bool isUsable() const;
    QX_HANDLE handle() const;
    bool hasX509() const;
    bool isPrivateKeyLoaded() const;
    bool isChainLoaded() const;
    bool hasCompleteChain() const;

    // Without X.509 properties: empty texts and lists, undefined times, 0.
    Ascii serialNumber() const;
    AsciiVector subjectNames() const;
    AsciiVector subjectDomains() const;
    AsciiVector alternativeNames() const;
    AsciiVector extendedKeyUsages() const;
    Time expiryDate() const;
    Time validFrom() const;
    std::int32_t keyUsage() const;
    Ascii issuedTo() const;
    Ascii certificateName() const;
    Ascii issuedToName() const;
    Ascii issuedBy() const;

    int createHandle() const { return impl()->createHandle(); }
    void populateX509() const { impl()->populateX509(); }
    int loadPrivateKey(const Ascii& pin) const { return impl()->loadPrivateKey(pin); }
    int loadChain(const std::vector<CertificateStore>& stores) const { return impl()->loadChain(stores); }
    int destroyHandle() const { return impl()->destroyHandle(); }

    // The same object, the same library handle, or the same hash in stores of the same URL.
    bool equals(const Certificate& other) const;

    CertificateImpl* impl() const;

private:
    // The properties under the lock, or null.
    template <typename Value, typename Read>
    Value fromX509(Value none, Read read) const;
};
