#include "vel/xml/Xml_EncryptedContent.h"

#include <cstring>
#include <vector>

#include "vel/credmgr/CredentialKeyHolder.h"
#include "vel/credmgr/CryptoPrimitives.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/exception/XmlException.h"
#include "vel/xml/XmlSchema.h"

namespace {

const int BLOCK = EncryptedContentConstants::BLOCK_SIZE;

// Whole blocks in, the same number of bytes out, under the key holder's string as it stands.
std::vector<unsigned char> aes128Cbc(bool encrypt, const unsigned char* iv, const unsigned char* input,
                                     int length) {
    const Ascii key = CredentialKeyHolder::instance().keyString();
    std::vector<unsigned char> output(length);
    switch (CryptoPrimitives::aes128Cbc(encrypt, reinterpret_cast<const unsigned char*>(key.text()), iv,
                                        input, length, output.data())) {
        case CryptoPrimitives::CipherResult::OK:
            return output;
        case CryptoPrimitives::CipherResult::KEY_SETUP_FAILED:
            XmlException::raise(__FILE__, __LINE__, "EVP_CipherInit_ex");
        case CryptoPrimitives::CipherResult::CIPHER_FAILED:
            break;
    }
    XmlException::raise(__FILE__, __LINE__, encrypt ? "EVP_EncryptUpdate" : "EVP_DecryptUpdate");
}

void randomBytes(unsigned char* out, int count) {
    if (!CryptoPrimitives::randomBytes(out, count)) XmlException::raise(__FILE__, __LINE__, "RAND_bytes");
}

}  // namespace

ByteArray Xml_EncryptedContent::Encrypt(const ByteArray& bytes) {
    CryptoPrimitives::seedFromLocalTime();
    unsigned char iv[BLOCK];
    randomBytes(iv, BLOCK);

    const int length = bytes.length();
    const int padding = BLOCK - length % BLOCK;
    std::vector<unsigned char> plain(length + padding);
    if (length > 0) std::memcpy(plain.data(), bytes.bytes(), length);
    randomBytes(plain.data() + length, padding - 1);
    plain.back() = static_cast<unsigned char>(padding);

    std::vector<unsigned char> cipher = aes128Cbc(true, iv, plain.data(), static_cast<int>(plain.size()));
    return ByteArray(iv, BLOCK) + ByteArray(cipher.data(), static_cast<int>(cipher.size()));
}

ByteArray Xml_EncryptedContent::Decrypt(const ByteArray& cipherText) {
    const int length = cipherText.length();
    // Anything but an IV and whole blocks, at least one of them, cannot be ours; refusing it here keeps
    // the padding count inside the decrypted bytes.
    if (length < 2 * BLOCK || length % BLOCK != 0) vel::xmlErrorText(XmlMessages::INVALID_PADDING_LENGTH);
    const unsigned char* iv = cipherText.bytes();
    std::vector<unsigned char> plain = aes128Cbc(false, iv, iv + BLOCK, length - BLOCK);
    // A count of 0 removes nothing; the length check above keeps any count up to a block inside.
    const int padding = plain.back();
    if (padding > BLOCK) vel::xmlErrorText(XmlMessages::INVALID_PADDING_LENGTH);
    return ByteArray(plain.data(), static_cast<int>(plain.size()) - padding);
}

namespace vel {

SharedXmlNode xmlEncryptContent(XmlParentBase& parent, const char* name, const XmlContentValue& value) {
    using C = EncryptedContentConstants;
    SharedXmlNode element = parent.addChild(name);
    element.setAttribute(C::ENCRYPT_CONTENT, "true");
    if (value.persistent) element.setAttribute(C::PERSISTENT_HANDLE, "true");
    SharedXmlNode data = element.addChild(C::ENCRYPTED_DATA);
    data.setAttribute("xmlns", C::XML_ENCRYPTION_NAMESPACE);
    data.setAttribute("Type", C::CONTENT_TYPE);
    data.addChild(C::CIPHER_DATA)
        .addTextChild(C::CIPHER_VALUE, Xml_EncryptedContent::Encrypt(value.bytes).toBase64().text());
    return element;
}

XmlContentValue xmlDecryptContent(const SharedXmlNode& element) {
    using C = EncryptedContentConstants;
    XmlString encrypt = element.attribute(C::ENCRYPT_CONTENT);
    if (encrypt.isNull()) xmlError(XmlMessages::ATTRIBUTE_REQUIRED, C::ENCRYPT_CONTENT);
    if (!TextToBool(encrypt.text())) {
        xmlError(XmlMessages::ATTRIBUTE_SHOULD_BE_TRUE, C::ENCRYPT_CONTENT);
    }
    XmlContentValue value;
    XmlString persistent = element.attribute(C::PERSISTENT_HANDLE);
    value.persistent = !persistent.isNull() && TextToBool(persistent.text());

    SharedXmlNode data = element.findChild(C::ENCRYPTED_DATA);
    if (data.isNonNull()) {
        XmlString type = data.attribute("Type");
        if (type.isNull()) xmlErrorText(XmlMessages::TYPE_ATTRIBUTE_REQUIRED);
        if (std::strcmp(type.text(), C::CONTENT_TYPE) != 0) {
            xmlError(XmlMessages::TYPE_ATTRIBUTE_VALUE, C::CONTENT_TYPE);
        }
        SharedXmlNode cipherData = data.findChild(C::CIPHER_DATA);
        if (cipherData.isNull()) xmlError(XmlMessages::ATTRIBUTE_REQUIRED, C::CIPHER_DATA);
        SharedXmlNode cipherValue = cipherData.findChild(C::CIPHER_VALUE);
        if (cipherValue.isNull()) xmlError(XmlMessages::ATTRIBUTE_REQUIRED, C::CIPHER_VALUE);
        const char* text = cipherValue.content();
        if (text == nullptr || *text == '\0') xmlError(XmlMessages::TAG_IS_EMPTY, C::CIPHER_VALUE);
        value.bytes =
            Xml_EncryptedContent::Decrypt(ByteArray::fromBase64(text, static_cast<int>(std::strlen(text))));
        return value;
    }
    const char* text = element.content();
    if (text == nullptr || *text == '\0') xmlError(XmlMessages::TAG_IS_EMPTY, element.name());
    value.bytes = value.persistent ? xmlHexDecode(Ascii(text)) : ByteArray(text);
    return value;
}

XmlContentValue xmlDecryptTextContent(const SharedXmlNode& element) {
    XmlContentValue value = xmlDecryptContent(element);
    if (!value.persistent) value.bytes = xmlUnescape(Ascii::fromByteArray(value.bytes)).toByteArray();
    return value;
}

}  // namespace vel
