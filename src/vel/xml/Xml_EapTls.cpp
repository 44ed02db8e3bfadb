#include "vel/xml/Xml_EapTls.h"

#include "vel/configuration/AuthenticationMethodClasses.h"
#include "vel/libxml2/XmlParentNode.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/XmlSchema.h"
#include "vel/xml/Xml_CertificateSource.h"
#include "vel/xml/Xml_TunnelMethods.h"

using E = XmlElements;

XmlMethodSettings Xml_EapTls::Read(const SharedXmlNode& node, std::int32_t recordKind) {
    XmlMethodSettings method;
    method.type = AuthenticationTypeConstants::EAP_TLS;
    method.credentialKind = XmlAuthenticationConstants::CREDENTIAL_CERTIFICATE;
    Xml_TunnelMethods::Read(node, recordKind, method);
    method.source =
        Xml_CertificateSource::Read(vel::xmlRequiredChild(node, E::CERTIFICATE_SOURCE), recordKind);
    return method;
}

void Xml_EapTls::Write(XmlParentBase& parent, const XmlMethodSettings& method, std::int32_t recordKind) {
    XmlParentNode element(parent.addChild(E::EAP_TLS));
    Xml_TunnelMethods::Write(element, method, recordKind);
    Xml_CertificateSource::Write(element, method.source, recordKind);
}
