#pragma once

#include "vel/credmgr/CredentialImpl.h"

// A pre-shared key given as its bytes.
class CredentialHexPskImpl : public CredentialImpl {
public:
    explicit CredentialHexPskImpl(const ByteArray& key);
    // Keeps an existing stored text.
    CredentialHexPskImpl(const ByteArray& storedText, StoredText);
    ~CredentialHexPskImpl() override;

    QX_HANDLE volatileH() override;
    void setWepValue(std::int32_t value) override { m_wepValue = value; }
    std::int32_t wepValue() const override { return m_wepValue; }
    ByteArray psk() const override;
    std::int32_t length() const override { return psk().length(); }

private:
    QX_HANDLE m_handle = 0;
    // Key size in bytes of a static WEP key; kept in memory only.
    std::int32_t m_wepValue = 0;
};
