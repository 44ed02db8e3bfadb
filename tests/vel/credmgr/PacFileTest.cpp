#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tests/vel/basevaluessupport/BaseValuesTestSupport.h"
#include "tests/vel/credmgr/CredentialFixtures.h"
#include "vel/credmgr/PacFile.h"
#include "vel/exception/CredentialException.h"

namespace tamsel::test {
namespace {

ByteArray arrayOf(const Bytes& bytes) {
    return ByteArray(bytes.data(), static_cast<std::int32_t>(bytes.size()));
}

Bytes bytesOf(const ByteArray& array) {
    return Bytes(array.text(), array.length());
}

struct Refusal {
    std::string function;
    std::string reason;
};

// The refusal of a file, or empty texts when it was taken.
Refusal refusalOf(const Bytes& file, const std::string& password = "pac password") {
    try {
        PacFile::readPacFromFile(arrayOf(file), Ascii(password.c_str()));
    } catch (const CredentialException& e) {
        return {e.function().text(), e.reason().text()};
    }
    return {};
}

// The file of an outer TLV holding the given TLVs.
Bytes fileOf(const Bytes& outerValue) {
    return pacFile(tlv(11, outerValue));
}

const Bytes KEY = tlv(1, Bytes(32, 'k'));
const Bytes OPAQUE = tlv(2, Bytes(20, 'o'));

Bytes infoOf(const Bytes& value) {
    return tlv(9, value);
}

const Bytes AID = tlv(4, "aid");
const Bytes IID = tlv(5, "iid");
const Bytes AID_INFO = tlv(7, "info");

TEST(PacFileTest, AGoodFileGivesItsFields) {
    PacParts parts;
    parts.lifetime = 1900000000;
    parts.pacType = 2;
    const PacFields fields = PacFile::readPacFromFile(arrayOf(pacFile(pacTlv(parts))), "pac password");
    EXPECT_EQ(bytesOf(fields.key), parts.key);
    EXPECT_EQ(bytesOf(fields.opaque), tlv(2, parts.opaque));  // with its header
    EXPECT_EQ(bytesOf(fields.aid), parts.aid);
    EXPECT_STREQ(fields.iid.text(), "alice");
    EXPECT_STREQ(fields.aidInfo.text(), "Office authenticator");
    EXPECT_EQ(fields.lifetime.first, 1900000000);
    EXPECT_EQ(fields.lifetime.second, 0);
    EXPECT_EQ(fields.pacType, 2);

    // Without a PAC-Lifetime the lifetime is 0; TLVs without the mandatory bit are skipped.
    const Bytes skipped =
        tlv(20, "outer extra") + KEY + OPAQUE + infoOf(tlv(12, "info extra") + AID + AID_INFO);
    const PacFields plain = PacFile::readPacFromFile(arrayOf(fileOf(skipped)), "pac password");
    EXPECT_EQ(plain.lifetime.first, 0);
    EXPECT_STREQ(plain.aidInfo.text(), "info");
    EXPECT_EQ(plain.iid.length(), 0);
}

TEST(PacFileTest, TheDefaultKeyNeedsTheFilesFlag) {
    std::uint8_t key[16];
    PacFile::genKey(Ascii(""), true, key);
    EXPECT_EQ(Bytes(reinterpret_cast<char*>(key), 16), hexBytes("83e83d15c559c86778c47d8c3bd64a3a"));

    PacFileOptions options;
    options.password = "";
    options.defaultKeyFlag = 1;
    const Bytes file = pacFile(pacTlv(PacParts()), options);
    EXPECT_STREQ(PacFile::readPacFromFile(arrayOf(file), "").iid.text(), "alice");

    options.defaultKeyFlag = 0;
    const Refusal refusal = refusalOf(pacFile(pacTlv(PacParts()), options), "");
    EXPECT_EQ(refusal.function, "genKey");
    EXPECT_EQ(refusal.reason, "Invalid password to access pac file");
}

Bytes flipped(Bytes bytes, size_t index) {
    bytes[index] ^= 0x01;
    return bytes;
}

TEST(PacFileTest, BrokenFilesAreRefusedWithTheirReasons) {
    const Bytes good = pacFile(pacTlv(PacParts()));
    PacFileOptions suite2;
    suite2.cipherSuite = 2;
    PacFileOptions badBlobCheck;
    badBlobCheck.corruptBlobCheck = true;
    const struct {
        const char* name;
        Bytes file;
        const char* function;
        const char* reason;
    } rows[] = {
        {"55 bytes", good.substr(0, 55), "validateFile", "Corrupted file"},
        {"header only", good.substr(0, 56), "validateFile", "Corrupted file"},
        {"blob not whole blocks", good + "x", "validateFile", "Corrupted file"},
        {"changed blob byte", flipped(good, 60), "validateFile", "Corrupted file"},
        {"changed file check", flipped(good, 24), "validateFile", "Corrupted file"},
        {"cipher suite 2", pacFile(pacTlv(PacParts()), suite2), "validateFile", "Invalid cipher suite"},
        {"blob check", pacFile(pacTlv(PacParts()), badBlobCheck), "validatePac",
         "Invalid blob - possibly incorrect password?"},
        {"outer TLV past the blob", pacFile(tlv(11, KEY, 4000)), "parsePacData", "Invalid PAC TLV"},
        {"TLV past its parent", fileOf(tlv(1, "key", 30) + OPAQUE), "tlvVerify", "Invalid PAC TLV"},
        {"TLV header cut", fileOf(KEY + OPAQUE + Bytes("\x00\x01", 2)), "tlvVerify", "TLV too small"},
        {"info TLV past the info", fileOf(KEY + OPAQUE + infoOf(tlv(4, "aid", 9))), "tlvVerify",
         "Invalid PAC TLV"},
        {"short lifetime", fileOf(KEY + OPAQUE + infoOf(tlv(3, be16(1)) + AID + AID_INFO)), "ntohl",
         "invalid SafeUnint32 network"},
        {"short PAC type", fileOf(KEY + OPAQUE + infoOf(AID + AID_INFO + tlv(10, "\x02"))), "ntohs",
         "invalid SafeUnint16 network"},
        {"two keys", fileOf(KEY + KEY + OPAQUE + infoOf(AID + AID_INFO)), "parsePacData",
         "two PAC key fields"},
        {"two opaques", fileOf(KEY + OPAQUE + OPAQUE + infoOf(AID + AID_INFO)), "parsePacData",
         "two PAC opaque fields"},
        {"two A-IDs", fileOf(KEY + OPAQUE + infoOf(AID + AID + AID_INFO)), "parsePacData",
         "two PAC A-ID fields"},
        {"two I-IDs", fileOf(KEY + OPAQUE + infoOf(AID + IID + IID + AID_INFO)), "parsePacData",
         "two PAC I-ID fields"},
        {"two A-ID-Infos", fileOf(KEY + OPAQUE + infoOf(AID + AID_INFO + AID_INFO)), "parsePacData",
         "two PAC A-ID-Info fields"},
        {"info type 6", fileOf(KEY + OPAQUE + infoOf(AID + tlv(6, "x") + AID_INFO)), "parsePacData",
         "Currently not supported"},
        {"mandatory unknown info", fileOf(KEY + OPAQUE + infoOf(AID + tlv(0x8000 | 12, "x") + AID_INFO)),
         "parsePacData", "unknown mandatory PAC Info TLV"},
        {"mandatory unknown outer", fileOf(tlv(0x8000 | 20, "x") + KEY + OPAQUE + infoOf(AID + AID_INFO)),
         "parsePacData", "Unknown mandatory PAC TLV"},
        {"no key", fileOf(OPAQUE + infoOf(AID + AID_INFO)), "parsePacData", "PAC Key absent"},
        {"no opaque", fileOf(KEY + infoOf(AID + AID_INFO)), "parsePacData", "PAC Opaque data absent"},
        {"no info", fileOf(KEY + OPAQUE), "parsePacData", "PAC AID absent"},
        {"no A-ID-Info", fileOf(KEY + OPAQUE + infoOf(AID + IID)), "parsePacData", "PAC A-ID-Info absent"},
    };
    for (const auto& row : rows) {
        LogCapture log;
        const Refusal refusal = refusalOf(row.file);
        EXPECT_EQ(refusal.function, row.function) << row.name;
        EXPECT_EQ(refusal.reason, row.reason) << row.name;
        EXPECT_TRUE(log.contains(std::string("CredentialException for function '") + row.function + "' => " +
                                 row.reason))
            << row.name;
    }
}

TEST(PacFileTest, AWrongPasswordIsRefusedByTheWalkOrTheBlobCheck) {
    const std::set<std::string> expected = {"Invalid blob - possibly incorrect password?", "Invalid PAC TLV",
                                            "TLV too small", "Unknown mandatory PAC TLV", "PAC Key absent"};
    for (const char* password : {"wrong", "pac passwore", "x"}) {
        const Refusal refusal = refusalOf(pacFile(pacTlv(PacParts())), password);
        EXPECT_TRUE(expected.count(refusal.reason)) << password << ": " << refusal.reason;
    }
}

}  // namespace
}  // namespace tamsel::test
