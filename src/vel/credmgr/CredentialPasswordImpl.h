#pragma once

#include "vel/credmgr/CredentialImpl.h"

class CredentialPasswordImpl : public CredentialImpl {
public:
    explicit CredentialPasswordImpl(const Ascii& password);
    // Keeps an existing stored text.
    CredentialPasswordImpl(const ByteArray& storedText, StoredText);
    ~CredentialPasswordImpl() override;

    QX_HANDLE volatileH() override;
    Ascii password() const override;

private:
    QX_HANDLE m_handle = 0;
};
