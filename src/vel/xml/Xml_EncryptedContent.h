#pragma once

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"
#include "vel/string/ByteArray.h"

class EncryptedContentConstants {
public:
    static constexpr const char* XML_ENCRYPTION_NAMESPACE = "http://www.w3.org/2001/04/xmlenc#";
    static constexpr const char* CONTENT_TYPE = "http://www.w3.org/2001/04/xmlenc#Content";
    static constexpr const char* ENCRYPT_CONTENT = "encryptContent";
    static constexpr const char* PERSISTENT_HANDLE = "persistentHandle";
    static constexpr const char* ENCRYPTED_DATA = "EncryptedData";
    static constexpr const char* CIPHER_DATA = "CipherData";
    static constexpr const char* CIPHER_VALUE = "CipherValue";
    static constexpr int BLOCK_SIZE = 16;
};

// The value of an element whose content may be enciphered; the persistent flag travels with it.
struct XmlContentValue {
    ByteArray bytes;
    bool persistent = false;
};

// AES-128-CBC under the credential key holder's string: a random IV, then the value and 1 to 16 bytes of
// padding whose last byte is their count.
class Xml_EncryptedContent {
public:
    static ByteArray Encrypt(const ByteArray& bytes);
    static ByteArray Decrypt(const ByteArray& cipherText);
};

namespace vel {

// Appends the element name to the parent with the value in enciphered form; returns the element.
SharedXmlNode xmlEncryptContent(XmlParentBase& parent, const char* name, const XmlContentValue& value);
// The value of an element, enciphered or plain.
XmlContentValue xmlDecryptContent(const SharedXmlNode& element);
// The same for a text value: unless it is a stored text (the persistent flag), the five XML entity
// sequences in it are replaced by their characters.
XmlContentValue xmlDecryptTextContent(const SharedXmlNode& element);

}  // namespace vel
