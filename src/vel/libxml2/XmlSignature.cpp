#include "vel/libxml2/XmlSignature.h"

#include <libxml/tree.h>
#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <cstring>
#include <memory>

#include "runtime/lum/Assert.h"
#include "vel/exception/XmlException.h"
#include "vel/libxml2/XmlCanonical.h"
#include "vel/libxml2/XmlDocument.h"

namespace {

struct KeyDeleter {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct ContextDeleter {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
struct BioDeleter {
    void operator()(BIO* bio) const { BIO_free(bio); }
};

std::unique_ptr<EVP_PKEY, KeyDeleter> readPublicKey(const char* pem) {
    if (pem == nullptr) return nullptr;
    std::unique_ptr<BIO, BioDeleter> bio(BIO_new_mem_buf(pem, -1));
    if (!bio) return nullptr;
    return std::unique_ptr<EVP_PKEY, KeyDeleter>(PEM_read_bio_PUBKEY(bio.get(), nullptr, nullptr, nullptr));
}

bool verifyRsaSha1(const Ascii& signedText, const ByteArray& signature, const char* publicKeyPem) {
    auto key = readPublicKey(publicKeyPem);
    std::unique_ptr<EVP_MD_CTX, ContextDeleter> context(EVP_MD_CTX_new());
    if (!key || !context || signature.length() == 0) return false;
    if (EVP_VerifyInit_ex(context.get(), EVP_sha1(), nullptr) != 1) return false;
    if (EVP_VerifyUpdate(context.get(), signedText.text(), signedText.length()) != 1) return false;
    return EVP_VerifyFinal(context.get(), signature.bytes(), static_cast<unsigned int>(signature.length()),
                           key.get()) == 1;
}

// Moves the detached signature into a document of its own for the time of the canonicalisation.
class SignatureDocument {
public:
    explicit SignatureDocument(const SharedXmlNode& signature)
        : m_signature(signature), m_home(signature.get()->doc) {
        OwnedXmlNode owned(signature.get());
        m_document.setRootElement(owned);
    }
    // Back to its own document before this one is freed: no node may be left pointing at it.
    ~SignatureDocument() {
        m_signature.unlink();
        xmlSetTreeDoc(m_signature.get(), m_home);
    }
    SignatureDocument(const SignatureDocument&) = delete;
    SignatureDocument& operator=(const SignatureDocument&) = delete;
    const XmlDocument& document() const { return m_document; }

private:
    XmlDocument m_document;
    SharedXmlNode m_signature;
    xmlDocPtr m_home;
};

}  // namespace

bool XmlDocument::verifySignature() {
    return XmlSignature::verify(*this, XmlSignature::builtInPublicKey());
}

bool XmlSignature::verify(XmlDocument& document, const char* publicKeyPem) {
    try {
        SharedXmlNode root = document.rootElement();
        SharedXmlNode signature = root.findChild("Signature");
        if (signature.isNull()) return false;
        SharedXmlNode signatureValue = signature.findChild("SignatureValue");
        if (signatureValue.isNull()) return false;
        const char* signatureText = signatureValue.content();
        SharedXmlNode digestValue = signature.findChild("SignedInfo");
        if (digestValue.isNonNull()) digestValue = digestValue.findChild("Reference");
        if (digestValue.isNonNull()) digestValue = digestValue.findChild("DigestValue");
        if (digestValue.isNull()) return false;
        const char* digestText = digestValue.content();
        if (signatureText == nullptr || *signatureText == '\0' || digestText == nullptr ||
            *digestText == '\0') {
            return false;
        }
        const ByteArray signatureBytes =
            ByteArray::fromBase64(signatureText, static_cast<int>(std::strlen(signatureText)));
        const Ascii expectedDigest(digestText);

        signature.unlink();
        signatureValue.unlink();
        bool valid = false;
        try {
            if (XmlSignature::digestText(document) == expectedDigest) {
                valid = verifyRsaSha1(signedText(signature), signatureBytes, publicKeyPem);
            }
        } catch (...) {
            valid = false;
        }
        signature.appendChild(signatureValue);
        root.appendChild(signature);
        return valid;
    } catch (...) {
        return false;
    }
}

Ascii XmlSignature::digestText(const XmlDocument& document) {
    return sha1(xmlCanonicalize(document)).toBase64();
}

Ascii XmlSignature::signedText(const SharedXmlNode& signature) {
    SignatureDocument holder(signature);
    return xmlCanonicalize(holder.document());
}

ByteArray XmlSignature::sha1(const Ascii& text) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(text.text(), text.length(), digest, &length, EVP_sha1(), nullptr) != 1) {
        XmlException::raise(__FILE__, __LINE__, "EVP_Digest");
    }
    return ByteArray(digest, static_cast<int>(length));
}
