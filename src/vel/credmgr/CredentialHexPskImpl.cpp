#include "vel/credmgr/CredentialHexPskImpl.h"

#include "vel/credmgr/CredentialConstants.h"

using C = CredentialConstants;

CredentialHexPskImpl::CredentialHexPskImpl(const ByteArray& key)
    : CredentialImpl(C::TYPE_HEX_PSK, ByteArray()) {
    protect(true, vectorOf(C::TAG_DISC, key),
            {C::ERROR_HEX_PSK_ENCRYPT, "encryption failed in CredentialHexPskImpl [%s:%d]"}, __FILE__,
            __LINE__);
}

CredentialHexPskImpl::CredentialHexPskImpl(const ByteArray& storedText, StoredText)
    : CredentialImpl(C::TYPE_HEX_PSK, storedText) {}

CredentialHexPskImpl::~CredentialHexPskImpl() {
    if (m_handle != 0 && qxRsnPskDestroy(&m_handle) != QX_OK) {
        logFailure({C::ERROR_HEX_PSK_DESTROY, "qxRsnPskDestroy failed in ~CredentialHexPskImpl [%s:%d]"},
                   __FILE__, __LINE__);
    }
}

QX_HANDLE CredentialHexPskImpl::volatileH() {
    if (m_handle != 0) return m_handle;
    const ByteArray key = psk();
    QX_HANDLE handle = 0;
    if (qxRsnBinPskCreate(&handle, key.bytes(), key.length()) != QX_OK) {
        logFailure({C::ERROR_HEX_PSK_CREATE, "qxRsnBinPskCreate failed in volatileH [%s:%d]"}, __FILE__,
                   __LINE__);
        return 0;
    }
    m_handle = handle;
    return m_handle;
}

ByteArray CredentialHexPskImpl::psk() const {
    ByteArrayProxy value = readElement(C::VECTOR_LENGTH, C::VECTOR_LENGTH - 1,
                                       {C::ERROR_HEX_PSK_DECRYPT, "Decryption failed in Psk [%s:%d]"},
                                       {C::ERROR_HEX_PSK_INVALID, "Invalid Psk [%s:%d]"}, __FILE__, __LINE__);
    return value.exists() ? value.value() : ByteArray();
}
