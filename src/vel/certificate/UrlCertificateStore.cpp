#include "vel/certificate/UrlCertificateStore.h"

#include "vel/certificate/CertificateConstants.h"

int UrlCertificateStoreImpl::type() const {
    return CertificateConstants::STORE_URL;
}

CertificateStoreHandle UrlCertificateStoreImpl::open() {
    if (!isUsable()) return CertificateStoreHandle();
    return openUrlStore(m_url);
}
