#include "vel/certificate/X509Proxy.h"

#include "runtime/lum/Assert.h"
#include "vel/certificate/CertificateConstants.h"
#include "vel/certificate/X509Time.h"

using C = CertificateConstants;

namespace {

// Values 0, 1, 2, ... of a field until the library has no more.
AsciiVector listField(QX_HANDLE handle, int fieldId) {
    AsciiVector values;
    for (int index = 0;; ++index) {
        char buffer[C::FIELD_BUFFER] = {};
        int length = sizeof buffer;
        if (qxCertGetField(handle, fieldId, index, buffer, &length) != QX_OK) return values;
        values.add(Ascii(buffer));
    }
}

Ascii singleField(QX_HANDLE handle, int fieldId) {
    return firstNonEmpty(listField(handle, fieldId));
}

bool holdsEquals(const Ascii& text) {
    return text.find('=') >= 0;
}

}  // namespace

Ascii firstNonEmpty(const AsciiVector& list) {
    for (std::int32_t i = 0; i < list.length(); ++i)
        if (list.get(i).length() > 0) return list.get(i);
    return Ascii("");
}

X509Impl::X509Impl(QX_HANDLE handle)
    : m_serialNumber(singleField(handle, QX_CERT_SERIAL)),
      m_subject(singleField(handle, QX_CERT_SUBJECT)),
      m_subjectNames(listField(handle, QX_CERT_SUBJECT_CN)),
      m_subjectDomains(listField(handle, QX_CERT_SUBJECT_DC)),
      m_subjectOrganization(listField(handle, QX_CERT_SUBJECT_ORG)),
      m_userPrincipalName(singleField(handle, QX_CERT_UPN)),
      m_alternativeNames(listField(handle, QX_CERT_ALT_NAMES)),
      m_issuer(singleField(handle, QX_CERT_ISSUER)),
      m_issuerNames(listField(handle, QX_CERT_ISSUER_CN)),
      m_issuerDomains(listField(handle, QX_CERT_ISSUER_DC)),
      m_issuerOrganization(listField(handle, QX_CERT_ISSUER_ORG)),
      m_issuerAlternativeNames(listField(handle, QX_CERT_ISSUER_ALT_NAMES)),
      m_validFrom(parseX509Time(singleField(handle, QX_CERT_NOT_BEFORE))),
      m_validTo(parseX509Time(singleField(handle, QX_CERT_NOT_AFTER))),
      m_extendedKeyUsages(listField(handle, QX_CERT_EXTENDED_KEY_USAGE)),
      m_signatureAlgorithm(singleField(handle, QX_CERT_SIGNATURE_ALGORITHM)) {
    int usage = 0;
    if (qxCertGetKeyUsage(handle, &usage) == QX_OK) m_keyUsage = usage;
}

Ascii X509Impl::userName() const {
    if (m_userPrincipalName.length() > 0) return m_userPrincipalName;
    Ascii name = firstNonEmpty(m_subjectNames);
    if (name.length() > 0) return name;
    if (m_subject.length() > 0 && !holdsEquals(m_subject)) return m_subject;
    return Ascii("");
}

Ascii X509Impl::userPart() const {
    Ascii name = userName();
    std::int32_t at = name.find('@');
    return at < 0 ? name : name.substring(0, at);
}

Ascii X509Impl::domainPart() const {
    Ascii name = userName();
    std::int32_t at = name.find('@');
    if (at >= 0 && at + 1 < name.length()) return name.substring(at + 1, name.length());
    return firstNonEmpty(m_subjectDomains);
}

Ascii X509Impl::certificateName() const {
    return userPart() + Ascii("@") + domainPart();
}

Ascii X509Impl::issuedToName() const {
    for (const AsciiVector* list : {&m_alternativeNames, &m_subjectDomains, &m_subjectNames}) {
        Ascii name = firstNonEmpty(*list);
        if (name.length() > 0) return name;
    }
    if (!holdsEquals(m_subject)) return m_subject;
    return Ascii("");
}

Ascii X509Impl::issuerName() const {
    for (const AsciiVector* list : {&m_issuerAlternativeNames, &m_issuerNames, &m_issuerDomains}) {
        Ascii name = firstNonEmpty(*list);
        if (name.length() > 0) return name;
    }
    return m_issuer;
}

X509Proxy X509Proxy::create(X509Impl* p) {
    X509Proxy proxy;
    proxy.m_p = p;
    proxy.m_usable = true;
    return proxy;
}

X509Impl* X509Proxy::x509() const {
    LUM_ASSERT(m_usable);
    LUM_ASSERT_TEXT(m_p != nullptr, "x509.m");
    return static_cast<X509Impl*>(static_cast<ReferenceImpl*>(m_p));
}
