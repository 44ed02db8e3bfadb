#pragma once

#include <cstdint>

#include "runtime/lum/Tag.h"
#include "vel/string/Ascii.h"

// "[mac=<number>,6,aa:bb:cc:dd:ee:ff]" for a 12-digit address text; nothing for any other text
// or when the buffer is too small.
class TagMacAddr : public Tag {
public:
    TagMacAddr(const Ascii& address, std::int32_t number)
        : Tag("mac", nullptr), m_address(address), m_number(number) {}

    int print(char* buffer, size_t size) const override;

private:
    Ascii m_address;
    std::int32_t m_number;
};
