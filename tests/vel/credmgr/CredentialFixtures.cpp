#include "tests/vel/credmgr/CredentialFixtures.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/sha.h>

#include <stdexcept>

#include "runtime/lum/Crc32.h"

namespace tamsel::test {

namespace {

const std::string STORED_TEXT_KEY = "fa24b4f86241977d7fefc268b615a517";
const std::string PAC_DEFAULT_KEY = "5e1a9c07d3b84f62a0c7e91b3d5f7a24";

const unsigned char* u(const Bytes& b) {
    return reinterpret_cast<const unsigned char*>(b.data());
}

Bytes aesCbc(const Bytes& key, const Bytes& iv, const Bytes& plain) {
    EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
    EVP_EncryptInit_ex(context, EVP_aes_128_cbc(), nullptr, u(key), u(iv));
    EVP_CIPHER_CTX_set_padding(context, 0);
    Bytes out(plain.size(), '\0');
    int length = 0;
    if (!plain.empty()) {
        EVP_EncryptUpdate(context, reinterpret_cast<unsigned char*>(out.data()), &length, u(plain),
                          static_cast<int>(plain.size()));
    }
    EVP_CIPHER_CTX_free(context);
    if (static_cast<size_t>(length) != plain.size()) throw std::runtime_error("aesCbc: not whole blocks");
    return out;
}

Bytes sha1(const Bytes& data) {
    Bytes digest(SHA_DIGEST_LENGTH, '\0');
    SHA1(u(data), data.size(), reinterpret_cast<unsigned char*>(digest.data()));
    return digest;
}

std::uint32_t crc(const Bytes& data) {
    return Crc32::compute(0, u(data), data.size());
}

}  // namespace

Bytes hexBytes(const std::string& hex) {
    Bytes out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

Bytes be16(unsigned value) {
    return {static_cast<char>(value >> 8), static_cast<char>(value)};
}

Bytes be32(std::uint32_t value) {
    return be16(value >> 16) + be16(value & 0xFFFF);
}

Bytes le32(std::uint32_t value) {
    return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
            static_cast<char>(value >> 24)};
}

Bytes vectorBytes(const std::vector<Bytes>& elements) {
    Bytes out = le32(elements.size());
    for (const Bytes& element : elements) out += le32(element.size()) + element;
    return out;
}

Bytes pacRecordBytes(const Bytes& key, const Bytes& opaque, const Bytes& aid, const Bytes& iid,
                     const Bytes& aidInfo, std::uint32_t lifetime, std::uint32_t pacType) {
    return le32(key.size()) + le32(opaque.size()) + le32(aid.size()) + le32(iid.size()) +
           le32(aidInfo.size()) + le32(4) + le32(4) + le32(pacType) + key + opaque + aid + iid + aidInfo +
           le32(lifetime) + le32(0) + le32(0);
}

Bytes plainBlock(const Bytes& plain, bool padded, long lengthWord) {
    Bytes block = le32(lengthWord < 0 ? plain.size() : static_cast<std::uint32_t>(lengthWord)) + plain;
    if (padded) block.resize((block.size() + 15) / 16 * 16, '\0');
    return block;
}

Bytes aesStoredText(const Bytes& plain, const Bytes& iv, int protectionByte, long lengthWord) {
    const Bytes block = plainBlock(plain, true, lengthWord);
    return iv + aesCbc(hexBytes(STORED_TEXT_KEY), iv, block) + static_cast<char>(protectionByte) +
           be32(crc(block));
}

Bytes tlv(unsigned type, const Bytes& value, long declaredLength) {
    return be16(type) + be16(declaredLength < 0 ? value.size() : static_cast<unsigned>(declaredLength)) +
           value;
}

Bytes pacTlv(const PacParts& parts) {
    Bytes info = tlv(4, parts.aid) + tlv(5, parts.iid) + tlv(7, parts.aidInfo);
    if (parts.lifetime >= 0) info = tlv(3, be32(static_cast<std::uint32_t>(parts.lifetime))) + info;
    if (parts.pacType >= 0) info += tlv(10, be16(static_cast<unsigned>(parts.pacType)));
    const Bytes opaqueTlv = tlv(2, parts.opaque);
    return tlv(11, tlv(1, parts.key) + opaqueTlv + tlv(9, info));
}

Bytes pacFileKey(const std::string& password) {
    const Bytes key = password.empty() ? hexBytes(PAC_DEFAULT_KEY) : password;
    unsigned char digest[20];
    unsigned int length = 0;
    HMAC(EVP_sha1(), key.data(), static_cast<int>(key.size()), reinterpret_cast<const unsigned char*>("VKM"),
         3, digest, &length);
    return Bytes(reinterpret_cast<char*>(digest), 16);
}

Bytes pacFile(const Bytes& outerTlv, const PacFileOptions& options) {
    Bytes plain = outerTlv + options.trailing;
    plain.resize((plain.size() + 15) / 16 * 16, '\0');
    Bytes blobCheck = sha1(outerTlv).substr(0, 16);
    if (options.corruptBlobCheck) blobCheck[0] ^= 1;
    Bytes header;
    header += '\x01';
    header += static_cast<char>(options.defaultKeyFlag);
    header += Bytes(4, '\0');
    header += be16(options.cipherSuite);
    header += options.iv;
    header += Bytes(16, '\0');
    header += blobCheck;
    Bytes file = header + aesCbc(pacFileKey(options.password), options.iv, plain);
    const Bytes fileCheck = sha1(file).substr(0, 16);
    file.replace(24, 16, fileCheck);
    return file;
}

}  // namespace tamsel::test
