#pragma once
// One library store handle, destroyed with the last reference to it.
#include "platform/qxauth/qxAuth.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

class CertificateStoreHandleImpl : public ReferenceImpl {
public:
    explicit CertificateStoreHandleImpl(QX_HANDLE handle) : m_handle(handle) {}
    ~CertificateStoreHandleImpl() override;

    QX_HANDLE m_handle;
};

class CertificateStoreHandle : public Reference {
public:
    // No handle.
    CertificateStoreHandle() = default;
    // Owns the library handle (0: none).
    explicit CertificateStoreHandle(QX_HANDLE handle);

    // 0 when there is none.
    QX_HANDLE handle() const;
};
