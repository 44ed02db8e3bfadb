#pragma once
// The byte-level rules behind the string classes: hex, base64, UTF-16 to UTF-8 and narrowing,
// and the counted text comparison that every equality and enumeration lookup uses. They work on
// caller memory so that the value classes can write straight into their own arrays.
#include <cstdint>

class TextCodec {
public:
    static constexpr char HEX_DIGITS[] = "0123456789abcdef";
    static constexpr char BASE64_ALPHABET[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

    // Counted comparison: a length of -1 means up to the terminating zero.
    static bool equal(const char* a, std::int32_t aLength, const char* b, std::int32_t bLength);

    // out receives 2 * length digits.
    static void toHex(const std::uint8_t* bytes, std::int32_t length, char* out);
    // length / 2 bytes, or -1 when the text is odd, shorter than 2 or holds a non-digit.
    static std::int32_t fromHex(const char* text, std::int32_t length, std::uint8_t* out);

    static std::int64_t base64Length(std::int32_t length) { return (std::int64_t{length} + 2) / 3 * 4; }
    static void toBase64(const std::uint8_t* bytes, std::int32_t length, char* out);
    // The most bytes a text can decode to, from its length and trailing padding.
    static std::int64_t base64ExpectedLength(const char* text, std::int32_t length);
    // The decoded length, or -1 when the text is refused or would decode past capacity.
    static std::int32_t fromBase64(const char* text, std::int32_t length, std::uint8_t* out,
                                   std::int64_t capacity);

    // UTF-8 bytes of a UTF-16 text; an unpaired surrogate becomes U+FFFD. out may be null to
    // ask for the size only.
    static std::int64_t toUtf8(const char16_t* text, std::int32_t length, char* out);
    // Each unit below 128 kept, any other one "?".
    static void narrow(const char16_t* text, std::int32_t length, char* out);
    static void widen(const char* text, std::int32_t length, char16_t* out);
};
