#include "vel/credmgr/CredentialIdentityImpl.h"

#include "vel/credmgr/Credential.h"
#include "vel/credmgr/CredentialConstants.h"
#include "vel/credmgr/CredentialProxy.h"
#include "vel/credmgr/IdentityPattern.h"

using C = CredentialConstants;

CredentialIdentityImpl::CredentialIdentityImpl(const Ascii& identity)
    : CredentialImpl(C::TYPE_IDENTITY, ByteArray()) {
    protect(false, vectorOf(C::TAG_DISC, identity.toByteArray()),
            {C::ERROR_IDENTITY_ENCRYPT, "encryption failed in CredentialIdentityImpl [%s:%d]"}, __FILE__,
            __LINE__);
}

CredentialIdentityImpl::CredentialIdentityImpl(const ByteArray& storedText, StoredText)
    : CredentialImpl(C::TYPE_IDENTITY, storedText) {}

CredentialIdentityImpl::~CredentialIdentityImpl() {
    if (m_handle != 0 && qxIdentityDestroy(&m_handle) != QX_OK) {
        logFailure({C::ERROR_IDENTITY_DESTROY, "qxIdentityDestroy failed in ~CredentialIdentityImpl [%s:%d]"},
                   __FILE__, __LINE__);
    }
}

QX_HANDLE CredentialIdentityImpl::volatileH() {
    if (m_handle != 0) return m_handle;
    const Ascii value = identity();
    QX_HANDLE handle = 0;
    if (qxIdentityCreate(&handle, reinterpret_cast<const std::uint8_t*>(value.text()), value.length()) !=
        QX_OK) {
        logFailure({C::ERROR_IDENTITY_CREATE, "qxIdentityCreate failed in volatileH [%s:%d]"}, __FILE__,
                   __LINE__);
        return 0;
    }
    m_handle = handle;
    return m_handle;
}

CredentialProxy CredentialIdentityImpl::expand(const Ascii& pattern) {
    return CredentialProxy(Credential::newIdentity(IdentityPattern::expand(identity(), pattern)));
}

Ascii CredentialIdentityImpl::identity() const {
    ByteArrayProxy value =
        readElement(C::VECTOR_LENGTH, C::VECTOR_LENGTH - 1,
                    {C::ERROR_IDENTITY_DECRYPT, "Decryption failed in identity [%s:%d]"},
                    {C::ERROR_IDENTITY_INVALID, "Invalid identity [%s:%d]"}, __FILE__, __LINE__);
    return value.exists() ? Ascii::fromByteArray(value.value()) : Ascii();
}
