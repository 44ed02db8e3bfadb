#include "vel/credmgr/CredentialPasswordImpl.h"

#include "vel/credmgr/CredentialConstants.h"

using C = CredentialConstants;

CredentialPasswordImpl::CredentialPasswordImpl(const Ascii& password)
    : CredentialImpl(C::TYPE_PASSWORD, ByteArray()) {
    protect(false, vectorOf(C::TAG_DISC, password.toByteArray()),
            {C::ERROR_PASSWORD_ENCRYPT, "encryption failed in CredentialPasswordImpl [%s:%d]"}, __FILE__,
            __LINE__);
}

CredentialPasswordImpl::CredentialPasswordImpl(const ByteArray& storedText, StoredText)
    : CredentialImpl(C::TYPE_PASSWORD, storedText) {}

CredentialPasswordImpl::~CredentialPasswordImpl() {
    if (m_handle != 0 && qxPasswordDestroy(&m_handle) != QX_OK) {
        logFailure({C::ERROR_PASSWORD_DESTROY, "qxPasswordDestroy failed in ~CredentialPasswordImpl [%s:%d]"},
                   __FILE__, __LINE__);
    }
}

QX_HANDLE CredentialPasswordImpl::volatileH() {
    if (m_handle != 0) return m_handle;
    const Ascii value = password();
    QX_HANDLE handle = 0;
    if (qxPasswordCreate(&handle, reinterpret_cast<const std::uint8_t*>(value.text()), value.length()) !=
        QX_OK) {
        logFailure({C::ERROR_PASSWORD_CREATE, "qxPasswordCreate failed in volatileH [%s:%d]"}, __FILE__,
                   __LINE__);
        return 0;
    }
    m_handle = handle;
    return m_handle;
}

Ascii CredentialPasswordImpl::password() const {
    ByteArrayProxy value =
        readElement(C::VECTOR_LENGTH, C::VECTOR_LENGTH - 1,
                    {C::ERROR_PASSWORD_DECRYPT, "Decryption failed in password [%s:%d]"},
                    {C::ERROR_PASSWORD_INVALID, "Invalid password [%s:%d]"}, __FILE__, __LINE__);
    return value.exists() ? Ascii::fromByteArray(value.value()) : Ascii();
}
