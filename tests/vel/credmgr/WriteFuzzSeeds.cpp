// Writes the seed corpora of the credential fuzz targets from the tests' fixture builders:
//     credmgr_fuzz_seeds tests/fuzz
// A seed's first byte picks the target's mode where it has two (0: the input as stored or as a
// file, 1: the input sealed first, so that the reader behind the cipher sees it).
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "tests/vel/credmgr/CredentialFixtures.h"

using namespace tamsel::test;

namespace {

std::filesystem::path g_root;

void seed(const std::string& target, const std::string& name, const Bytes& bytes) {
    const std::filesystem::path folder = g_root / target / "seeds";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary) << bytes;
}

const Bytes RAW("\0", 1);
const Bytes SEALED("\1", 1);

void storedTextSeeds() {
    const Bytes iv = hexBytes("000102030405060708090a0b0c0d0e0f");
    const Bytes identity = vectorBytes({"Idt", "Disc", "alice"});
    const Bytes psk = vectorBytes({"AsciiPsk", "Disc", "home", "correct horse battery"});
    const Bytes pac = vectorBytes({"Pac", "Disc", pacRecordBytes("k", "o", "a", "i", "f", 0, 1)});
    seed("stored_text", "aes-identity", RAW + aesStoredText(identity, iv));
    seed("stored_text", "aes-old-byte", RAW + aesStoredText(identity, iv, 0));
    seed("stored_text", "aes-length-lies", RAW + aesStoredText(identity, iv, 3, 500));
    seed("stored_text", "dpapi-shape", RAW + Bytes(40, '\x01') + '\x01' + be32(0));
    seed("stored_text", "identity", SEALED + identity);
    seed("stored_text", "password", SEALED + vectorBytes({"Pwd", "Disc", "secret"}));
    seed("stored_text", "pin", SEALED + vectorBytes({"Pin", "Disk", "1234"}));
    seed("stored_text", "ascii-psk", SEALED + psk);
    seed("stored_text", "hex-psk", SEALED + vectorBytes({"HexPsk", "Disc", Bytes(32, '\x7f')}));
    seed("stored_text", "certificate",
         SEALED + vectorBytes({"CertificateHash", "OsUserStore", Bytes(20, 'h')}));
    seed("stored_text", "pac", SEALED + pac);
    seed("stored_text", "unknown-type", SEALED + vectorBytes({"Token", "Disc", "x"}));
    seed("stored_text", "count-too-big", SEALED + le32(1000) + le32(1) + "x");
}

void legacyPskSeeds() {
    seed("legacy_psk", "ascii", "profile/wpa/psk_asciicorrect horse battery");
    seed("legacy_psk", "hex", "profile/wpa/psk_hex00112233445566778899aabbccddeeff");
    seed("legacy_psk", "odd-hex", "a/b/psk_hex123");
    seed("legacy_psk", "one-field", "a/psk_asciix");
    seed("legacy_psk", "empty-fields", "//a//b//psk_ascii");
    seed("legacy_psk", "other-tag", "a/b/psk_other");
}

void pacRecordSeeds() {
    const Bytes record =
        pacRecordBytes(Bytes(32, 'k'), Bytes(48, 'o'), Bytes(16, 'a'), "alice", "Office", 1900000000, 2);
    seed("pac_record", "record", RAW + record);
    seed("pac_record", "no-reserved", RAW + record.substr(0, record.size() - 4));
    Bytes huge = record;
    huge.replace(4, 4, le32(0xFFFFFFF0));
    seed("pac_record", "wrapping-lengths", RAW + huge);
    seed("pac_record", "stored", SEALED + vectorBytes({"Pac", "Disc", record}));
    seed("pac_record", "stored-two-elements", SEALED + vectorBytes({"Pac", "Disc"}));
}

void pacFileSeeds() {
    PacParts parts;
    parts.lifetime = 1900000000;
    parts.pacType = 2;
    const Bytes outer = pacTlv(parts);
    seed("pac_file", "file", RAW + pacFile(outer));
    PacFileOptions suite;
    suite.cipherSuite = 2;
    seed("pac_file", "cipher-suite-2", RAW + pacFile(outer, suite));
    seed("pac_file", "short", RAW + pacFile(outer).substr(0, 70));
    const Bytes key = tlv(1, Bytes(32, 'k'));
    const Bytes opaque = tlv(2, Bytes(20, 'o'));
    const Bytes info =
        tlv(9, tlv(3, be32(5)) + tlv(4, "aid") + tlv(5, "iid") + tlv(7, "info") + tlv(10, be16(1)));
    seed("pac_file", "blob", SEALED + outer);
    seed("pac_file", "blob-skipped-tlvs",
         SEALED + tlv(11, tlv(20, "x") + key + opaque + tlv(9, tlv(12, "y")) + info));
    seed("pac_file", "blob-mandatory", SEALED + tlv(11, tlv(0x8000 | 20, "x") + key + opaque + info));
    seed("pac_file", "blob-overrun", SEALED + tlv(11, key + opaque + tlv(9, tlv(4, "aid", 40))));
    seed("pac_file", "blob-short-lifetime",
         SEALED + tlv(11, key + opaque + tlv(9, tlv(3, "ab") + tlv(4, "a"))));
}

void expandSeeds() {
    seed("expand", "user-domain", "alice@corp.example\n[username]@[domain]");
    seed("expand", "domain-user", "alice\n[domain]\\[username]");
    seed("expand", "prefix", "alice\nhost/[username]");
    seed("expand", "unknown", "alice@corp\n[who][username]");
    seed("expand", "self", "[username]@[domain]\n[username]@[domain]");
    seed("expand", "bracket-order", "alice@corp\na]b[username][domain");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: credmgr_fuzz_seeds <tests/fuzz folder>\n";
        return 2;
    }
    g_root = argv[1];
    storedTextSeeds();
    legacyPskSeeds();
    pacRecordSeeds();
    pacFileSeeds();
    expandSeeds();
    return 0;
}
