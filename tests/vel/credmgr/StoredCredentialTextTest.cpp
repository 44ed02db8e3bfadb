#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/base/FailureInjection.h"
#include "platform/win/DataProtection.h"
#include "runtime/lum/Crc32.h"
#include "tests/vel/basevaluessupport/BaseValuesTestSupport.h"
#include "tests/vel/credmgr/CredentialFixtures.h"
#include "vel/credmgr/StoredCredentialText.h"

namespace tamsel::test {
namespace {

ByteArray arrayOf(const Bytes& bytes) {
    return ByteArray(bytes.data(), static_cast<std::int32_t>(bytes.size()));
}

Bytes bytesOf(const ByteArray& array) {
    return Bytes(array.text(), array.length());
}

Bytes protect(bool aes, const Bytes& plain) {
    ByteArray out;
    const bool done = aes ? StoredCredentialText::protectAes(arrayOf(plain), out)
                          : StoredCredentialText::protectDpapi(arrayOf(plain), true, out);
    EXPECT_TRUE(done);
    return bytesOf(out);
}

// What decrypt gives, or "<failed>".
Bytes decrypted(const Bytes& storedText) {
    ByteArray out;
    return StoredCredentialText::decrypt(arrayOf(storedText), out) ? bytesOf(out) : "<failed>";
}

std::uint32_t crcOf(const Bytes& bytes) {
    return Crc32::compute(0, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

// A data-protection stored text around whatever block the system's call is given.
Bytes dpapiText(const Bytes& block, std::uint32_t crc) {
    Bytes copy = block;
    wincrypt::DATA_BLOB in{static_cast<wincrypt::DWORD>(copy.size()),
                           reinterpret_cast<std::uint8_t*>(copy.data())};
    wincrypt::DATA_BLOB out{};
    EXPECT_TRUE(wincrypt::CryptProtectData(&in, u"blob", nullptr, nullptr, nullptr,
                                           wincrypt::CRYPTPROTECT_LOCAL_MACHINE, &out));
    Bytes text(reinterpret_cast<char*>(out.pbData), out.cbData);
    wincrypt::LocalFree(out.pbData);
    return text + '\x01' + be32(crc);
}

TEST(StoredCredentialTextTest, LayoutsOfBothForms) {
    const struct {
        size_t plain;
        size_t aes;
    } rows[] = {{12, 37}, {13, 53}, {1, 37}, {28, 53}, {100, 133}};
    for (const auto& row : rows) {
        const Bytes plain(row.plain, 'p');
        const Bytes aes = protect(true, plain);
        ASSERT_EQ(aes.size(), row.aes) << row.plain;
        EXPECT_EQ(aes[aes.size() - 5], 3);
        EXPECT_EQ(StoredCredentialText::encryptionType(arrayOf(aes)), 3);
        EXPECT_EQ(aes.substr(aes.size() - 4), be32(crcOf(plainBlock(plain, true))));
        EXPECT_EQ(decrypted(aes), plain);

        // Version, nonce, cipher text of the unpadded block, tag; then the trailer.
        const Bytes dpapi = protect(false, plain);
        ASSERT_EQ(dpapi.size(), 1 + 12 + (row.plain + 4) + 16 + 5) << row.plain;
        EXPECT_EQ(dpapi[0], 1);
        EXPECT_EQ(StoredCredentialText::encryptionType(arrayOf(dpapi)), 1);
        EXPECT_EQ(dpapi.substr(dpapi.size() - 4), be32(crcOf(plainBlock(plain, false))));
        EXPECT_EQ(decrypted(dpapi), plain);
    }
}

TEST(StoredCredentialTextTest, EmptyValuesAndShortTexts) {
    LogCapture log;
    EXPECT_EQ(protect(true, ""), "");
    EXPECT_EQ(decrypted(""), "");
    EXPECT_TRUE(log.contains("Trying to encrypt an empty string"));
    EXPECT_TRUE(log.contains("Trying to decrypt an empty string"));
    // The data protection keeps even an empty value: its block still holds the length.
    EXPECT_EQ(decrypted(protect(false, "")), "");
    EXPECT_EQ(StoredCredentialText::encryptionType(arrayOf("abcd")), -1);
}

TEST(StoredCredentialTextTest, KnownDerivedKeyAndAnIndependentlyBuiltText) {
    std::uint8_t key[20];
    ASSERT_TRUE(StoredCredentialText::deriveKey(key));
    EXPECT_EQ(Bytes(reinterpret_cast<char*>(key), 16), hexBytes("fa24b4f86241977d7fefc268b615a517"));

    const Bytes iv = hexBytes("000102030405060708090a0b0c0d0e0f");
    EXPECT_EQ(decrypted(aesStoredText("a value of 16 b.", iv)), "a value of 16 b.");
    // An older release wrote 0 as the protection byte of the same form.
    EXPECT_EQ(decrypted(aesStoredText("older", iv, 0)), "older");
}

TEST(StoredCredentialTextTest, TwoProtectionsDifferAndReadBackAlike) {
    for (bool aes : {true, false}) {
        const Bytes first = protect(aes, "same value");
        const Bytes second = protect(aes, "same value");
        EXPECT_NE(first, second);
        EXPECT_EQ(decrypted(first), "same value");
        EXPECT_EQ(decrypted(second), "same value");
    }
}

Bytes flipped(Bytes text, long index) {
    text[index < 0 ? text.size() + index : index] ^= 0x01;
    return text;
}

Bytes withByte(Bytes text, long index, char value) {
    text[index < 0 ? text.size() + index : index] = value;
    return text;
}

TEST(StoredCredentialTextTest, RefusedTexts) {
    const Bytes iv(16, '\x42');
    const Bytes aes = protect(true, "twelve bytes");
    const Bytes dpapi = protect(false, "twelve bytes");
    const Bytes windowsMade = Bytes(60, '\x33');
    const struct {
        const char* name;
        Bytes text;
        const char* line;
    } rows[] = {
        {"flipped cipher byte", flipped(aes, 20), "decrypt failed: invalid key."},
        {"flipped last cipher byte", flipped(aes, -6), "decrypt failed: invalid key."},
        {"flipped CRC byte", flipped(aes, -1), "decrypt failed: invalid key."},
        {"flipped IV byte", flipped(aes, 0), "decrypt failed: invalid key."},
        {"flipped GCM nonce byte", flipped(dpapi, 1), "DP: CryptUnprotectData failure"},
        {"flipped GCM cipher byte", flipped(dpapi, 15), "DP: CryptUnprotectData failure"},
        {"flipped GCM tag byte", flipped(dpapi, -6), "DP: CryptUnprotectData failure"},
        {"flipped blob version", withByte(dpapi, 0, 2), "DP: CryptUnprotectData failure"},
        {"flipped data-protection CRC", flipped(dpapi, -2), "DP: CRC failure"},
        {"made by another system", windowsMade + '\x01' + be32(0), "DP: CryptUnprotectData failure"},
        {"protection byte 2", withByte(aes, -5, 2), "Unknown encryption type in CredentialImpl ["},
        {"20 bytes", withByte(Bytes(20, 'x'), -5, 3),
         "CredentialImpl::decrypt: Invalid length for encrypted string"},
        {"4 bytes", Bytes("\x03\0\0\0", 4), "CredentialImpl::decrypt: Invalid length for encrypted string"},
        {"no cipher block", withByte(Bytes(21, 'x'), -5, 3),
         "CredentialImpl::decrypt: Invalid length for encrypted string"},
        {"cipher part not whole blocks", aes.substr(0, 20) + aes.substr(21),
         "CredentialImpl::decrypt: Invalid length for encrypted string"},
        {"AES length word past the block", aesStoredText("abc", iv, 3, 13),
         "CredentialImpl::decrypt: Invalid length for decrypted string"},
        {"data-protection length word past the block",
         dpapiText(plainBlock("abc", false, 4), crcOf(plainBlock("abc", false, 4))),
         "CredentialImpl::decrypt: Invalid length for decrypted string"},
        {"data-protection block without a length word", dpapiText("ab", crcOf("ab")),
         "CredentialImpl::decrypt: Invalid length for decrypted string"},
    };
    for (const auto& row : rows) {
        LogCapture log;
        EXPECT_EQ(decrypted(row.text), "<failed>") << row.name;
        EXPECT_TRUE(log.contains(row.line)) << row.name << "\n" << log.text();
    }
    // The AES length word may fill its block exactly.
    EXPECT_EQ(decrypted(aesStoredText("abc", iv, 3, 12)), Bytes("abc") + Bytes(9, '\0'));
}

// Runs the body with TAMSEL_HOME pointing at a fresh folder below the test root.
void inOtherRoot(const std::string& name, const std::function<void(const std::string&)>& body) {
    const std::string previous = std::getenv("TAMSEL_HOME");
    const std::string root = BaseValuesTest::root() + "/" + name;
    std::filesystem::create_directories(root);
    setenv("TAMSEL_HOME", root.c_str(), 1);
    body(root);
    setenv("TAMSEL_HOME", previous.c_str(), 1);
}

TEST(StoredCredentialTextTest, TheMachineKeyBindsTheDataProtectionForm) {
    const Bytes text = protect(false, "machine bound");
    inOtherRoot("other-machine", [&](const std::string&) {
        LogCapture log;
        EXPECT_EQ(decrypted(text), "<failed>");  // no key at all yet
        protect(false, "makes this machine's key");
        EXPECT_EQ(decrypted(text), "<failed>");
        EXPECT_TRUE(log.contains("DP: CryptUnprotectData failure"));
    });
    inOtherRoot("loose-key", [&](const std::string& root) {
        const Bytes own = protect(false, "own");
        const std::string key = root + "/dataprotection.key";
        ASSERT_EQ(chmod(key.c_str(), 0644), 0);
        LogCapture log;
        testing::internal::CaptureStderr();
        EXPECT_EQ(decrypted(own), "<failed>");
        ByteArray out;
        EXPECT_FALSE(StoredCredentialText::protectDpapi(ByteArray("x"), true, out));
        const std::string refusals = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(log.contains("DP: CryptUnprotectData failure"));
        EXPECT_TRUE(log.contains("CryptProtectData failed"));
        EXPECT_NE(refusals.find("mode 0644, expected 0600"), std::string::npos) << refusals;
        ASSERT_EQ(chmod(key.c_str(), 0600), 0);
        EXPECT_EQ(decrypted(own), "own");
    });
    EXPECT_EQ(decrypted(text), "machine bound");
}

TEST(StoredCredentialTextTest, DataProtectionFailuresAreLogged) {
    const Bytes text = protect(false, "value");
    LogCapture log;
    base::failNext("CryptProtectData", base::win32::ERROR_NOT_ENOUGH_MEMORY, 1);
    ByteArray out;
    EXPECT_FALSE(StoredCredentialText::protectDpapi(ByteArray("value"), true, out));
    EXPECT_EQ(out.length(), 0);
    base::failNext("CryptUnprotectData", base::win32::ERROR_INVALID_DATA, 1);
    EXPECT_EQ(decrypted(text), "<failed>");
    // A buffer the system could not free does not change the result.
    base::failNext("LocalFree", base::win32::ERROR_INVALID_HANDLE, 1);
    EXPECT_EQ(decrypted(text), "value");
    base::clearFailures();
    EXPECT_TRUE(log.contains("CryptProtectData failed"));
    EXPECT_TRUE(log.contains("DP: CryptUnprotectData failure"));
}

}  // namespace
}  // namespace tamsel::test
