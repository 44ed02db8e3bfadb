#include "vel/string/TextCodec.h"

#include <cctype>
#include <cstring>

#include "platform/base/Utf16.h"

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

int base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

bool isBase64Space(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

bool TextCodec::equal(const char* a, std::int32_t aLength, const char* b, std::int32_t bLength) {
    if (aLength < -1 || bLength < -1) return false;
    if ((!a && aLength > 0) || (!b && bLength > 0)) return false;
    if (!a || !b) return a == b;
    std::size_t aSize = aLength == -1 ? std::strlen(a) : static_cast<std::size_t>(aLength);
    std::size_t bSize = bLength == -1 ? std::strlen(b) : static_cast<std::size_t>(bLength);
    return aSize == bSize && std::memcmp(a, b, aSize) == 0;
}

void TextCodec::toHex(const std::uint8_t* bytes, std::int32_t length, char* out) {
    for (std::int32_t i = 0; i < length; ++i) {
        out[2 * i] = HEX_DIGITS[bytes[i] >> 4];
        out[2 * i + 1] = HEX_DIGITS[bytes[i] & 0x0F];
    }
}

std::int32_t TextCodec::fromHex(const char* text, std::int32_t length, std::uint8_t* out) {
    if (!text || length < 2 || length % 2 != 0) return -1;
    for (std::int32_t i = 0; i < length; i += 2) {
        int high = hexValue(text[i]);
        int low = hexValue(text[i + 1]);
        if (high < 0 || low < 0) return -1;
        out[i / 2] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return length / 2;
}

void TextCodec::toBase64(const std::uint8_t* bytes, std::int32_t length, char* out) {
    std::int32_t o = 0;
    for (std::int32_t i = 0; i < length; i += 3) {
        std::uint32_t group = std::uint32_t{bytes[i]} << 16;
        if (i + 1 < length) group |= std::uint32_t{bytes[i + 1]} << 8;
        if (i + 2 < length) group |= bytes[i + 2];
        out[o++] = BASE64_ALPHABET[(group >> 18) & 0x3F];
        out[o++] = BASE64_ALPHABET[(group >> 12) & 0x3F];
        out[o++] = i + 1 < length ? BASE64_ALPHABET[(group >> 6) & 0x3F] : '=';
        out[o++] = i + 2 < length ? BASE64_ALPHABET[group & 0x3F] : '=';
    }
}

std::int64_t TextCodec::base64ExpectedLength(const char* text, std::int32_t length) {
    if (!text || length <= 0) return 0;
    std::int64_t expected = (std::int64_t{length} + 3) / 4 * 3;
    if (text[length - 1] == '=') --expected;
    if (length >= 2 && text[length - 2] == '=') --expected;
    return expected;
}

std::int32_t TextCodec::fromBase64(const char* text, std::int32_t length, std::uint8_t* out,
                                   std::int64_t capacity) {
    if (!text || length < 0) return -1;
    std::int64_t written = 0;
    int values[4];
    int significant = 0;  // characters of the current group, data and padding
    int data = 0;         // data characters of the current group
    // A group of d data characters decodes to d - 1 bytes; one alone cannot hold a byte, and a
    // group of padding only holds nothing anyone wrote.
    auto flush = [&]() -> bool {
        if (significant == 0) return true;
        if (data < 2) return false;
        std::uint32_t bits = 0;
        for (int i = 0; i < 4; ++i) bits = bits << 6 | static_cast<std::uint32_t>(i < data ? values[i] : 0);
        if (written + data - 1 > capacity) return false;
        for (int i = 0; i < data - 1; ++i) out[written++] = static_cast<std::uint8_t>(bits >> (16 - 8 * i));
        significant = data = 0;
        return true;
    };
    for (std::int32_t i = 0; i < length; ++i) {
        char c = text[i];
        if (isBase64Space(c)) continue;
        if (c == '=') {
            ++significant;
        } else {
            int value = base64Value(c);
            if (value < 0 || significant != data) return -1;
            values[data++] = value;
            ++significant;
        }
        if (significant == 4 && !flush()) return -1;
    }
    if (!flush()) return -1;
    return static_cast<std::int32_t>(written);
}

std::int64_t TextCodec::toUtf8(const char16_t* text, std::int32_t length, char* out) {
    if (length <= 0) return 0;
    return static_cast<std::int64_t>(base::utf16ToUtf8(text, static_cast<std::size_t>(length), out));
}

void TextCodec::narrow(const char16_t* text, std::int32_t length, char* out) {
    for (std::int32_t i = 0; i < length; ++i) out[i] = text[i] < 128 ? static_cast<char>(text[i]) : '?';
}

void TextCodec::widen(const char* text, std::int32_t length, char16_t* out) {
    for (std::int32_t i = 0; i < length; ++i) out[i] = static_cast<unsigned char>(text[i]);
}
