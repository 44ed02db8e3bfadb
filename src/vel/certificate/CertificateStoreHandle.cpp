#include "vel/certificate/CertificateStoreHandle.h"

#include "vel/certificate/CertificateConstants.h"

CertificateStoreHandleImpl::~CertificateStoreHandleImpl() {
    if (m_handle == 0) return;
    int result = qxCertStoreDestroy(&m_handle);
    if (result != QX_OK)
        logCertificateCallFailure(CertificateConstants::ERROR_STORE_DESTROY, "qxCertStoreDestroy", result,
                                  __FILE__, __LINE__);
}

CertificateStoreHandle::CertificateStoreHandle(QX_HANDLE handle)
    : Reference(new CertificateStoreHandleImpl(handle), Reference::TAKE_OVER) {}

QX_HANDLE CertificateStoreHandle::handle() const {
    return m != nullptr ? static_cast<CertificateStoreHandleImpl*>(static_cast<ReferenceImpl*>(m))->m_handle
                        : 0;
}
