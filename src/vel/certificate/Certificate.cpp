#include "vel/certificate/Certificate.h"

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/certificate/CertificateConstants.h"

using C = CertificateConstants;

CertificateImpl::CertificateImpl(const ByteArray& hash, const CertificateStore& store)
    : m_store(store), m_hash(hash), m_usable(true) {
    LUM_ASSERT_TEXT(m_hash.length() > 0, "m_hash.length() > 0");
    m_lock.open();
}

CertificateImpl::~CertificateImpl() {
    // A certificate dropped without clearReferences still gives its handle back.
    destroyHandle();
    m_lock.close();
}

void CertificateImpl::clearReferences() {
    destroyHandle();
}

int CertificateImpl::createHandle() {
    RuntimeMutexLock lock(m_lock);
    return createHandleLocked();
}

int CertificateImpl::createHandleLocked() {
    if (m_handle != 0 || !m_usable || !m_store.isUsable()) return C::OK;
    CertificateStoreHandle store = m_store.open();
    QX_HANDLE handle = 0;
    int result = qxCertCreate(&handle, store.handle(), m_hash.bytes(), m_hash.length());
    if (result == QX_ERR_NOT_FOUND) {
        logInfo(0, "Can not find certificate with hash %s in the %s certificate store", m_hash.toHex().text(),
                m_store.name().text());
        return C::ERR_NOT_FOUND;
    }
    if (result != QX_OK) {
        logCertificateCallFailure(C::ERROR_CERT_CREATE, "qxCertCreate", result, __FILE__, __LINE__);
        return C::ERR_INTERNAL_ERROR;
    }
    m_handle = handle;
    return C::OK;
}

void CertificateImpl::populateX509() {
    RuntimeMutexLock lock(m_lock);
    if (m_handle == 0) return;
    m_x509 = X509Proxy::create(new X509Impl(m_handle));
}

void CertificateImpl::logKeyFailure(int code, int* status) {
    const bool card = m_store.type() == C::STORE_SMART_CARD;
    switch (code) {
        case QX_ERR_CARD_BLOCKED:
            if (card) logInfo(0, "Smart card '%s' is blocked", m_store.name().text());
            *status = C::ERR_CARD_BLOCKED;
            m_usable = true;
            return;
        case QX_ERR_WRONG_PIN:
            if (card) logInfo(0, "Wrong smart card PIN for smart card '%s'", m_store.name().text());
            *status = C::ERR_WRONG_PIN;
            m_usable = true;
            return;
        case QX_ERR_NO_PRIVATE_KEY:
            logInfo(0, "Certificate %s has no private key available", m_hash.toHex().text());
            *status = C::ERR_NO_PRIVATE_KEY;
            return;
        case QX_ERR_NOT_FOUND:
            logInfo(0, "User certificate %s disappeared%s", m_hash.toHex().text(),
                    card ? " (smart card removed?)" : "");
            *status = C::ERR_NOT_FOUND;
            return;
        default:
            logCertificateCallFailure(C::ERROR_LOAD_PRIVATE_KEY, "qxCertLoadPrivateKey", code, __FILE__,
                                      __LINE__);
            NvoError(__FILE__, __LINE__, "qxCertLoadPrivateKey", code);
            *status = C::ERR_INTERNAL_ERROR;
            return;
    }
}

int CertificateImpl::loadPrivateKey(const Ascii& pin) {
    RuntimeMutexLock lock(m_lock);
    if (m_handle == 0) return C::ERR_NO_HANDLE;
    if (!m_usable || !m_store.isUsable()) return C::ERR_UNUSABLE;
    if (m_privateKeyLoaded) return C::OK;
    QX_HANDLE pinHandle = 0;
    if (pin.length() > 0) {
        int result = qxPinCreate(&pinHandle, pin.text(), pin.length());
        if (result != QX_OK) {
            logCertificateCallFailure(C::ERROR_PIN_CREATE, "qxPinCreate", result, __FILE__, __LINE__);
            NvoError(__FILE__, __LINE__, "qxPinCreate", result);
            return C::ERR_INTERNAL_ERROR;
        }
    }
    logInfo(0, "Calling qxCertLoadPrivateKey()...");
    int result = qxCertLoadPrivateKey(m_handle, pinHandle);
    logInfo(0, "...qxCertLoadPrivateKey() returned");
    int status = C::OK;
    if (result == QX_OK) {
        m_privateKeyLoaded = true;
    } else {
        m_usable = false;
        logKeyFailure(result, &status);
    }
    if (pinHandle != 0) {
        int destroyed = qxPinDestroy(&pinHandle);
        if (destroyed != QX_OK)
            logCertificateCallFailure(C::ERROR_PIN_DESTROY, "qxPinDestroy", destroyed, __FILE__, __LINE__);
    }
    return status;
}

int CertificateImpl::loadChain(const std::vector<CertificateStore>& stores) {
    RuntimeMutexLock lock(m_lock);
    if (m_handle == 0) return C::ERR_NO_HANDLE;
    if (!m_usable || !m_store.isUsable()) return C::ERR_UNUSABLE;
    if (m_chainLoaded || m_chainComplete) return C::OK;
    // The store handles stay open until the library has built the chain.
    std::vector<CertificateStoreHandle> open;
    std::vector<QX_HANDLE> handles;
    for (const CertificateStore& store : stores) {
        CertificateStoreHandle handle = store.open();
        if (handle.handle() == 0) continue;
        logInfo(0, "Considering certificate store '%s' for completing the client certificate chain",
                store.name().text());
        handles.push_back(handle.handle());
        open.push_back(handle);
    }
    int complete = 0;
    logInfo(0, "Calling qxCertLoadChain()...");
    int result = qxCertLoadChain(m_handle, handles.data(), static_cast<int>(handles.size()), &complete);
    logInfo(0, "...qxCertLoadChain() returned");
    if (result != QX_OK) {
        logCertificateCallFailure(C::ERROR_LOAD_CHAIN, "qxCertLoadChain", result, __FILE__, __LINE__);
        NvoError(__FILE__, __LINE__, "qxCertLoadChain", result);
        return C::ERR_INTERNAL_ERROR;
    }
    m_chainLoaded = true;
    m_chainComplete = complete == 1;
    return C::OK;
}

int CertificateImpl::destroyHandle() {
    RuntimeMutexLock lock(m_lock);
    if (m_handle != 0) {
        int result = qxCertDestroy(&m_handle);
        if (result != QX_OK && m_usable && m_store.isUsable())
            logCertificateCallFailure(C::ERROR_CERT_DESTROY, "qxCertDestroy", result, __FILE__, __LINE__);
    }
    m_handle = 0;
    m_privateKeyLoaded = false;
    m_chainLoaded = false;
    m_chainComplete = false;
    return C::OK;
}

Certificate Certificate::create(const ByteArray& hash, const CertificateStore& store) {
    Certificate certificate;
    static_cast<Reference&>(certificate) = Reference(new CertificateImpl(hash, store), Reference::TAKE_OVER);
    return certificate;
}

CertificateImpl* Certificate::impl() const {
    LUM_ASSERT(m);
    return static_cast<CertificateImpl*>(static_cast<ReferenceImpl*>(m));
}

bool Certificate::isUsable() const {
    RuntimeMutexLock lock(impl()->m_lock);
    return impl()->m_usable && impl()->m_store.isUsable();
}

QX_HANDLE Certificate::handle() const {
    RuntimeMutexLock lock(impl()->m_lock);
    return impl()->m_handle;
}

bool Certificate::hasX509() const {
    RuntimeMutexLock lock(impl()->m_lock);
    X509Proxy x509 = impl()->m_x509;
    return x509.exists();
}

bool Certificate::isPrivateKeyLoaded() const {
    RuntimeMutexLock lock(impl()->m_lock);
    return impl()->m_privateKeyLoaded;
}

bool Certificate::isChainLoaded() const {
    RuntimeMutexLock lock(impl()->m_lock);
    return impl()->m_chainLoaded;
}

bool Certificate::hasCompleteChain() const {
    RuntimeMutexLock lock(impl()->m_lock);
    return impl()->m_chainLoaded && impl()->m_chainComplete;
}

template <typename Value, typename Read>
Value Certificate::fromX509(Value none, Read read) const {
    RuntimeMutexLock lock(impl()->m_lock);
    X509Proxy x509 = impl()->m_x509;
    if (!x509.exists()) return none;
    return read(*x509.x509());
}

Ascii Certificate::serialNumber() const {
    return fromX509(Ascii(""), [](const X509Impl& x) { return x.m_serialNumber; });
}
AsciiVector Certificate::subjectNames() const {
    return fromX509(AsciiVector(), [](const X509Impl& x) { return x.m_subjectNames; });
}
AsciiVector Certificate::subjectDomains() const {
    return fromX509(AsciiVector(), [](const X509Impl& x) { return x.m_subjectDomains; });
}
AsciiVector Certificate::alternativeNames() const {
    return fromX509(AsciiVector(), [](const X509Impl& x) { return x.m_alternativeNames; });
}
AsciiVector Certificate::extendedKeyUsages() const {
    return fromX509(AsciiVector(), [](const X509Impl& x) { return x.m_extendedKeyUsages; });
}
Time Certificate::expiryDate() const {
    return fromX509(Time(), [](const X509Impl& x) { return x.m_validTo; });
}
Time Certificate::validFrom() const {
    return fromX509(Time(), [](const X509Impl& x) { return x.m_validFrom; });
}
std::int32_t Certificate::keyUsage() const {
    return fromX509(std::int32_t{0}, [](const X509Impl& x) { return x.m_keyUsage; });
}
Ascii Certificate::issuedTo() const {
    return fromX509(Ascii(""), [](const X509Impl& x) { return x.userPart(); });
}
Ascii Certificate::certificateName() const {
    return fromX509(Ascii(""), [](const X509Impl& x) { return x.certificateName(); });
}
Ascii Certificate::issuedToName() const {
    return fromX509(Ascii(""), [](const X509Impl& x) { return x.issuedToName(); });
}
Ascii Certificate::issuedBy() const {
    return fromX509(Ascii(""), [](const X509Impl& x) { return x.issuerName(); });
}

bool Certificate::equals(const Certificate& other) const {
    if (m == other.m) return true;
    // Only a handle that exists names a certificate: two certificates without one are told apart by
    // their hashes and stores.
    QX_HANDLE mine = handle();
    if (mine != 0 && mine == other.handle()) return true;
    return hash() == other.hash() && store().url() == other.store().url();
}
