#pragma once

#include "vel/credmgr/CredentialImpl.h"

// A pre-shared key given as a pass phrase; the library derives the key over the network's SSID.
class CredentialAsciiPskImpl : public CredentialImpl {
public:
    CredentialAsciiPskImpl(const Ascii& passPhrase, const ByteArray& ssid);
    // Keeps an existing stored text and takes the SSID from it.
    CredentialAsciiPskImpl(const ByteArray& storedText, StoredText);
    ~CredentialAsciiPskImpl() override;

    QX_HANDLE volatileH() override;
    void setWepValue(std::int32_t value) override { m_wepValue = value; }
    std::int32_t wepValue() const override { return m_wepValue; }
    ByteArray psk() const override;
    void setSsid(const ByteArray& ssid) override;
    std::int32_t length() const override { return psk().length(); }

    const ByteArray& ssid() const { return m_ssid; }

private:
    void destroyHandle(const char* format, const char* file, int line);

    ByteArray m_ssid;
    QX_HANDLE m_handle = 0;
    // Key size in bytes of a static WEP key; kept in memory only.
    std::int32_t m_wepValue = 0;
};
