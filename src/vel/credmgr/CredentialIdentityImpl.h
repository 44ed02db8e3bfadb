#pragma once

#include "vel/credmgr/CredentialImpl.h"

// A user name.
class CredentialIdentityImpl : public CredentialImpl {
public:
    explicit CredentialIdentityImpl(const Ascii& identity);
    // Keeps an existing stored text.
    CredentialIdentityImpl(const ByteArray& storedText, StoredText);
    ~CredentialIdentityImpl() override;

    QX_HANDLE volatileH() override;
    CredentialProxy expand(const Ascii& pattern) override;
    Ascii identity() const override;

private:
    QX_HANDLE m_handle = 0;
};
