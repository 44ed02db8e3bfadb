#include "tests/keys/ConfigurationSigner.h"

#include <libxml/tree.h>
#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "vel/libxml2/XmlDocument.h"
#include "vel/libxml2/XmlSignature.h"

namespace {

const char* const DSIG_NAMESPACE = "http://www.w3.org/2000/09/xmldsig#";

struct KeyDeleter {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct BioDeleter {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
struct ContextDeleter {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using Key = std::unique_ptr<EVP_PKEY, KeyDeleter>;

Key readPrivateKey(const std::string& pem) {
    std::unique_ptr<BIO, BioDeleter> bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
    Key key(bio ? PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr) : nullptr);
    if (!key) throw std::runtime_error("not a PEM private key");
    return key;
}

ByteArray rsaSha1Sign(const Ascii& signedText, EVP_PKEY* key) {
    const std::string text(signedText.text(), signedText.length());
    std::unique_ptr<EVP_MD_CTX, ContextDeleter> context(EVP_MD_CTX_new());
    size_t length = 0;
    if (!context || EVP_DigestSignInit(context.get(), nullptr, EVP_sha1(), nullptr, key) != 1 ||
        EVP_DigestSign(context.get(), nullptr, &length, reinterpret_cast<const unsigned char*>(text.data()),
                       text.size()) != 1) {
        throw std::runtime_error("cannot sign with this key");
    }
    std::string signature(length, '\0');
    if (EVP_DigestSign(context.get(), reinterpret_cast<unsigned char*>(signature.data()), &length,
                       reinterpret_cast<const unsigned char*>(text.data()), text.size()) != 1) {
        throw std::runtime_error("signing failed");
    }
    return ByteArray(signature.data(), static_cast<int>(length));
}

// Unformatted, so that reading the text back yields exactly the tree that was signed.
std::string dumpExactly(const XmlDocument& document) {
    xmlChar* text = nullptr;
    int size = 0;
    xmlDocDumpMemoryEnc(document.get(), &text, &size, "UTF-8");
    std::string result(text != nullptr ? reinterpret_cast<const char*>(text) : "", size > 0 ? size : 0);
    xmlFree(text);
    return result;
}

void setText(const SharedXmlNode& node, const Ascii& text) {
    xmlNodeSetContent(node.get(), reinterpret_cast<const xmlChar*>(text.text()));
}

// Puts a node back where it was taken from.
void reinsert(const SharedXmlNode& parent, xmlNodePtr next, const SharedXmlNode& node) {
    if (next != nullptr) {
        xmlAddPrevSibling(next, node.get());
    } else {
        xmlAddChild(parent.get(), node.get());
    }
}

void addSkeleton(const SharedXmlNode& root) {
    SharedXmlNode signature = root.addChild("Signature");
    signature.setAttribute("xmlns", DSIG_NAMESPACE);
    SharedXmlNode signedInfo = signature.addChild("SignedInfo");
    signedInfo.addChild("CanonicalizationMethod")
        .setAttribute("Algorithm", "http://www.w3.org/TR/2001/REC-xml-c14n-20010315");
    signedInfo.addChild("SignatureMethod")
        .setAttribute("Algorithm", "http://www.w3.org/2000/09/xmldsig#rsa-sha1");
    SharedXmlNode reference = signedInfo.addChild("Reference");
    reference.setAttribute("URI", "");
    reference.addChild("Transforms")
        .addChild("Transform")
        .setAttribute("Algorithm", "http://www.w3.org/2000/09/xmldsig#enveloped-signature");
    reference.addChild("DigestMethod").setAttribute("Algorithm", "http://www.w3.org/2000/09/xmldsig#sha1");
    reference.addTextChild("DigestValue", "-");
    signature.addTextChild("SignatureValue", "-");
}

}  // namespace

std::string ConfigurationSigner::sign(const std::string& xmlText, const std::string& privateKeyPem) {
    Key key = readPrivateKey(privateKeyPem);

    XmlDocument draft;
    draft.parse(xmlText.data(), static_cast<int>(xmlText.size()));
    SharedXmlNode old = draft.rootElement().findChild("Signature");
    if (old.isNonNull()) {
        old.unlink();
        xmlFreeNode(old.get());
    }
    addSkeleton(draft.rootElement());
    const std::string skeleton = dumpExactly(draft);

    XmlDocument document;
    document.parse(skeleton.data(), static_cast<int>(skeleton.size()));
    SharedXmlNode root = document.rootElement();
    SharedXmlNode signature = root.findChild("Signature");
    SharedXmlNode signatureValue = signature.findChild("SignatureValue");
    xmlNodePtr afterSignature = signature.get()->next;
    xmlNodePtr afterValue = signatureValue.get()->next;
    signature.unlink();
    signatureValue.unlink();

    setText(signature.findChild("SignedInfo").findChild("Reference").findChild("DigestValue"),
            XmlSignature::digestText(document));
    setText(signatureValue, rsaSha1Sign(XmlSignature::signedText(signature), key.get()).toBase64());

    reinsert(signature, afterValue, signatureValue);
    reinsert(root, afterSignature, signature);
    return dumpExactly(document);
}

std::string ConfigurationSigner::publicKeyOf(const std::string& privateKeyPem) {
    Key key = readPrivateKey(privateKeyPem);
    std::unique_ptr<BIO, BioDeleter> bio(BIO_new(BIO_s_mem()));
    if (!bio || PEM_write_bio_PUBKEY(bio.get(), key.get()) != 1) throw std::runtime_error("no public key");
    char* data = nullptr;
    long length = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, length);
}

std::string ConfigurationSigner::readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
