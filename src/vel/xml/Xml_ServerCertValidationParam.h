#pragma once

#include "vel/configuration/CertificateValidationParameters.h"
#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"
#include "vel/reference/ElementVector.h"

// What validateServerCertificate holds: any server name or name rules, and any CA of the
// operating system or specific CA certificates.
class Xml_ServerCertValidationParam {
public:
    static CertificateValidationParameters Read(const SharedXmlNode& node);
    // Appends the element name holding the validation.
    static void Write(XmlParentBase& parent, const CertificateValidationParameters& validation,
                      const char* name);

    // TrustedServerRule entries of serverNameValidationRules.
    static ElementVector ReadServerRules(const SharedXmlNode& node);
    static void WriteServerRules(XmlParentBase& parent, ElementVector rules);
    // TrustedCaCert entries of validateChainWithSpecificCa.
    static ElementVector ReadTrustedCas(const SharedXmlNode& node);
    static void WriteTrustedCas(XmlParentBase& parent, ElementVector cas);
};
