#include <gtest/gtest.h>
#include <libxml/tree.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "ConfigurationSigner.h"
#include "vel/libxml2/XmlDocument.h"
#include "vel/libxml2/XmlSignature.h"

namespace {

const char* const CONFIGURATION =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<configuration major_version=\"5\" minor_version=\"1\" development_version=\"1\">\n"
    "  <networkPolicy>\n"
    "    <allowedAssociationModes><wpa2EnterpriseAes/></allowedAssociationModes>\n"
    "    <allowedEapMethods><eapTls/></allowedEapMethods>\n"
    "  </networkPolicy>\n"
    "  <userControlPolicy><allowVpn>false</allowVpn></userControlPolicy>\n"
    "</configuration>\n";

std::string testPrivateKey() {
    return ConfigurationSigner::readFile(TAMSEL_TEST_PRIVATE_KEY);
}

bool builtInKeyIsTestKey() {
    return std::string(XmlSignature::builtInPublicKey()) ==
           ConfigurationSigner::readFile(TAMSEL_TEST_PUBLIC_KEY);
}

bool verifies(const std::string& text) {
    XmlDocument document;
    document.parse(text.data(), static_cast<int>(text.size()));
    return document.verifySignature();
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

std::string between(const std::string& text, const std::string& open, const std::string& close) {
    size_t begin = text.find(open);
    size_t end = text.find(close, begin);
    return text.substr(begin + open.size(), end - begin - open.size());
}

class XmlSignatureTest : public testing::Test {
protected:
    void SetUp() override {
        if (!builtInKeyIsTestKey()) GTEST_SKIP() << "the build was given a key other than the test key";
        m_signed = ConfigurationSigner::sign(CONFIGURATION, testPrivateKey());
    }
    std::string m_signed;
};

TEST_F(XmlSignatureTest, SignedConfigurationVerifiesAndKeepsItsSignature) {
    XmlDocument document;
    document.parse(m_signed.data(), static_cast<int>(m_signed.size()));
    EXPECT_TRUE(document.verifySignature());
    // Checked again: the first check put the signature back where the second one looks for it.
    EXPECT_TRUE(document.verifySignature());
    SharedXmlNode signature = document.rootElement().findChild("Signature");
    ASSERT_TRUE(signature.isNonNull());
    EXPECT_EQ(xmlGetLastChild(document.rootElement().get()), signature.get());
    EXPECT_EQ(xmlGetLastChild(signature.get()), signature.findChild("SignatureValue").get());
}

TEST_F(XmlSignatureTest, EverySingleChangeBreaksTheSignature) {
    const std::string digest = between(m_signed, "<DigestValue>", "</DigestValue>");
    const std::string value = between(m_signed, "<SignatureValue>", "</SignatureValue>");
    std::string flippedValue = value;
    flippedValue[10] = flippedValue[10] == 'A' ? 'B' : 'A';
    std::string flippedDigest = digest;
    flippedDigest[3] = flippedDigest[3] == 'A' ? 'B' : 'A';

    const struct {
        const char* what;
        std::string text;
    } cases[] = {
        {"content character", replaced(m_signed, "false", "falsE")},
        {"attribute value", replaced(m_signed, "minor_version=\"1\"", "minor_version=\"0\"")},
        {"added attribute", replaced(m_signed, "<allowVpn>", "<allowVpn x=\"\">")},
        {"white space between elements", replaced(m_signed, "  <networkPolicy>", "   <networkPolicy>")},
        {"element renamed", replaced(m_signed, "eapTls", "eapTtls")},
        {"no Signature",
         replaced(replaced(m_signed, "<Signature ", "<Signatur "), "</Signature>", "</Signatur>")},
        {"no SignatureValue", replaced(m_signed, "<SignatureValue>" + value + "</SignatureValue>", "")},
        {"empty SignatureValue", replaced(m_signed, value, "")},
        {"changed SignatureValue", replaced(m_signed, value, flippedValue)},
        {"no DigestValue", replaced(m_signed, "<DigestValue>" + digest + "</DigestValue>", "")},
        {"empty DigestValue", replaced(m_signed, digest, "")},
        {"changed DigestValue", replaced(m_signed, digest, flippedDigest)},
        {"DigestValue with white space", replaced(m_signed, digest, " " + digest)},
        {"white space inside SignedInfo", replaced(m_signed, "<SignedInfo>", "<SignedInfo> ")},
        {"algorithm text inside SignedInfo", replaced(m_signed, "rsa-sha1", "rsa-sha2")},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(verifies(c.text)) << c.what;
    }
}

TEST_F(XmlSignatureTest, WhiteSpaceBetweenTheSignatureChildrenIsNotSigned) {
    EXPECT_TRUE(verifies(replaced(m_signed, "</SignedInfo>", "</SignedInfo>\n      \t")));
    EXPECT_TRUE(verifies(replaced(m_signed, "<SignatureValue>", "  <SignatureValue>")));
}

TEST_F(XmlSignatureTest, ASignatureOfAnotherKeyFails) {
    EVP_PKEY* other = EVP_RSA_gen(1024);
    ASSERT_NE(other, nullptr);
    BIO* bio = BIO_new(BIO_s_mem());
    PEM_write_bio_PrivateKey(bio, other, nullptr, nullptr, 0, nullptr, nullptr);
    char* data = nullptr;
    const std::string otherPem(data, BIO_get_mem_data(bio, &data));
    BIO_free(bio);
    EVP_PKEY_free(other);

    const std::string text = ConfigurationSigner::sign(CONFIGURATION, otherPem);
    EXPECT_FALSE(verifies(text));
    XmlDocument document;
    document.parse(text.data(), static_cast<int>(text.size()));
    EXPECT_TRUE(XmlSignature::verify(document, ConfigurationSigner::publicKeyOf(otherPem).c_str()));
    EXPECT_FALSE(
        XmlSignature::verify(document, "-----BEGIN PUBLIC KEY-----\nnot a key\n-----END PUBLIC KEY-----\n"));
}

TEST_F(XmlSignatureTest, UnsignedOrEmptyDocumentsFail) {
    EXPECT_FALSE(verifies(CONFIGURATION));
    XmlDocument empty;
    EXPECT_FALSE(empty.verifySignature());
}

TEST_F(XmlSignatureTest, SigningToolWritesAFileThatVerifies) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("tamsel-sign-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "in.xml") << CONFIGURATION;
    const std::string command = std::string(TAMSEL_SIGN_CONFIG_TOOL) + " " + TAMSEL_TEST_PRIVATE_KEY + " " +
                                (folder / "in.xml").string() + " " + (folder / "out.xml").string();
    EXPECT_EQ(std::system(command.c_str()), 0);
    const std::string text = ConfigurationSigner::readFile((folder / "out.xml").string());
    std::filesystem::remove_all(folder);
    EXPECT_TRUE(verifies(text));
    // Signing again replaces the signature rather than adding a second one.
    const std::string twice = ConfigurationSigner::sign(text, testPrivateKey());
    EXPECT_TRUE(verifies(twice));
    EXPECT_EQ(twice.find("</Signature>"), twice.rfind("</Signature>"));
}

// The signed text is made in a document of its own; the Signature element must come back out of it
// belonging to its first document again, as that second document is gone afterwards.
TEST(XmlSignedText, SignatureComesBackBelongingToItsOwnDocument) {
    const std::string text =
        "<r><a>1</a><Signature xml:id=\"s\"><SignedInfo><Reference><DigestValue>d</DigestValue>"
        "</Reference></SignedInfo></Signature></r>";
    XmlDocument document;
    document.parse(text.data(), static_cast<int>(text.size()));
    SharedXmlNode signature = document.rootElement().findChild("Signature");
    ASSERT_TRUE(signature.isNonNull());
    signature.unlink();
    const Ascii signedText = XmlSignature::signedText(signature);
    EXPECT_NE(std::string(signedText.text(), signedText.length()).find("<DigestValue>d</DigestValue>"),
              std::string::npos);
    EXPECT_EQ(signature.get()->doc, document.get());
    EXPECT_EQ(signature.findChild("SignedInfo").get()->doc, document.get());
    EXPECT_EQ(signature.get()->properties->doc, document.get());
    document.rootElement().appendChild(signature);
}

}  // namespace
