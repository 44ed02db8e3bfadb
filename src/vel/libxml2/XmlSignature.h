#pragma once

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"

class XmlDocument;

// The enveloped signature of the administrator's configuration: SHA-1 over the canonical document
// without its Signature element, and an RSA signature over the canonical SignedInfo.
class XmlSignature {
public:
    // The public key given to the build, in PEM form.
    static const char* builtInPublicKey();
    // True when that is the published test key, whose private half anyone can read.
    static bool builtInKeyIsTestKey();

    // Every failure, malformed signature or key included, is a false result.
    static bool verify(XmlDocument& document, const char* publicKeyPem);

    // Base64 of the SHA-1 digest of the document's canonical form.
    static Ascii digestText(const XmlDocument& document);
    // The canonical text that the signature value covers; the signature element must be detached and
    // is detached again afterwards.
    static Ascii signedText(const SharedXmlNode& signature);

    static ByteArray sha1(const Ascii& text);
};
