#include "vel/libxml2/XmlSignature.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <memory>

#include "vel/libxml2/XmlCanonical.h"
#include "vel/libxml2/XmlDocument.h"
#include "vel/libxml2/XmlFailure.h"

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

bool verifyRsaSha1(const std::string& signedText, const std::string& signature, const char* publicKeyPem) {
    auto key = readPublicKey(publicKeyPem);
    std::unique_ptr<EVP_MD_CTX, ContextDeleter> context(EVP_MD_CTX_new());
    if (!key || !context || signature.empty()) return false;
    if (EVP_VerifyInit_ex(context.get(), EVP_sha1(), nullptr) != 1) return false;
    if (EVP_VerifyUpdate(context.get(), signedText.data(), signedText.size()) != 1) return false;
    return EVP_VerifyFinal(context.get(), reinterpret_cast<const unsigned char*>(signature.data()),
                           static_cast<unsigned int>(signature.size()), key.get()) == 1;
}

// Moves the detached signature into a document of its own for the time of the canonicalisation.
class SignatureDocument {
public:
    explicit SignatureDocument(const SharedXmlNode& signature) : m_signature(signature) {
        OwnedXmlNode owned(signature.get());
        m_document.setRootElement(owned);
    }
    ~SignatureDocument() { m_signature.unlink(); }
    SignatureDocument(const SignatureDocument&) = delete;
    SignatureDocument& operator=(const SignatureDocument&) = delete;
    const XmlDocument& document() const { return m_document; }

private:
    XmlDocument m_document;
    SharedXmlNode m_signature;
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
        const std::string signatureBytes = fromBase64(signatureText);
        const std::string expectedDigest = digestText;

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

std::string XmlSignature::digestText(const XmlDocument& document) {
    return toBase64(sha1(xmlCanonicalize(document)));
}

std::string XmlSignature::signedText(const SharedXmlNode& signature) {
    SignatureDocument holder(signature);
    return xmlCanonicalize(holder.document());
}

std::string XmlSignature::sha1(const std::string& data) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(data.data(), data.size(), digest, &length, EVP_sha1(), nullptr) != 1)
        XML_RAISE("EVP_Digest");
    return std::string(reinterpret_cast<const char*>(digest), length);
}

std::string XmlSignature::toBase64(const std::string& bytes) {
    std::string text(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    int length =
        EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()),
                        reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
    text.resize(length > 0 ? length : 0);
    return text;
}

std::string XmlSignature::fromBase64(const std::string& text) {
    std::string compact;
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') compact += c;
    }
    if (compact.empty() || compact.size() % 4 != 0) return std::string();
    std::string bytes(compact.size() / 4 * 3, '\0');
    int length = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(bytes.data()),
                                 reinterpret_cast<const unsigned char*>(compact.data()),
                                 static_cast<int>(compact.size()));
    if (length < 0) return std::string();
    size_t padding = compact.size() - compact.find_last_not_of('=') - 1;
    bytes.resize(length - padding);
    return bytes;
}
