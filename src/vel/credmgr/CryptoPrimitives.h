#pragma once
// The few libcrypto operations that stored credentials, PAC files and enciphered configuration
// content share, each reduced to a result the caller turns into its own log line or error.
#include <cstddef>
#include <cstdint>

class CryptoPrimitives {
public:
    static constexpr int AES_BLOCK_SIZE = 16;
    static constexpr int AES128_KEY_SIZE = 16;
    static constexpr int SHA1_SIZE = 20;

    enum class CipherResult { OK, KEY_SETUP_FAILED, CIPHER_FAILED };

    // AES-128-CBC over whole blocks with standard padding off: `out` receives `length` bytes.
    static CipherResult aes128Cbc(bool encrypt, const std::uint8_t* key, const std::uint8_t* iv,
                                  const std::uint8_t* in, int length, std::uint8_t* out);

    // Mixes the local calendar time (nine ints: second to daylight flag) into the generator.
    static void seedFromLocalTime();
    // False when the generator could not give the bytes.
    static bool randomBytes(std::uint8_t* out, int count);
    // False when the generator holds too little randomness to draw from.
    static bool randomReady();

    static bool sha1(const std::uint8_t* data, std::size_t length, std::uint8_t out[SHA1_SIZE]);
    static bool hmacSha1(const std::uint8_t* key, int keyLength, const std::uint8_t* data, std::size_t length,
                         std::uint8_t out[SHA1_SIZE]);
};
