#include "vel/xml/Xml_EncryptedContent.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <cstring>
#include <ctime>
#include <memory>

#include "vel/libxml2/XmlFailure.h"
#include "vel/libxml2/XmlSignature.h"
#include "vel/xml/XmlSchema.h"

namespace {

// The credential key holder's string; its 16 bytes are the AES-128 key as they stand.
const char KEY[] = "Rb7wTq2MxJ9pLk4V";
static_assert(sizeof KEY - 1 == 16);

const int BLOCK = EncryptedContentConstants::BLOCK_SIZE;

struct CipherDeleter {
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};

std::string aes128Cbc(bool encrypt, const unsigned char* iv, const std::string& input) {
    std::unique_ptr<EVP_CIPHER_CTX, CipherDeleter> context(EVP_CIPHER_CTX_new());
    if (!context) XML_RAISE("EVP_CIPHER_CTX_new");
    if (EVP_CipherInit_ex(context.get(), EVP_aes_128_cbc(), nullptr,
                          reinterpret_cast<const unsigned char*>(KEY), iv, encrypt ? 1 : 0) != 1) {
        XML_RAISE("EVP_CipherInit_ex");
    }
    EVP_CIPHER_CTX_set_padding(context.get(), 0);
    std::string output(input.size() + BLOCK, '\0');
    int length = 0;
    int finalLength = 0;
    auto* out = reinterpret_cast<unsigned char*>(output.data());
    if (EVP_CipherUpdate(context.get(), out, &length, reinterpret_cast<const unsigned char*>(input.data()),
                         static_cast<int>(input.size())) != 1 ||
        EVP_CipherFinal_ex(context.get(), out + length, &finalLength) != 1) {
        XML_RAISE(encrypt ? "EVP_EncryptUpdate" : "EVP_DecryptUpdate");
    }
    output.resize(length + finalLength);
    return output;
}

void seedFromLocalTime() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const int fields[9] = {local.tm_sec,  local.tm_min,  local.tm_hour, local.tm_mday, local.tm_mon,
                           local.tm_year, local.tm_wday, local.tm_yday, local.tm_isdst};
    RAND_seed(fields, sizeof fields);
}

void randomBytes(unsigned char* out, int count) {
    if (count > 0 && RAND_bytes(out, count) != 1) XML_RAISE("RAND_bytes");
}

}  // namespace

std::string Xml_EncryptedContent::Encrypt(const std::string& bytes) {
    seedFromLocalTime();
    unsigned char iv[BLOCK];
    randomBytes(iv, BLOCK);

    const int padding = BLOCK - static_cast<int>(bytes.size() % BLOCK);
    std::string plain = bytes;
    plain.resize(bytes.size() + padding);
    randomBytes(reinterpret_cast<unsigned char*>(plain.data()) + bytes.size(), padding - 1);
    plain.back() = static_cast<char>(padding);

    std::string cipherText(reinterpret_cast<const char*>(iv), BLOCK);
    cipherText += aes128Cbc(true, iv, plain);
    return cipherText;
}

std::string Xml_EncryptedContent::Decrypt(const std::string& cipherText) {
    // Anything but an IV and whole blocks, at least one of them, cannot be ours; refusing it here keeps
    // the padding count inside the decrypted bytes.
    if (cipherText.size() < static_cast<size_t>(2 * BLOCK) || cipherText.size() % BLOCK != 0) {
        vel::xmlError("Invalid padding length");
    }
    const auto* iv = reinterpret_cast<const unsigned char*>(cipherText.data());
    std::string plain = aes128Cbc(false, iv, cipherText.substr(BLOCK));
    const int padding = static_cast<unsigned char>(plain.back());
    if (padding < 1 || padding > BLOCK) vel::xmlError("Invalid padding length");
    plain.resize(plain.size() - padding);
    return plain;
}

namespace vel {

void xmlEncryptContent(XmlParentBase& parent, const char* name, const XmlContentValue& value) {
    using C = EncryptedContentConstants;
    SharedXmlNode element = parent.addChild(name);
    element.setAttribute(C::ENCRYPT_CONTENT, "true");
    if (value.persistent) element.setAttribute(C::PERSISTENT_HANDLE, "true");
    SharedXmlNode data = element.addChild(C::ENCRYPTED_DATA);
    data.setAttribute("xmlns", C::XML_ENCRYPTION_NAMESPACE);
    data.setAttribute("Type", C::CONTENT_TYPE);
    data.addChild(C::CIPHER_DATA)
        .addTextChild(C::CIPHER_VALUE,
                      XmlSignature::toBase64(Xml_EncryptedContent::Encrypt(value.bytes)).c_str());
}

XmlContentValue xmlDecryptContent(const SharedXmlNode& element) {
    using C = EncryptedContentConstants;
    XmlString encrypt = element.attribute(C::ENCRYPT_CONTENT);
    if (encrypt.isNull()) xmlError("Attribute \"%s\" is required.", C::ENCRYPT_CONTENT);
    if (std::strcmp(encrypt.text(), "true") != 0) {
        xmlError("\"%s\" attribute should have fixed value \"true\".", C::ENCRYPT_CONTENT);
    }
    XmlContentValue value;
    XmlString persistent = element.attribute(C::PERSISTENT_HANDLE);
    value.persistent = !persistent.isNull() && std::strcmp(persistent.text(), "true") == 0;

    SharedXmlNode data = element.findChild(C::ENCRYPTED_DATA);
    if (data.isNonNull()) {
        XmlString type = data.attribute("Type");
        if (type.isNull()) xmlError("Attribute \"type\" is required.");
        if (std::strcmp(type.text(), C::CONTENT_TYPE) != 0) {
            xmlError("\"Type\" attribute should have fixed value \"%s\".", C::CONTENT_TYPE);
        }
        SharedXmlNode cipherData = data.findChild(C::CIPHER_DATA);
        if (cipherData.isNull()) xmlError("Attribute \"%s\" is required.", C::CIPHER_DATA);
        SharedXmlNode cipherValue = cipherData.findChild(C::CIPHER_VALUE);
        if (cipherValue.isNull()) xmlError("Attribute \"%s\" is required.", C::CIPHER_VALUE);
        const char* text = cipherValue.content();
        if (text == nullptr || *text == '\0') xmlError("Tag \"%s\" is empty.", C::CIPHER_VALUE);
        value.bytes = Xml_EncryptedContent::Decrypt(XmlSignature::fromBase64(text));
        return value;
    }
    const char* text = element.content();
    if (text == nullptr || *text == '\0') xmlError("Tag \"%s\" is empty.", element.name());
    value.bytes = value.persistent ? xmlHexDecode(text) : std::string(text);
    return value;
}

}  // namespace vel
