#pragma once

#include "vel/credmgr/CredentialImpl.h"

// A smart-card PIN. It has no library handle of its own: the certificate code makes one when it
// loads a private key.
class CredentialPinImpl : public CredentialImpl {
public:
    explicit CredentialPinImpl(const Ascii& pin);
    // Keeps an existing stored text.
    CredentialPinImpl(const ByteArray& storedText, StoredText);

    QX_HANDLE volatileH() override { return 0; }
    Ascii pin() const override;
};
