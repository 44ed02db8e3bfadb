#pragma once
// One certificate offered to the user in a getCertificateRequest. Each record is made empty,
// filled field by field and read back by the writer in the same order.
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"

class XmlCertificateImpl : public ReferenceImpl {
public:
    ByteArray m_certificateHash;
    Ascii m_certificateName;
    Ascii m_issuedTo;
    Ascii m_issuedBy;
    Ascii m_expiryDate;
    Ascii m_serialNumber;
    // Empty for a certificate that is not on a smart card.
    Ascii m_smartCardName;
};

class XmlCertificate : public Reference {
public:
    static XmlCertificate create();
    // The record held by an element of a list.
    static XmlCertificate fromElement(ElementInterface* element);

    XmlCertificate() = default;

    void setCertificateHash(const ByteArray& hash) const { impl()->m_certificateHash = hash; }
    void setCertificateName(const Ascii& name) const { impl()->m_certificateName = name; }
    void setIssuedTo(const Ascii& subject) const { impl()->m_issuedTo = subject; }
    void setIssuedBy(const Ascii& issuer) const { impl()->m_issuedBy = issuer; }
    void setExpiryDate(const Ascii& date) const { impl()->m_expiryDate = date; }
    void setSerialNumber(const Ascii& serial) const { impl()->m_serialNumber = serial; }
    void setSmartCardName(const Ascii& name) const { impl()->m_smartCardName = name; }

    ByteArray certificateHash() const { return impl()->m_certificateHash; }
    Ascii certificateName() const { return impl()->m_certificateName; }
    Ascii issuedTo() const { return impl()->m_issuedTo; }
    Ascii issuedBy() const { return impl()->m_issuedBy; }
    Ascii expiryDate() const { return impl()->m_expiryDate; }
    Ascii serialNumber() const { return impl()->m_serialNumber; }
    Ascii smartCardName() const { return impl()->m_smartCardName; }

private:
    explicit XmlCertificate(XmlCertificateImpl* p, Reference::TakeOver)
        : Reference(p, Reference::TAKE_OVER) {}
    XmlCertificateImpl* impl() const {
        return static_cast<XmlCertificateImpl*>(static_cast<ReferenceImpl*>(m));
    }
};
