#pragma once
// One of the six stores of the operating system, by kind (5 to 10).
#include "vel/certificate/CertificateStore.h"

class OsCertificateStoreImpl : public CertificateStoreImpl {
public:
    explicit OsCertificateStoreImpl(int kind);

    int type() const override { return m_kind; }
    CertificateStoreHandle open() override;
    Ascii url() const override { return m_url; }
    Ascii name() const override { return m_name; }
    bool isUsable() const override { return m_url.length() > 0; }
    bool isUserStore() const override;

private:
    int m_kind;
    Ascii m_url;
    Ascii m_name;
};
