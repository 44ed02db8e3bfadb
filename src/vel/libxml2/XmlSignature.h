#pragma once

#include <string>

#include "vel/libxml2/SharedXmlNode.h"

class XmlDocument;

// The enveloped signature of the administrator's configuration: SHA-1 over the canonical document
// without its Signature element, and an RSA signature over the canonical SignedInfo.
class XmlSignature {
public:
    // The public key given to the build, in PEM form.
    static const char* builtInPublicKey();

    // Every failure, malformed signature or key included, is a false result.
    static bool verify(XmlDocument& document, const char* publicKeyPem);

    // Base64 of the SHA-1 digest of the document's canonical form.
    static std::string digestText(const XmlDocument& document);
    // The canonical text that the signature value covers; the signature element must be detached and
    // is detached again afterwards.
    static std::string signedText(const SharedXmlNode& signature);

    static std::string sha1(const std::string& data);
    static std::string toBase64(const std::string& bytes);
    static std::string fromBase64(const std::string& text);
};
