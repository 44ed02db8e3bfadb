#include "vel/credmgr/CredentialAsciiPskImpl.h"

#include "vel/credmgr/CredentialConstants.h"

using C = CredentialConstants;

CredentialAsciiPskImpl::CredentialAsciiPskImpl(const Ascii& passPhrase, const ByteArray& ssid)
    : CredentialImpl(C::TYPE_ASCII_PSK, ByteArray()), m_ssid(ssid) {
    protect(true, vectorOf(C::TAG_DISC, ssid, passPhrase.toByteArray()),
            {C::ERROR_ASCII_PSK_ENCRYPT, "encryption failed in CredentialAsciiPskImpl [%s:%d]"}, __FILE__,
            __LINE__);
}

CredentialAsciiPskImpl::CredentialAsciiPskImpl(const ByteArray& storedText, StoredText)
    : CredentialImpl(C::TYPE_ASCII_PSK, storedText) {
    ByteArrayProxy ssid =
        readElement(C::ASCII_PSK_VECTOR_LENGTH, C::ASCII_PSK_SSID_ELEMENT,
                    {C::ERROR_ASCII_PSK_DECRYPT, "Decryption failed in Psk [%s:%d]"},
                    {C::ERROR_ASCII_PSK_INVALID, "Invalid Psk [%s:%d]"}, __FILE__, __LINE__);
    if (ssid.exists()) m_ssid = ssid.value();
}

CredentialAsciiPskImpl::~CredentialAsciiPskImpl() {
    destroyHandle("qxRsnPskDestroy failed in ~CredentialAsciiPskImpl [%s:%d]", __FILE__, __LINE__);
}

void CredentialAsciiPskImpl::destroyHandle(const char* format, const char* file, int line) {
    if (m_handle != 0 && qxRsnPskDestroy(&m_handle) != QX_OK)
        logFailure({C::ERROR_ASCII_PSK_DESTROY, format}, file, line);
    m_handle = 0;
}

QX_HANDLE CredentialAsciiPskImpl::volatileH() {
    if (m_handle != 0) return m_handle;
    const Ascii passPhrase = Ascii::fromByteArray(psk());
    QX_HANDLE handle = 0;
    if (qxRsnPskCreate(&handle, passPhrase.text(), m_ssid.bytes(), m_ssid.length()) != QX_OK) {
        logFailure({C::ERROR_ASCII_PSK_CREATE, "qxRsnPskCreate failed in volatileH [%s:%d]"}, __FILE__,
                   __LINE__);
        return 0;
    }
    m_handle = handle;
    return m_handle;
}

ByteArray CredentialAsciiPskImpl::psk() const {
    ByteArrayProxy value =
        readElement(C::ASCII_PSK_VECTOR_LENGTH, C::ASCII_PSK_VECTOR_LENGTH - 1,
                    {C::ERROR_ASCII_PSK_DECRYPT, "Decryption failed in Psk [%s:%d]"},
                    {C::ERROR_ASCII_PSK_INVALID, "Invalid Psk [%s:%d]"}, __FILE__, __LINE__);
    return value.exists() ? value.value() : ByteArray();
}

void CredentialAsciiPskImpl::setSsid(const ByteArray& ssid) {
    m_ssid = ssid;
    // An unreadable pass phrase is not re-protected as an empty one.
    ByteArrayProxy passPhrase =
        readElement(C::ASCII_PSK_VECTOR_LENGTH, C::ASCII_PSK_VECTOR_LENGTH - 1,
                    {C::ERROR_ASCII_PSK_DECRYPT, "Decryption failed in Psk [%s:%d]"},
                    {C::ERROR_ASCII_PSK_INVALID, "Invalid Psk [%s:%d]"}, __FILE__, __LINE__);
    if (passPhrase.exists()) {
        protect(true, vectorOf(C::TAG_DISC, ssid, passPhrase.value()),
                {C::ERROR_ASCII_PSK_ENCRYPT, "encryption failed in CredentialAsciiPskImpl [%s:%d]"}, __FILE__,
                __LINE__);
    }
    // The key is derived over the SSID: the next use makes a new handle.
    destroyHandle("qxRsnPskDestroy failed in ~setSsid [%s:%d]", __FILE__, __LINE__);
}
