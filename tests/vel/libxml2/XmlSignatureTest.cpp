#include <gtest/gtest.h>
#include <libxml/tree.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "tests/keys/ConfigurationSigner.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempHome.h"
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

std::string testPublicKey() {
    return ConfigurationSigner::readFile(TAMSEL_TEST_PUBLIC_KEY);
}

bool verifiesWith(const std::string& text, const std::string& publicKey) {
    XmlDocument document;
    document.parse(text.data(), static_cast<int>(text.size()));
    return XmlSignature::verify(document, publicKey.c_str());
}

// Checked with the test key whatever key the build embeds.
bool verifies(const std::string& text) {
    return verifiesWith(text, testPublicKey());
}

// A PEM text as the build embeds it: without surrounding white space, one line feed at the end.
std::string normalisedPem(std::string pem) {
    while (!pem.empty() && std::isspace(static_cast<unsigned char>(pem.back()))) pem.pop_back();
    while (!pem.empty() && std::isspace(static_cast<unsigned char>(pem.front()))) pem.erase(0, 1);
    return pem + "\n";
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
    void SetUp() override { m_signed = ConfigurationSigner::sign(CONFIGURATION, testPrivateKey()); }
    std::string m_signed;
};

TEST_F(XmlSignatureTest, SignedConfigurationVerifiesAndKeepsItsSignature) {
    XmlDocument document;
    document.parse(m_signed.data(), static_cast<int>(m_signed.size()));
    const std::string key = testPublicKey();
    EXPECT_TRUE(XmlSignature::verify(document, key.c_str()));
    // Checked again: the first check put the signature back where the second one looks for it.
    EXPECT_TRUE(XmlSignature::verify(document, key.c_str()));
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
    EXPECT_FALSE(XmlSignature::verify(empty, testPublicKey().c_str()));
    EXPECT_FALSE(empty.verifySignature());
}

TEST_F(XmlSignatureTest, TheServiceChecksWithTheKeyTheBuildNamed) {
    const std::string named = normalisedPem(ConfigurationSigner::readFile(TAMSEL_CONFIG_KEY_FILE));
    EXPECT_EQ(std::string(XmlSignature::builtInPublicKey()), named);
    const bool testKey = named == normalisedPem(testPublicKey());
    EXPECT_EQ(XmlSignature::builtInKeyIsTestKey(), testKey);
    // A configuration signed with the test key passes the service's own check only in a build
    // that named the test key.
    XmlDocument document;
    document.parse(m_signed.data(), static_cast<int>(m_signed.size()));
    EXPECT_EQ(document.verifySignature(), testKey);
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

// Fixtures signed by a standard XML-signature tool at test time, from templates beside this file:
// enveloped, RSA-SHA1, Canonical XML 1.0. What the check does not take from a standard signature
// (README) shows as a refusal.
class StandardToolSignature : public testing::Test {
protected:
    // The template signed with the test key by xmlsec1, as text.
    std::string signedByTool(const std::string& name) {
        const std::string out = home.file(name);
        tamsel::test::ChildProcess tool;
        EXPECT_TRUE(tool.start(XMLSEC1, {"--sign", "--privkey-pem", TAMSEL_TEST_PRIVATE_KEY, "--output", out,
                                         std::string(SIGNATURE_TEMPLATES) + "/" + name}));
        EXPECT_EQ(tool.wait(), 0) << "xmlsec1 could not sign " << name;
        return ConfigurationSigner::readFile(out);
    }

    tamsel::test::TempHome home{"xmlsec"};
};

TEST_F(StandardToolSignature, TheCheckAcceptsWhatTheToolSignsAndRefusesWhatItCannotRead) {
    const struct {
        const char* name;
        bool verifies;
    } cases[] = {
        {"signed-plain.xml", true},
        {"signed-comments-and-escapes.xml", true},
        {"signed-keyinfo.xml", false},
        {"signed-root-prefix.xml", false},
        {"signed-root-xml-attribute.xml", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string text = signedByTool(c.name);
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(verifiesWith(text, testPublicKey()), c.verifies);
    }
    // A change the tool's signature covers is refused.
    EXPECT_FALSE(verifiesWith(replaced(signedByTool("signed-plain.xml"), "false", "true"), testPublicKey()));
}

TEST_F(StandardToolSignature, TheToolAcceptsWhatTheProjectSigns) {
    const std::string file = home.file("ours.xml");
    std::ofstream(file) << ConfigurationSigner::sign(CONFIGURATION, testPrivateKey());
    tamsel::test::ChildProcess tool;
    ASSERT_TRUE(tool.start(XMLSEC1, {"--verify", "--pubkey-pem", TAMSEL_TEST_PUBLIC_KEY, file}));
    EXPECT_EQ(tool.wait(), 0);
    std::ofstream(file) << replaced(ConfigurationSigner::sign(CONFIGURATION, testPrivateKey()), "false",
                                    "true");
    tamsel::test::ChildProcess changed;
    ASSERT_TRUE(changed.start(XMLSEC1, {"--verify", "--pubkey-pem", TAMSEL_TEST_PUBLIC_KEY, file}));
    EXPECT_NE(changed.wait(), 0);
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
