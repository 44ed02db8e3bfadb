#include "vel/credmgr/StoredCredentialText.h"

#include <cstring>

#include "platform/win/DataProtection.h"
#include "runtime/lum/Log.h"
#include "runtime/lum/RuntimeFolders.h"
#include "vel/credmgr/CredentialKeyHolder.h"
#include "vel/exception/BaseException.h"
#include "vel/string/ByteOutputBuffer.h"
#include "vel/string/StringConstants.h"

namespace {

const int BLOCK = CryptoPrimitives::AES_BLOCK_SIZE;
const int LENGTH_SIZE = StoredCredentialText::LENGTH_SIZE;
const int TRAILER_SIZE = StoredCredentialText::TRAILER_SIZE;
// Room for the IV, a block of padding, the length word and the trailer of the largest form.
const int LARGEST_PLAIN = StringConstants::MAX_LENGTH - 64;

const std::uint8_t DERIVATION_KEY[] = {'J', 'X', 'W'};

void writeLittleEndian32(std::uint8_t* p, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t readLittleEndian32(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void writeBigEndian32(std::uint8_t* p, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

std::uint32_t readBigEndian32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

std::uint32_t crcOf(const std::uint8_t* data, std::size_t length) {
    return CredentialKeyHolder::instance().crc(data, length);
}

// The plain bytes after the length word of a block, when the length fits the block.
bool takePlain(const std::uint8_t* block, std::int32_t blockLength, ByteArray& out) {
    if (blockLength < LENGTH_SIZE ||
        readLittleEndian32(block) > static_cast<std::uint32_t>(blockLength - LENGTH_SIZE)) {
        logError(0, "CredentialImpl::decrypt: Invalid length for decrypted string");
        return false;
    }
    out = ByteArray(block + LENGTH_SIZE, static_cast<std::int32_t>(readLittleEndian32(block)));
    return true;
}

void invalidLength() {
    logError(0, "CredentialImpl::decrypt: Invalid length for encrypted string");
}

// The blob the data protection handed out is freed on every path.
struct ProtectedBlob {
    wincrypt::DATA_BLOB blob{0, nullptr};
    ~ProtectedBlob() {
        if (blob.pbData != nullptr) wincrypt::LocalFree(blob.pbData);
    }
};

}  // namespace

bool StoredCredentialText::deriveKey(std::uint8_t out[CryptoPrimitives::SHA1_SIZE]) {
    const Ascii key = CredentialKeyHolder::instance().keyString();
    return CryptoPrimitives::hmacSha1(DERIVATION_KEY, sizeof DERIVATION_KEY,
                                      reinterpret_cast<const std::uint8_t*>(key.text()), key.length(), out);
}

int StoredCredentialText::encryptionType(const ByteArray& storedText) {
    if (storedText.length() < TRAILER_SIZE) return -1;
    return storedText.bytes()[storedText.length() - TRAILER_SIZE];
}

bool StoredCredentialText::protectAes(const ByteArray& plain, ByteArray& out) {
    out = ByteArray();
    if (plain.length() == 0) {
        logDebug("Trying to encrypt an empty string");
        return true;
    }
    if (plain.length() > LARGEST_PLAIN) return false;
    std::uint8_t iv[BLOCK];
    if (!CryptoPrimitives::randomBytes(iv, BLOCK)) {
        CryptoPrimitives::seedFromLocalTime();
        if (!CryptoPrimitives::randomReady()) {
            logError(0, "RAND_status failed");
            return false;
        }
        if (!CryptoPrimitives::randomBytes(iv, BLOCK)) {
            logError(0, "RAND_bytes failed");
            return false;
        }
    }
    std::uint8_t key[CryptoPrimitives::SHA1_SIZE];
    if (!deriveKey(key)) {
        logError(0, "AES_set_encrypt_key failed");
        return false;
    }

    const std::int32_t padded = (plain.length() + LENGTH_SIZE + BLOCK - 1) / BLOCK * BLOCK;
    const std::int32_t total = IV_SIZE + padded + TRAILER_SIZE;
    ByteOutputBuffer block(padded);
    std::memset(block.data(), 0, padded);
    writeLittleEndian32(block.data(), static_cast<std::uint32_t>(plain.length()));
    std::memcpy(block.data() + LENGTH_SIZE, plain.bytes(), plain.length());

    ByteOutputBuffer text(total);
    std::uint8_t* p = text.data();
    std::memcpy(p, iv, IV_SIZE);
    CryptoPrimitives::CipherResult result =
        CryptoPrimitives::aes128Cbc(true, key, iv, block.data(), padded, p + IV_SIZE);
    std::memset(key, 0, sizeof key);
    if (result != CryptoPrimitives::CipherResult::OK) {
        logError(0, "AES_set_encrypt_key failed");
        return false;
    }
    p[IV_SIZE + padded] = PROTECTION_AES;
    writeBigEndian32(p + IV_SIZE + padded + 1, crcOf(block.data(), padded));
    std::memset(block.data(), 0, padded);
    text.complete(total);
    out = ByteArray(text);
    return true;
}

bool StoredCredentialText::protectDpapi(const ByteArray& plain, bool machineScope, ByteArray& out) {
    out = ByteArray();
    try {
        if (plain.length() > LARGEST_PLAIN) return false;
        const std::int32_t blockLength = LENGTH_SIZE + plain.length();
        ByteOutputBuffer block(blockLength);
        writeLittleEndian32(block.data(), static_cast<std::uint32_t>(plain.length()));
        if (plain.length() > 0) std::memcpy(block.data() + LENGTH_SIZE, plain.bytes(), plain.length());

        wincrypt::DATA_BLOB in{static_cast<wincrypt::DWORD>(blockLength), block.data()};
        ProtectedBlob sealed;
        if (!wincrypt::CryptProtectData(&in, u"blob", nullptr, nullptr, nullptr,
                                        machineScope ? wincrypt::CRYPTPROTECT_LOCAL_MACHINE : 0,
                                        &sealed.blob)) {
            logError(0, "CryptProtectData failed");
            return false;
        }
        const std::int32_t sealedLength = static_cast<std::int32_t>(sealed.blob.cbData);
        if (sealedLength > StringConstants::MAX_LENGTH - 1 - TRAILER_SIZE) return false;
        const std::int32_t total = sealedLength + TRAILER_SIZE;
        ByteOutputBuffer text(total);
        std::memcpy(text.data(), sealed.blob.pbData, sealedLength);
        text.data()[sealedLength] = PROTECTION_DPAPI;
        writeBigEndian32(text.data() + sealedLength + 1, crcOf(block.data(), blockLength));
        std::memset(block.data(), 0, blockLength);
        text.complete(total);
        out = ByteArray(text);
        return true;
    } catch (const BaseException&) {
        logError(0, "unknown internal error");
        return false;
    }
}

bool StoredCredentialText::decrypt(const ByteArray& storedText, ByteArray& out) {
    out = ByteArray();
    if (storedText.length() == 0) {
        logDebug("Trying to decrypt an empty string");
        return true;
    }
    // Anything shorter cannot hold the trailer whose first byte names the form.
    if (storedText.length() < TRAILER_SIZE) {
        invalidLength();
        return false;
    }
    switch (encryptionType(storedText)) {
        case PROTECTION_AES_OLD:
        case PROTECTION_AES:
            return decryptAes(storedText, out);
        case PROTECTION_DPAPI:
            return decryptDpapi(storedText, out);
        default:
            logError(0, "Unknown encryption type in CredentialImpl [%s:%d]", pathFileName(__FILE__),
                     __LINE__);
            return false;
    }
}

bool StoredCredentialText::decryptAes(const ByteArray& storedText, ByteArray& out) {
    const std::int32_t cipherLength = storedText.length() - IV_SIZE - TRAILER_SIZE;
    // The cipher part must be whole blocks, at least one: anything else would be read past.
    if (cipherLength <= 0 || cipherLength % BLOCK != 0) {
        invalidLength();
        return false;
    }
    std::uint8_t key[CryptoPrimitives::SHA1_SIZE];
    if (!deriveKey(key)) {
        logError(0, "AES_set_decrypt_key failed");
        return false;
    }
    const std::uint8_t* text = storedText.bytes();
    ByteOutputBuffer block(cipherLength);
    CryptoPrimitives::CipherResult result =
        CryptoPrimitives::aes128Cbc(false, key, text, text + IV_SIZE, cipherLength, block.data());
    std::memset(key, 0, sizeof key);
    if (result != CryptoPrimitives::CipherResult::OK) {
        logError(0, "AES_set_decrypt_key failed");
        return false;
    }
    const bool intact = crcOf(block.data(), cipherLength) == readBigEndian32(text + storedText.length() - 4);
    const bool taken = intact && takePlain(block.data(), cipherLength, out);
    std::memset(block.data(), 0, cipherLength);
    if (!intact) logError(0, "decrypt failed: invalid key.");
    return taken;
}

bool StoredCredentialText::decryptDpapi(const ByteArray& storedText, ByteArray& out) {
    try {
        const std::uint8_t* text = storedText.bytes();
        const std::int32_t sealedLength = storedText.length() - TRAILER_SIZE;
        wincrypt::DATA_BLOB in{static_cast<wincrypt::DWORD>(sealedLength), const_cast<std::uint8_t*>(text)};
        ProtectedBlob opened;
        if (!wincrypt::CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr,
                                          wincrypt::CRYPTPROTECT_LOCAL_MACHINE, &opened.blob)) {
            logError(0, "DP: CryptUnprotectData failure");
            return false;
        }
        const std::int32_t blockLength = static_cast<std::int32_t>(opened.blob.cbData);
        const bool intact =
            crcOf(opened.blob.pbData, blockLength) == readBigEndian32(text + storedText.length() - 4);
        const bool taken = intact && takePlain(opened.blob.pbData, blockLength, out);
        if (blockLength > 0) std::memset(opened.blob.pbData, 0, blockLength);
        if (!intact) logError(0, "DP: CRC failure");
        return taken;
    } catch (const BaseException&) {
        logError(0, "unknown internal error");
        return false;
    }
}
