#include "vel/credmgr/CredentialCertificateImpl.h"

#include "vel/credmgr/CredentialConstants.h"

using C = CredentialConstants;

CredentialCertificateImpl::CredentialCertificateImpl(const ByteArray& hash)
    : CredentialImpl(C::TYPE_CERTIFICATE_HASH, ByteArray()) {
    protect(false, vectorOf(C::TAG_OS_USER_STORE, hash),
            {C::ERROR_CERTIFICATE_ENCRYPT, "Certificate hash encryption failed [%s:%d]"}, __FILE__, __LINE__);
}

CredentialCertificateImpl::CredentialCertificateImpl(const ByteArray& storedText, StoredText)
    : CredentialImpl(C::TYPE_CERTIFICATE_HASH, storedText) {}

ByteArray CredentialCertificateImpl::certificateHash() const {
    ByteArrayProxy value =
        readElement(C::VECTOR_LENGTH, C::VECTOR_LENGTH - 1,
                    {C::ERROR_CERTIFICATE_DECRYPT, "Certificate hash decryption failed [%s:%d]"},
                    {C::ERROR_CERTIFICATE_INVALID, "Invalid persistent handle for certificate hash [%s:%d]"},
                    __FILE__, __LINE__);
    return value.exists() ? value.value() : ByteArray();
}
