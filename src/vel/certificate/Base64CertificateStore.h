#pragma once
// A memory store over PEM texts (a network's own CA certificates): the texts are normalised and
// joined, and the store handle lives as long as the store.
#include "vel/certificate/CertificateStore.h"

class Base64CertificateStoreImpl : public CertificateStoreImpl {
public:
    explicit Base64CertificateStoreImpl(const AsciiVector& pemTexts);

    int type() const override;
    CertificateStoreHandle open() override { return m_handle; }
    Ascii url() const override { return Ascii("PEM"); }
    Ascii name() const override { return Ascii("List of concatenated base64 encoded certificates"); }
    bool isUsable() const override { return m_handle.handle() != 0; }

    // Each line without its leading blanks, tabs, CRs and LFs, ending in one LF.
    static Ascii normalise(const Ascii& text);

private:
    CertificateStoreHandle m_handle;
};
