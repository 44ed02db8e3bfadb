#pragma once
// A store the library opens by its URL.
#include "vel/certificate/CertificateStore.h"

class UrlCertificateStoreImpl : public CertificateStoreImpl {
public:
    explicit UrlCertificateStoreImpl(const Ascii& url) : m_url(url) {}

    int type() const override;
    CertificateStoreHandle open() override;
    Ascii url() const override { return m_url; }
    Ascii name() const override { return m_url; }
    bool isUsable() const override { return m_url.length() > 0; }

private:
    Ascii m_url;
};
