#include "vel/credmgr/CredentialPacImpl.h"

#include "ostrum.h"
#include "vel/credmgr/CredentialConstants.h"
#include "vel/credmgr/PacRecord.h"
#include "vel/credmgr/StoredCredentialText.h"

using C = CredentialConstants;

CredentialPacImpl::CredentialPacImpl(const PacFields& fields)
    : CredentialImpl(C::TYPE_PAC, ByteArray()), m_fields(fields) {
    protect(false, vectorOf(C::TAG_DISC, PacRecord::serialize(fields)),
            {C::ERROR_PAC_ENCRYPT, "PAC encryption failed in CredentialPacImpl [%s:%d]"}, __FILE__, __LINE__);
}

CredentialPacImpl::CredentialPacImpl(const ByteArray& storedText, StoredText)
    : CredentialImpl(C::TYPE_PAC, storedText) {
    ByteArray plain;
    if (!StoredCredentialText::decrypt(storedText, plain)) {
        logFailure({C::ERROR_PAC_DECRYPT, "PAC decryption failed in CredentialPacImpl [%s:%d]"}, __FILE__,
                   __LINE__);
        return;
    }
    ByteArrayVectorProxy vector = ByteArrayVector::deserialize(plain);
    if (!vector.exists() || vector.value().length() != C::VECTOR_LENGTH ||
        !PacRecord::deserialize(vector.value().get(C::VECTOR_LENGTH - 1), m_fields)) {
        logFailure({C::ERROR_PAC_INVALID, "Invalid PAC [%s:%d]"}, __FILE__, __LINE__);
    }
}

CredentialPacImpl::~CredentialPacImpl() {
    if (m_handle != 0 && qxEapFASTPacDestroy(&m_handle) != QX_OK) {
        logFailure({C::ERROR_PAC_DESTROY, "qxEapFASTPacDestroy failed in ~CredentialPacImpl [%s:%d]"},
                   __FILE__, __LINE__);
    }
}

QX_HANDLE CredentialPacImpl::volatileH() {
    if (m_handle != 0) return m_handle;
    QX_HANDLE handle = 0;
    if (qxEapFASTPacCreate(&handle, m_fields.key.bytes(), m_fields.key.length(), m_fields.opaque.bytes(),
                           m_fields.opaque.length()) != QX_OK) {
        logFailure({C::ERROR_PAC_CREATE, "qxEapFASTPacCreate failed in volatileH [%s:%d]"}, __FILE__,
                   __LINE__);
        return 0;
    }
    m_handle = handle;
    return m_handle;
}

bool CredentialPacImpl::expired() const {
    if (m_fields.lifetime.first == 0) return false;
    OsTime now{};
    osTime(&now);
    // Read unsigned, as the library gives it, so that lifetimes past 2038 stay in the future.
    return now.seconds > static_cast<std::uint32_t>(m_fields.lifetime.first);
}
