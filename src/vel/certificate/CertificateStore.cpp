#include "vel/certificate/CertificateStore.h"

#include <algorithm>

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/certificate/Base64CertificateStore.h"
#include "vel/certificate/Certificate.h"
#include "vel/certificate/CertificateConstants.h"
#include "vel/certificate/OsCertificateStore.h"
#include "vel/certificate/SmartCardCertificateStore.h"
#include "vel/certificate/UrlCertificateStore.h"

using C = CertificateConstants;

int CertificateStoreImpl::type() const {
    return C::STORE_BASE;
}

CertificateStoreHandle CertificateStoreImpl::open() {
    return CertificateStoreHandle();
}

Ascii CertificateStoreImpl::url() const {
    return Ascii("");
}

Ascii CertificateStoreImpl::name() const {
    return Ascii("dummy");
}

bool CertificateStoreImpl::isUsable() const {
    return false;
}

CertificateStoreImpl* CertificateStore::impl() const {
    LUM_ASSERT(m);
    return static_cast<CertificateStoreImpl*>(static_cast<ReferenceImpl*>(m));
}

CertificateStore CertificateStore::base() {
    return CertificateStore(new CertificateStoreImpl);
}

CertificateStore CertificateStore::url(const Ascii& url) {
    return CertificateStore(new UrlCertificateStoreImpl(url));
}

CertificateStore CertificateStore::smartCard(const Ascii& cardId) {
    return CertificateStore(new SmartCardCertificateStoreImpl(cardId));
}

CertificateStore CertificateStore::base64(const AsciiVector& pemTexts) {
    return CertificateStore(new Base64CertificateStoreImpl(pemTexts));
}

CertificateStore CertificateStore::os(int kind) {
    return CertificateStore(new OsCertificateStoreImpl(kind));
}

CertificateStore CertificateStore::userPersonal() {
    return os(C::STORE_USER_PERSONAL);
}
CertificateStore CertificateStore::userIntermediateCa() {
    return os(C::STORE_USER_INTERMEDIATE_CA);
}
CertificateStore CertificateStore::userRootCa() {
    return os(C::STORE_USER_ROOT_CA);
}
CertificateStore CertificateStore::machinePersonal() {
    return os(C::STORE_MACHINE_PERSONAL);
}
CertificateStore CertificateStore::machineIntermediateCa() {
    return os(C::STORE_MACHINE_INTERMEDIATE_CA);
}
CertificateStore CertificateStore::machineRootCa() {
    return os(C::STORE_MACHINE_ROOT_CA);
}

CertificateStoreHandle openUrlStore(const Ascii& url) {
    QX_HANDLE handle = 0;
    int result = qxCertStoreUrlCreate(&handle, url.text());
    if (result != QX_OK) {
        logCertificateCallFailure(C::ERROR_URL_CREATE, "qxCertStoreUrlCreate", result, __FILE__, __LINE__);
        return CertificateStoreHandle();
    }
    return CertificateStoreHandle(handle);
}

std::vector<Certificate> certificates(const CertificateStore& store) {
    std::vector<Certificate> list;
    if (!store.isUsable()) {
        logInfo(0, "Attempt to get certificates from unusable store");
        return list;
    }
    // A handle opened here ends with the enumeration; the base64 store keeps its own.
    CertificateStoreHandle handle = store.open();
    if (handle.handle() == 0) return list;
    logInfo(0, "Enumerating certificate store '%s'", store.name().text());
    int count = C::INITIAL_HASH_ROOM;
    std::vector<uint8_t> hashes(static_cast<size_t>(count) * C::HASH_LENGTH);
    int result = qxCertStoreGetCertList(handle.handle(), hashes.data(), &count);
    if (result == QX_ERR_BUFFER_TOO_SMALL && count > 0) {
        hashes.resize(static_cast<size_t>(count) * C::HASH_LENGTH);
        result = qxCertStoreGetCertList(handle.handle(), hashes.data(), &count);
    }
    if (result != QX_OK) {
        logCertificateCallFailure(C::ERROR_GET_CERT_LIST, "qxCertStoreGetCertList", result, __FILE__,
                                  __LINE__);
        return list;
    }
    count = std::min(count, static_cast<int>(hashes.size() / C::HASH_LENGTH));
    for (int i = 0; i < count; ++i) {
        ByteArray hash(hashes.data() + static_cast<size_t>(i) * C::HASH_LENGTH, C::HASH_LENGTH);
        logInfo(0, "  found certificate %s", hash.toHex().text());
        list.push_back(Certificate::create(hash, store));
    }
    return list;
}
