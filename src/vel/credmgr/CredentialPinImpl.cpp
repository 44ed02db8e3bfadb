#include "vel/credmgr/CredentialPinImpl.h"

#include "vel/credmgr/CredentialConstants.h"

using C = CredentialConstants;

CredentialPinImpl::CredentialPinImpl(const Ascii& pin) : CredentialImpl(C::TYPE_PIN, ByteArray()) {
    protect(false, vectorOf(C::TAG_DISK, pin.toByteArray()),
            {C::ERROR_PIN_ENCRYPT, "Pin encryption failed [%s:%d]"}, __FILE__, __LINE__);
}

CredentialPinImpl::CredentialPinImpl(const ByteArray& storedText, StoredText)
    : CredentialImpl(C::TYPE_PIN, storedText) {}

Ascii CredentialPinImpl::pin() const {
    ByteArrayProxy value = readElement(
        C::VECTOR_LENGTH, C::VECTOR_LENGTH - 1, {C::ERROR_PIN_DECRYPT, "Pin decryption failed [%s:%d]"},
        {C::ERROR_PIN_INVALID, "Invalid persistent pin handle [%s:%d]"}, __FILE__, __LINE__);
    return value.exists() ? Ascii::fromByteArray(value.value()) : Ascii();
}
