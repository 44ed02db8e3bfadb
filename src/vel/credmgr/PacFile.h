#pragma once
// The PAC file an administrator hands out: a 56-byte header (version, default-key flag, reserved,
// cipher suite, IV, file check, blob check; numbers big-endian) and the outer PAC TLV enciphered
// with AES-128-CBC under a key made from the file's password. Every refusal raises
// CredentialException with the function and the reason.
#include <cstdint>

#include "vel/credmgr/CryptoPrimitives.h"
#include "vel/credmgr/PacFields.h"

class PacFile {
public:
    static constexpr std::int32_t HEADER_SIZE = 56;
    static constexpr std::int32_t DEFAULT_KEY_FLAG_OFFSET = 1;
    static constexpr std::int32_t CIPHER_SUITE_OFFSET = 6;
    static constexpr std::int32_t IV_OFFSET = 8;
    static constexpr std::int32_t FILE_CHECK_OFFSET = 24;
    static constexpr std::int32_t BLOB_CHECK_OFFSET = 40;
    static constexpr std::int32_t CHECK_SIZE = 16;
    static constexpr std::uint16_t CIPHER_SUITE_AES128_CBC = 1;
    static constexpr std::int32_t TLV_HEADER_SIZE = 4;

    // TLV types: the low 14 bits of the type field.
    static constexpr std::uint16_t TLV_MANDATORY = 0x8000;
    static constexpr std::uint16_t TLV_TYPE_MASK = 0x3FFF;
    static constexpr std::uint16_t TLV_PAC_KEY = 1;
    static constexpr std::uint16_t TLV_PAC_OPAQUE = 2;
    static constexpr std::uint16_t TLV_PAC_LIFETIME = 3;
    static constexpr std::uint16_t TLV_A_ID = 4;
    static constexpr std::uint16_t TLV_I_ID = 5;
    static constexpr std::uint16_t TLV_RESERVED = 6;
    static constexpr std::uint16_t TLV_A_ID_INFO = 7;
    static constexpr std::uint16_t TLV_PAC_INFO = 9;
    static constexpr std::uint16_t TLV_PAC_TYPE = 10;

    // The fields of the PAC in the file; the lifetime is that of its PAC-Lifetime TLV (0 without one).
    static PacFields readPacFromFile(const ByteArray& file, const Ascii& password);

    // The AES key of a file: HMAC-SHA1 of "VKM" under the password, or under the built-in key when
    // the password is empty and the file allows it.
    static void genKey(const Ascii& password, bool defaultKeyAllowed,
                       std::uint8_t key[CryptoPrimitives::AES128_KEY_SIZE]);

    // The fields of the outer TLV at the start of the decrypted blob; the result is that TLV's
    // length with its header.
    static std::int32_t parsePacData(const std::uint8_t* blob, std::int32_t length, PacFields& fields);

private:
    struct Seen;

    static void validateFile(const ByteArray& file);
    static void tlvVerify(const std::uint8_t* value, std::int32_t length);
    static void parsePacInfo(const std::uint8_t* value, std::int32_t length, PacFields& fields, Seen& seen);
    static void validatePac(const std::uint8_t* blob, std::int32_t length, const std::uint8_t* blobCheck);
};
