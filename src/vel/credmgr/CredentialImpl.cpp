#include "vel/credmgr/CredentialImpl.h"

#include "runtime/lum/Log.h"
#include "runtime/lum/RuntimeFolders.h"
#include "vel/credmgr/CredentialConstants.h"
#include "vel/credmgr/CredentialProxy.h"
#include "vel/credmgr/StoredCredentialText.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/exception/ConversionException.h"
#include "vel/exception/ExceptionConstants.h"

namespace {

using C = CredentialConstants;

std::int32_t typeOfStoredText(const ByteArray& storedText) {
    ByteArray plain;
    if (!StoredCredentialText::decrypt(storedText, plain)) {
        logInternalError(C::ERROR_GENERIC_TEXT);
        logError(0, "Decryption failed in CredentialImpl [%s:%d]", pathFileName(__FILE__), __LINE__);
        return C::TYPE_INVALID;
    }
    ByteArrayVectorProxy vector = ByteArrayVector::deserialize(plain);
    if (vector.exists() && vector.value().length() > 0) {
        const ByteArray typeText = vector.value().get(0);
        try {
            return TextToCredentialType(typeText.text(), typeText.length());
        } catch (const ConversionException&) {
        }
    }
    logInternalError(C::ERROR_GENERIC_TEXT);
    logError(0, "Invalid credential [%s:%d]", pathFileName(__FILE__), __LINE__);
    return C::TYPE_INVALID;
}

}  // namespace

CredentialImpl::CredentialImpl(const ByteArray& storedText)
    : m_type(typeOfStoredText(storedText)), m_storedText(storedText) {}

void CredentialImpl::logFailure(const Failure& failure, const char* file, int line) {
    logInternalError(failure.number);
    logError(0, failure.format, pathFileName(file), line);
}

ByteArray CredentialImpl::vectorOf(const char* tag, const ByteArray& value) const {
    ByteArrayVector vector;
    vector.add(ByteArray(CredentialTypeToText(m_type)));
    vector.add(ByteArray(tag));
    vector.add(value);
    return vector.serialize();
}

ByteArray CredentialImpl::vectorOf(const char* tag, const ByteArray& first, const ByteArray& second) const {
    ByteArrayVector vector;
    vector.add(ByteArray(CredentialTypeToText(m_type)));
    vector.add(ByteArray(tag));
    vector.add(first);
    vector.add(second);
    return vector.serialize();
}

void CredentialImpl::protect(bool aes, const ByteArray& serialized, const Failure& failure, const char* file,
                             int line) {
    const bool done = aes ? StoredCredentialText::protectAes(serialized, m_storedText)
                          : StoredCredentialText::protectDpapi(serialized, true, m_storedText);
    if (!done) {
        m_storedText = ByteArray();
        logFailure(failure, file, line);
    }
}

ByteArrayProxy CredentialImpl::readElement(std::int32_t count, std::int32_t index,
                                           const Failure& decryptFailure, const Failure& invalidFailure,
                                           const char* file, int line) const {
    ByteArray plain;
    if (!StoredCredentialText::decrypt(m_storedText, plain)) {
        logFailure(decryptFailure, file, line);
        return {};
    }
    ByteArrayVectorProxy vector = ByteArrayVector::deserialize(plain);
    if (!vector.exists() || vector.value().length() != count) {
        logFailure(invalidFailure, file, line);
        return {};
    }
    return vector.value().get(index);
}

QX_HANDLE CredentialImpl::volatileH() {
    logFailure({C::ERROR_VOLATILE_H, "volatileH: call derived impl's volatileH [%s:%d]"}, __FILE__, __LINE__);
    return 0;
}

CredentialProxy CredentialImpl::expand(const Ascii&) {
    return CredentialProxy();
}

void CredentialImpl::setWepValue(std::int32_t) {
    logFailure({C::ERROR_NOT_PSK, "psk: valid only for static WEP credentials [%s:%d]"}, __FILE__, __LINE__);
}

std::int32_t CredentialImpl::wepValue() const {
    logFailure({C::ERROR_NOT_PSK, "psk: valid only for static WEP credentials [%s:%d]"}, __FILE__, __LINE__);
    return 0;
}

ByteArray CredentialImpl::psk() const {
    logFailure({C::ERROR_NOT_PSK, "psk: valid only for PSK credentials [%s:%d]"}, __FILE__, __LINE__);
    return ByteArray();
}

void CredentialImpl::setSsid(const ByteArray&) {
    logFailure({C::ERROR_NOT_PSK, "psk: valid only for PSK credentials [%s:%d]"}, __FILE__, __LINE__);
}

std::int32_t CredentialImpl::length() const {
    logFailure({C::ERROR_NOT_PSK, "length: valid only for PSK credentials [%s:%d]"}, __FILE__, __LINE__);
    return 0;
}

bool CredentialImpl::expired() const {
    logFailure({C::ERROR_NOT_PAC_EXPIRED, "expired: valid only for PAC credentials [%s:%d]"}, __FILE__,
               __LINE__);
    return true;
}

ByteArray CredentialImpl::aid() const {
    logFailure({C::ERROR_NOT_PAC_AID, "aid: valid only for PAC credentials [%s:%d]"}, __FILE__, __LINE__);
    return ByteArray();
}

Ascii CredentialImpl::aidInfo() const {
    logFailure({C::ERROR_NOT_PAC_AID_INFO, "aidInfo: valid only for PAC credentials [%s:%d]"}, __FILE__,
               __LINE__);
    return Ascii();
}

Ascii CredentialImpl::iid() const {
    logFailure({C::ERROR_NOT_PAC_IID, "iid: valid only for PAC credentials [%s:%d]"}, __FILE__, __LINE__);
    return Ascii();
}

PacLifetime CredentialImpl::lifetime() const {
    logFailure({C::ERROR_NOT_PAC_LIFETIME, "lifetime: valid only for PAC credentials [%s:%d]"}, __FILE__,
               __LINE__);
    return PacLifetime();
}

std::int32_t CredentialImpl::pacType() const {
    logFailure({C::ERROR_NOT_PAC_TYPE, "pacType: valid only for PAC credentials [%s:%d]"}, __FILE__,
               __LINE__);
    return 1;
}

ByteArray CredentialImpl::certificateHash() const {
    logFailure({C::ERROR_NOT_CERTIFICATE, "certificateHash: valid only for certificate credential [%s:%d]"},
               __FILE__, __LINE__);
    return ByteArray();
}

Ascii CredentialImpl::identity() const {
    logFailure({C::ERROR_NOT_IDENTITY, "identity: valid only for identity credentials [%s:%d]"}, __FILE__,
               __LINE__);
    return Ascii();
}

Ascii CredentialImpl::password() const {
    logFailure({C::ERROR_NOT_PASSWORD_OR_PIN, "password: valid only for password credentials [%s:%d]"},
               __FILE__, __LINE__);
    return Ascii();
}

Ascii CredentialImpl::pin() const {
    logFailure({C::ERROR_NOT_PASSWORD_OR_PIN, "pin: valid only for pin credentials [%s:%d]"}, __FILE__,
               __LINE__);
    return Ascii();
}
