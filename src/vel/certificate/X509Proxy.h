#pragma once
// The X.509 properties of a certificate as the library reports them through its handle, and the
// names the engine derives from them.
#include <cstdint>

#include "platform/qxauth/qxAuth.h"
#include "vel/reference/Proxy.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"
#include "vel/string/AsciiVector.h"
#include "vel/time/Time.h"

class X509Impl : public ReferenceImpl {
public:
    // Every property, read through the handle.
    explicit X509Impl(QX_HANDLE handle);

    Ascii userName() const;
    Ascii userPart() const;
    Ascii domainPart() const;
    Ascii certificateName() const;
    Ascii issuedToName() const;
    Ascii issuerName() const;

    Ascii m_serialNumber;                  // 1000
    Ascii m_subject;                       // 2000
    AsciiVector m_subjectNames;            // 2001
    AsciiVector m_subjectDomains;          // 2002
    AsciiVector m_subjectOrganization;     // 2003
    Ascii m_userPrincipalName;             // 3000
    AsciiVector m_alternativeNames;        // 3001
    Ascii m_issuer;                        // 4000
    AsciiVector m_issuerNames;             // 4001
    AsciiVector m_issuerDomains;           // 4002
    AsciiVector m_issuerOrganization;      // 4003
    AsciiVector m_issuerAlternativeNames;  // 5000
    Time m_validFrom;                      // 6000
    Time m_validTo;                        // 6001
    AsciiVector m_extendedKeyUsages;       // 7000
    Ascii m_signatureAlgorithm;            // 8000
    std::int32_t m_keyUsage = 0;
};

// The optional holder of a certificate's X.509 properties.
class X509Proxy : public Proxy {
public:
    X509Proxy() = default;
    // Takes over the creator's reference; the holder is usable at once.
    static X509Proxy create(X509Impl* p);

    // The properties; asserts "x509.m" when there are none.
    X509Impl* x509() const;
};

// The first non-empty text of a list, else the empty text.
Ascii firstNonEmpty(const AsciiVector& list);
