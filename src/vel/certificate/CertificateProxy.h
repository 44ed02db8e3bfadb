#pragma once
// The optional holder of a certificate.
#include "vel/certificate/Certificate.h"
#include "vel/reference/HandleOf.h"

class CertificateProxy : public HandleProxy<Certificate> {
public:
    CertificateProxy() = default;
    // Asserts "certificate.m"; usable at once.
    explicit CertificateProxy(const Certificate& certificate) { assign(certificate); }

    void assign(const Certificate& certificate) { hold(certificate, "certificate.m"); }
    Certificate certificate() const { return held(); }
};
