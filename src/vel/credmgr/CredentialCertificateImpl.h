#pragma once

#include "vel/credmgr/CredentialImpl.h"

// The hash that names a certificate in the user's store.
class CredentialCertificateImpl : public CredentialImpl {
public:
    explicit CredentialCertificateImpl(const ByteArray& hash);
    // Keeps an existing stored text.
    CredentialCertificateImpl(const ByteArray& storedText, StoredText);

    ByteArray certificateHash() const override;
};
