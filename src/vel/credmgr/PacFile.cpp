#include "vel/credmgr/PacFile.h"

#include <cstring>
#include <vector>

#include "vel/exception/CredentialException.h"
#include "vel/string/NetworkOrderInteger.h"

namespace {

const std::uint8_t DEFAULT_KEY[CryptoPrimitives::AES128_KEY_SIZE] = {
    0x5e, 0x1a, 0x9c, 0x07, 0xd3, 0xb8, 0x4f, 0x62, 0xa0, 0xc7, 0xe9, 0x1b, 0x3d, 0x5f, 0x7a, 0x24};
const std::uint8_t KEY_LABEL[] = {'V', 'K', 'M'};

[[noreturn]] void refuse(const char* file, int line, const char* function, const char* reason) {
    CredentialException::raise(file, line, Ascii(function), Ascii(reason));
}

// Network-order reads of what may be too short to hold the number: a missing value fails its read.
std::uint16_t read16(const std::uint8_t* p, std::int32_t available) {
    SafeNetworkUint16 value(available >= 2 ? p : nullptr);
    if (value.invalid()) refuse(__FILE__, __LINE__, "ntohs", "invalid SafeUnint16 network");
    return value.value();
}

std::uint32_t read32(const std::uint8_t* p, std::int32_t available) {
    SafeNetworkUint32 value(available >= 4 ? p : nullptr);
    if (value.invalid()) refuse(__FILE__, __LINE__, "ntohl", "invalid SafeUnint32 network");
    return value.value();
}

// One TLV of a value that tlvVerify has walked: its header and value lie inside.
struct Tlv {
    std::uint16_t typeField;
    std::int32_t length;
    const std::uint8_t* start;  // the header
    const std::uint8_t* value;

    std::uint16_t type() const { return typeField & PacFile::TLV_TYPE_MASK; }
    bool mandatory() const { return (typeField & PacFile::TLV_MANDATORY) != 0; }
    std::int32_t size() const { return PacFile::TLV_HEADER_SIZE + length; }
};

template <typename Visit>
void forEachTlv(const std::uint8_t* value, std::int32_t length, Visit visit) {
    std::int32_t at = 0;
    while (at < length) {
        Tlv tlv{read16(value + at, length - at), read16(value + at + 2, length - at - 2), value + at,
                value + at + PacFile::TLV_HEADER_SIZE};
        visit(tlv);
        at += tlv.size();
    }
}

}  // namespace

// Which fields the walk has met, so that a repeated one is refused and a missing one noticed.
struct PacFile::Seen {
    bool key = false;
    bool opaque = false;
    bool aid = false;
    bool iid = false;
    bool aidInfo = false;
};

namespace {

void takeOnce(bool& seen, const char* repeated) {
    if (seen) refuse(__FILE__, __LINE__, "parsePacData", repeated);
    seen = true;
}

}  // namespace

void PacFile::tlvVerify(const std::uint8_t* value, std::int32_t length) {
    std::int32_t at = 0;
    while (at < length) {
        if (length - at < TLV_HEADER_SIZE) refuse(__FILE__, __LINE__, "tlvVerify", "TLV too small");
        const std::int32_t declared = read16(value + at + 2, length - at - 2);
        if (declared > length - at - TLV_HEADER_SIZE)
            refuse(__FILE__, __LINE__, "tlvVerify", "Invalid PAC TLV");
        at += TLV_HEADER_SIZE + declared;
    }
}

void PacFile::parsePacInfo(const std::uint8_t* value, std::int32_t length, PacFields& fields, Seen& seen) {
    tlvVerify(value, length);
    forEachTlv(value, length, [&](const Tlv& tlv) {
        switch (tlv.type()) {
            case TLV_PAC_LIFETIME:
                fields.lifetime.first = static_cast<std::int32_t>(read32(tlv.value, tlv.length));
                fields.lifetime.second = 0;
                break;
            case TLV_A_ID:
                takeOnce(seen.aid, "two PAC A-ID fields");
                fields.aid = ByteArray(tlv.value, tlv.length);
                break;
            case TLV_I_ID:
                takeOnce(seen.iid, "two PAC I-ID fields");
                fields.iid = Ascii(reinterpret_cast<const char*>(tlv.value), tlv.length);
                break;
            case TLV_RESERVED:
                refuse(__FILE__, __LINE__, "parsePacData", "Currently not supported");
            case TLV_A_ID_INFO:
                takeOnce(seen.aidInfo, "two PAC A-ID-Info fields");
                fields.aidInfo = Ascii(reinterpret_cast<const char*>(tlv.value), tlv.length);
                break;
            case TLV_PAC_TYPE:
                fields.pacType = read16(tlv.value, tlv.length);
                break;
            default:
                if (tlv.mandatory())
                    refuse(__FILE__, __LINE__, "parsePacData", "unknown mandatory PAC Info TLV");
                break;
        }
    });
}

std::int32_t PacFile::parsePacData(const std::uint8_t* blob, std::int32_t length, PacFields& fields) {
    // The outer TLV must lie inside the blob before its value is walked.
    if (length < TLV_HEADER_SIZE) refuse(__FILE__, __LINE__, "parsePacData", "TLV too small");
    const std::int32_t outerLength = read16(blob + 2, length - 2);
    if (outerLength > length - TLV_HEADER_SIZE) refuse(__FILE__, __LINE__, "parsePacData", "Invalid PAC TLV");
    const std::uint8_t* value = blob + TLV_HEADER_SIZE;
    tlvVerify(value, outerLength);

    Seen seen;
    forEachTlv(value, outerLength, [&](const Tlv& tlv) {
        switch (tlv.type()) {
            case TLV_PAC_KEY:
                takeOnce(seen.key, "two PAC key fields");
                fields.key = ByteArray(tlv.value, tlv.length);
                break;
            case TLV_PAC_OPAQUE:
                takeOnce(seen.opaque, "two PAC opaque fields");
                fields.opaque = ByteArray(tlv.start, tlv.size());
                break;
            case TLV_PAC_INFO:
                parsePacInfo(tlv.value, tlv.length, fields, seen);
                break;
            default:
                if (tlv.mandatory()) refuse(__FILE__, __LINE__, "parsePacData", "Unknown mandatory PAC TLV");
                break;
        }
    });
    if (!seen.key) refuse(__FILE__, __LINE__, "parsePacData", "PAC Key absent");
    if (!seen.opaque) refuse(__FILE__, __LINE__, "parsePacData", "PAC Opaque data absent");
    if (!seen.aid) refuse(__FILE__, __LINE__, "parsePacData", "PAC AID absent");
    if (!seen.aidInfo) refuse(__FILE__, __LINE__, "parsePacData", "PAC A-ID-Info absent");
    return TLV_HEADER_SIZE + outerLength;
}

void PacFile::validateFile(const ByteArray& file) {
    const std::int32_t blobLength = file.length() - HEADER_SIZE;
    // A file without whole blocks of blob cannot be deciphered without reading past its end.
    if (blobLength <= 0 || blobLength % CryptoPrimitives::AES_BLOCK_SIZE != 0) {
        refuse(__FILE__, __LINE__, "validateFile", "Corrupted file");
    }
    std::vector<std::uint8_t> copy(file.bytes(), file.bytes() + file.length());
    std::memset(copy.data() + FILE_CHECK_OFFSET, 0, CHECK_SIZE);
    std::uint8_t digest[CryptoPrimitives::SHA1_SIZE];
    if (!CryptoPrimitives::sha1(copy.data(), copy.size(), digest) ||
        std::memcmp(digest, file.bytes() + FILE_CHECK_OFFSET, CHECK_SIZE) != 0) {
        refuse(__FILE__, __LINE__, "validateFile", "Corrupted file");
    }
    if (read16(file.bytes() + CIPHER_SUITE_OFFSET, 2) != CIPHER_SUITE_AES128_CBC) {
        refuse(__FILE__, __LINE__, "validateFile", "Invalid cipher suite");
    }
}

void PacFile::genKey(const Ascii& password, bool defaultKeyAllowed,
                     std::uint8_t key[CryptoPrimitives::AES128_KEY_SIZE]) {
    if (password.length() == 0 && !defaultKeyAllowed) {
        refuse(__FILE__, __LINE__, "genKey", "Invalid password to access pac file");
    }
    std::uint8_t digest[CryptoPrimitives::SHA1_SIZE];
    const bool made = password.length() > 0
                          ? CryptoPrimitives::hmacSha1(reinterpret_cast<const std::uint8_t*>(password.text()),
                                                       password.length(), KEY_LABEL, sizeof KEY_LABEL, digest)
                          : CryptoPrimitives::hmacSha1(DEFAULT_KEY, sizeof DEFAULT_KEY, KEY_LABEL,
                                                       sizeof KEY_LABEL, digest);
    if (!made) refuse(__FILE__, __LINE__, "genKey", "HMAC failed");
    std::memcpy(key, digest, CryptoPrimitives::AES128_KEY_SIZE);
    std::memset(digest, 0, sizeof digest);
}

void PacFile::validatePac(const std::uint8_t* blob, std::int32_t length, const std::uint8_t* blobCheck) {
    std::uint8_t digest[CryptoPrimitives::SHA1_SIZE];
    if (!CryptoPrimitives::sha1(blob, length, digest) || std::memcmp(digest, blobCheck, CHECK_SIZE) != 0) {
        refuse(__FILE__, __LINE__, "validatePac", "Invalid blob - possibly incorrect password?");
    }
}

PacFields PacFile::readPacFromFile(const ByteArray& file, const Ascii& password) {
    validateFile(file);
    const std::uint8_t* header = file.bytes();
    std::uint8_t key[CryptoPrimitives::AES128_KEY_SIZE];
    genKey(password, header[DEFAULT_KEY_FLAG_OFFSET] != 0, key);

    const std::int32_t blobLength = file.length() - HEADER_SIZE;
    std::vector<std::uint8_t> blob(blobLength);
    const CryptoPrimitives::CipherResult result = CryptoPrimitives::aes128Cbc(
        false, key, header + IV_OFFSET, header + HEADER_SIZE, blobLength, blob.data());
    std::memset(key, 0, sizeof key);
    if (result != CryptoPrimitives::CipherResult::OK) {
        refuse(__FILE__, __LINE__, "readPacFromFile", "AES_set_decrypt_key failed");
    }
    // The plain blob holds the PAC key: it is wiped whether the file is taken or refused.
    struct Wipe {
        std::vector<std::uint8_t>& bytes;
        ~Wipe() { std::memset(bytes.data(), 0, bytes.size()); }
    } wipe{blob};

    PacFields fields;
    const std::int32_t outerLength = parsePacData(blob.data(), blobLength, fields);
    validatePac(blob.data(), outerLength, header + BLOB_CHECK_OFFSET);
    return fields;
}
