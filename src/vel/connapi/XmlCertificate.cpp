#include "vel/connapi/XmlCertificate.h"

#include "runtime/lum/Assert.h"

XmlCertificate XmlCertificate::create() {
    return XmlCertificate(new XmlCertificateImpl, Reference::TAKE_OVER);
}

XmlCertificate XmlCertificate::fromElement(ElementInterface* element) {
    XmlCertificate certificate;
    if (!LUM_ASSERT(dynamic_cast<XmlCertificateImpl*>(element) != nullptr)) return certificate;
    static_cast<Reference&>(certificate) = Reference(element);
    return certificate;
}
