#pragma once
// The protected form in which every credential is kept: a 4-byte little-endian length and the
// plain bytes, enciphered either with AES-128-CBC under a key derived from the built-in key
// string (the same on every machine: it hides a value, it does not protect it) or with the
// system's data protection in machine scope, then a protection byte and a CRC-32.
#include <cstdint>

#include "vel/credmgr/CryptoPrimitives.h"
#include "vel/string/ByteArray.h"

class StoredCredentialText {
public:
    // The protection byte, fifth from the end; an older release wrote 0 for the AES form.
    static constexpr int PROTECTION_AES_OLD = 0;
    static constexpr int PROTECTION_DPAPI = 1;
    static constexpr int PROTECTION_AES = 3;
    // Protection byte and CRC.
    static constexpr int TRAILER_SIZE = 5;
    static constexpr int LENGTH_SIZE = 4;
    static constexpr int IV_SIZE = CryptoPrimitives::AES_BLOCK_SIZE;

    // An empty plain text gives an empty stored text (success).
    static bool protectAes(const ByteArray& plain, ByteArray& out);
    static bool protectDpapi(const ByteArray& plain, bool machineScope, ByteArray& out);
    // The plain bytes of either form; an empty stored text gives empty bytes (success).
    static bool decrypt(const ByteArray& storedText, ByteArray& out);
    // The protection byte, or -1 when the text is too short to hold one.
    static int encryptionType(const ByteArray& storedText);
    // HMAC-SHA1 of the key string under "JXW"; its first 16 bytes are the AES key.
    static bool deriveKey(std::uint8_t out[CryptoPrimitives::SHA1_SIZE]);

private:
    static bool decryptAes(const ByteArray& storedText, ByteArray& out);
    static bool decryptDpapi(const ByteArray& storedText, ByteArray& out);
};
