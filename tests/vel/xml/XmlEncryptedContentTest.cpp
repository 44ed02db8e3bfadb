#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <string>

#include "tests/vel/xml/XmlTestSupport.h"
#include "vel/credmgr/CredentialKeyHolder.h"
#include "vel/exception/ConversionException.h"
#include "vel/libxml2/XmlParentNode.h"
#include "vel/xml/Xml_EncryptedContent.h"

namespace {

using namespace vel;

const char* const CONTENT_TYPE = "http://www.w3.org/2001/04/xmlenc#Content";

// Enciphers exactly the given plain blocks, so that a test can hand the reader padding of its choice.
std::string encipherRaw(const std::string& iv, const std::string& plain) {
    EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
    EVP_EncryptInit_ex(context, EVP_aes_128_cbc(), nullptr,
                       reinterpret_cast<const unsigned char*>("Rb7wTq2MxJ9pLk4V"),
                       reinterpret_cast<const unsigned char*>(iv.data()));
    EVP_CIPHER_CTX_set_padding(context, 0);
    std::string out(plain.size(), '\0');
    int length = 0;
    EVP_EncryptUpdate(context, reinterpret_cast<unsigned char*>(out.data()), &length,
                      reinterpret_cast<const unsigned char*>(plain.data()), static_cast<int>(plain.size()));
    EVP_CIPHER_CTX_free(context);
    return iv + out;
}

TEST(XmlEncryptedContentTest, ValuesRoundTripThroughAWrittenDocument) {
    const std::string values[] = {"",
                                  "k",
                                  std::string(15, 'a'),
                                  std::string(16, 'b'),
                                  std::string(17, 'c'),
                                  std::string("\x00\x01\xff<&>\"", 7),
                                  std::string(100, '\x80')};
    for (const std::string& bytes : values) {
        for (bool persistent : {false, true}) {
            XmlDocument written;
            XmlParentNode parent(written.addChild("key"));
            xmlEncryptContent(parent, "ascii", XmlContentValue{bytesOf(bytes), persistent});
            const std::string text = str(written.dump());

            XmlDocument read;
            SharedXmlNode element = parseRoot(read, text).findChild("ascii");
            XmlContentValue value = xmlDecryptContent(element);
            EXPECT_EQ(str(value.bytes), bytes);
            EXPECT_EQ(value.persistent, persistent);

            // A whole block of padding when the value fills its blocks: 16 bytes become 48, none 32.
            const size_t expected = 16 + (bytes.size() / 16 + 1) * 16;
            const char* cipherValue =
                element.findChild("EncryptedData").findChild("CipherData").childContent("CipherValue");
            ASSERT_NE(cipherValue, nullptr);
            EXPECT_EQ(ByteArray::fromBase64(Ascii(cipherValue)).length(), static_cast<int>(expected));
        }
    }
}

TEST(XmlEncryptedContentTest, TheKeyIsTheCredentialKeyHoldersString) {
    CredentialKeyHolder::destroy();
    const std::string cipher = str(Xml_EncryptedContent::Encrypt(bytesOf("value")));
    EXPECT_TRUE(CredentialKeyHolder::exists()) << "made by the first use";

    // Deciphered apart from the code under test with the holder's string as the AES key.
    const Ascii key = CredentialKeyHolder::instance().keyString();
    ASSERT_EQ(key.length(), 16);
    EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
    EVP_DecryptInit_ex(context, EVP_aes_128_cbc(), nullptr,
                       reinterpret_cast<const unsigned char*>(key.text()),
                       reinterpret_cast<const unsigned char*>(cipher.data()));
    EVP_CIPHER_CTX_set_padding(context, 0);
    std::string plain(cipher.size() - 16, '\0');
    int length = 0;
    EVP_DecryptUpdate(context, reinterpret_cast<unsigned char*>(plain.data()), &length,
                      reinterpret_cast<const unsigned char*>(cipher.data()) + 16,
                      static_cast<int>(plain.size()));
    EVP_CIPHER_CTX_free(context);
    EXPECT_EQ(plain.substr(0, 5), "value");
    EXPECT_EQ(plain.back(), 11) << "eleven bytes of padding";
}

TEST(XmlEncryptedContentTest, WrittenElementLayout) {
    XmlDocument document;
    XmlParentNode parent(document.addChild("p"));
    xmlEncryptContent(parent, "hex", XmlContentValue{ByteArray("v"), true});
    xmlEncryptContent(parent, "passwordFromProfile", XmlContentValue{ByteArray("v"), false});
    SharedXmlNode root = document.rootElement();

    SharedXmlNode persistent = root.findChild("hex");
    EXPECT_STREQ(persistent.attribute("encryptContent").text(), "true");
    EXPECT_STREQ(persistent.attribute("persistentHandle").text(), "true");
    EXPECT_TRUE(root.findChild("passwordFromProfile").attribute("persistentHandle").isNull());

    SharedXmlNode data = persistent.findChild("EncryptedData");
    EXPECT_STREQ(data.attribute("xmlns").text(), "http://www.w3.org/2001/04/xmlenc#");
    EXPECT_STREQ(data.attribute("Type").text(), CONTENT_TYPE);
    EXPECT_NE(data.findChild("CipherData").childContent("CipherValue"), nullptr);
}

TEST(XmlEncryptedContentTest, EveryEncryptionDrawsAFreshIv) {
    const std::string first = str(Xml_EncryptedContent::Encrypt(ByteArray("same value")));
    const std::string second = str(Xml_EncryptedContent::Encrypt(ByteArray("same value")));
    EXPECT_NE(first.substr(0, 16), second.substr(0, 16));
    EXPECT_EQ(str(Xml_EncryptedContent::Decrypt(bytesOf(first))), "same value");
    EXPECT_EQ(str(Xml_EncryptedContent::Decrypt(bytesOf(second))), "same value");
}

TEST(XmlEncryptedContentTest, MalformedCipherTextIsRefused) {
    const std::string iv(16, '\x11');
    std::string block(16, 'x');
    const struct {
        const char* what;
        std::string cipherText;
    } cases[] = {
        {"empty", ""},
        {"IV only", iv},
        {"short block", iv + std::string(15, 'a')},
        {"block and a byte", iv + std::string(17, 'a')},
        {"one and a half blocks", iv + std::string(24, 'a')},
        {"padding count seventeen", encipherRaw(iv, block.replace(15, 1, 1, '\x11'))},
        {"padding count 255", encipherRaw(iv, std::string(31, 'y') + '\xff')},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(messageOf([&] { Xml_EncryptedContent::Decrypt(bytesOf(c.cipherText)); }),
                  "Invalid padding length")
            << c.what;
    }
    // The same framing with a sound count is read: the key and the layout are the ones files carry.
    EXPECT_EQ(str(Xml_EncryptedContent::Decrypt(
                  bytesOf(encipherRaw(iv, std::string("secret") + std::string(10, '\x0a'))))),
              "secret");
    EXPECT_EQ(str(Xml_EncryptedContent::Decrypt(bytesOf(encipherRaw(iv, std::string(16, '\x10'))))), "");
    // A padding count of 0 takes nothing off: every decrypted byte is the value.
    EXPECT_EQ(str(Xml_EncryptedContent::Decrypt(bytesOf(encipherRaw(iv, std::string(15, 'z') + '\0')))),
              std::string(15, 'z') + '\0');
}

TEST(XmlEncryptedContentTest, ReadingPlainAndMalformedElements) {
    const std::string cipherValue = str(Xml_EncryptedContent::Encrypt(ByteArray("abc")).toBase64());
    auto encrypted = [&](const std::string& dataAttributes, const std::string& inside) {
        return "<e encryptContent=\"true\"><EncryptedData " + dataAttributes + ">" + inside +
               "</EncryptedData></e>";
    };
    const std::string typeAttribute = std::string("Type=\"") + CONTENT_TYPE + "\"";
    const struct {
        std::string element;
        std::string expected;
    } cases[] = {
        {"<e encryptContent=\"true\">plain &amp; text</e>", "plain & text"},
        {"<e encryptContent=\"true\" persistentHandle=\"true\">616263</e>", "abc"},
        {"<e encryptContent=\"true\" persistentHandle=\"false\">616263</e>", "616263"},
        {encrypted(typeAttribute, "<CipherData><CipherValue>" + cipherValue + "</CipherValue></CipherData>"),
         "abc"},
        {"<e>plain</e>", "Attribute \"encryptContent\" is required."},
        {"<e encryptContent=\"false\">plain</e>",
         "\"encryptContent\" attribute should have fixed value \"true\"."},
        {"<e encryptContent=\"true\"></e>", "Tag \"e\" is empty."},
        {"<e encryptContent=\"true\" persistentHandle=\"true\">61626</e>", "Invalid HEX representation."},
        {"<e encryptContent=\"true\" persistentHandle=\"true\">zz</e>", "Invalid HEX representation."},
        {encrypted("", "<CipherData><CipherValue>" + cipherValue + "</CipherValue></CipherData>"),
         "Attribute \"type\" is required."},
        {encrypted("Type=\"http://www.w3.org/2001/04/xmlenc#Element\"", "<CipherData/>"),
         std::string("\"Type\" attribute should have fixed value \"") + CONTENT_TYPE + "\"."},
        {encrypted(typeAttribute, "<CipherValue>" + cipherValue + "</CipherValue>"),
         "Attribute \"CipherData\" is required."},
        {encrypted(typeAttribute, "<CipherData/>"), "Attribute \"CipherValue\" is required."},
        {encrypted(typeAttribute, "<CipherData><CipherValue/></CipherData>"),
         "Tag \"CipherValue\" is empty."},
        {encrypted(typeAttribute, "<CipherData><CipherValue>AAAA</CipherValue></CipherData>"),
         "Invalid padding length"},
    };
    for (const auto& c : cases) {
        XmlDocument document;
        SharedXmlNode element = parseRoot(document, c.element);
        std::string result = messageOf([&] { xmlDecryptContent(element); });
        if (result == "no exception") result = str(xmlDecryptContent(element).bytes);
        EXPECT_EQ(result, c.expected) << c.element;
    }
}

TEST(XmlEncryptedContentTest, FlagsOtherThanTrueOrFalseAreConversionErrors) {
    for (const char* element :
         {"<e encryptContent=\"yes\">x</e>", "<e encryptContent=\"true\" persistentHandle=\"1\">78</e>"}) {
        XmlDocument document;
        SharedXmlNode root = parseRoot(document, element);
        EXPECT_THROW(xmlDecryptContent(root), ConversionException) << element;
    }
}

}  // namespace
