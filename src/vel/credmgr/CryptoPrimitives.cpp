#include "vel/credmgr/CryptoPrimitives.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include <ctime>
#include <memory>

#include "platform/base/LocalTime.h"

namespace {

struct CipherContextDeleter {
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};

}  // namespace

CryptoPrimitives::CipherResult CryptoPrimitives::aes128Cbc(bool encrypt, const std::uint8_t* key,
                                                           const std::uint8_t* iv, const std::uint8_t* in,
                                                           int length, std::uint8_t* out) {
    if (length < 0 || length % AES_BLOCK_SIZE != 0) return CipherResult::CIPHER_FAILED;
    std::unique_ptr<EVP_CIPHER_CTX, CipherContextDeleter> context(EVP_CIPHER_CTX_new());
    if (!context ||
        EVP_CipherInit_ex(context.get(), EVP_aes_128_cbc(), nullptr, key, iv, encrypt ? 1 : 0) != 1 ||
        EVP_CIPHER_CTX_set_padding(context.get(), 0) != 1) {
        return CipherResult::KEY_SETUP_FAILED;
    }
    int written = 0;
    int finalWritten = 0;
    if (length > 0 && EVP_CipherUpdate(context.get(), out, &written, in, length) != 1) {
        return CipherResult::CIPHER_FAILED;
    }
    if (EVP_CipherFinal_ex(context.get(), out + written, &finalWritten) != 1 ||
        written + finalWritten != length) {
        return CipherResult::CIPHER_FAILED;
    }
    return CipherResult::OK;
}

void CryptoPrimitives::seedFromLocalTime() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    base::localTime(now, local);
    const int fields[9] = {local.tm_sec,  local.tm_min,  local.tm_hour, local.tm_mday, local.tm_mon,
                           local.tm_year, local.tm_wday, local.tm_yday, local.tm_isdst};
    RAND_seed(fields, sizeof fields);
}

bool CryptoPrimitives::randomBytes(std::uint8_t* out, int count) {
    return count <= 0 || RAND_bytes(out, count) == 1;
}

bool CryptoPrimitives::randomReady() {
    return RAND_status() == 1;
}

bool CryptoPrimitives::sha1(const std::uint8_t* data, std::size_t length, std::uint8_t out[SHA1_SIZE]) {
    unsigned int size = 0;
    return EVP_Digest(data, length, out, &size, EVP_sha1(), nullptr) == 1 && size == SHA1_SIZE;
}

bool CryptoPrimitives::hmacSha1(const std::uint8_t* key, int keyLength, const std::uint8_t* data,
                                std::size_t length, std::uint8_t out[SHA1_SIZE]) {
    unsigned int size = 0;
    // HMAC takes a null key as "no key"; an empty one must still be a valid pointer.
    static const std::uint8_t none = 0;
    return HMAC(EVP_sha1(), keyLength > 0 ? key : &none, keyLength, length > 0 ? data : &none, length, out,
                &size) != nullptr &&
           size == SHA1_SIZE;
}
