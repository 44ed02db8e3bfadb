#pragma once
// The process-wide holder of the built-in key string (stored credential texts derive their AES key
// from it; enciphered configuration content uses it as it stands) and of a copy of the CRC-32
// table. Made by the first use, from whichever thread; destroyed by the service's shut-down.
#include <atomic>

#include "runtime/lum/Crc32.h"
#include "vel/string/Ascii.h"

class CredentialKeyHolder {
public:
    static constexpr int KEY_STRING_LENGTH = 16;

    static CredentialKeyHolder& instance();
    // The next use makes a new holder.
    static void destroy();
    // Whether a holder is made: none is left after the service's shut-down.
    static bool exists() { return s_instance.load(std::memory_order_acquire) != nullptr; }

    Ascii keyString() const { return m_keyString; }
    void crcTable(Crc32::Table& out) const { out = m_crcTable; }
    std::uint32_t crc(const std::uint8_t* data, std::size_t length) const {
        return Crc32::compute(m_crcTable, 0, data, length);
    }

private:
    CredentialKeyHolder();
    CredentialKeyHolder(const CredentialKeyHolder&) = delete;
    CredentialKeyHolder& operator=(const CredentialKeyHolder&) = delete;

    Ascii m_keyString;
    Crc32::Table m_crcTable;

    static std::atomic<CredentialKeyHolder*> s_instance;
};
