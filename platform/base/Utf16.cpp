#include "platform/base/Utf16.h"

namespace base {
namespace {

constexpr char32_t REPLACEMENT = 0xFFFD;

bool isHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The next character of UTF-8 text at `at`, moving `at` past it. A malformed sequence yields
// U+FFFD and moves past its longest well-formed beginning, or one byte.
char32_t decodeUtf8(std::string_view text, std::size_t& at) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(at++);
    if (lead < 0x80) return lead;
    int extra;
    char32_t c;
    char32_t least;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1, c = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, c = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, c = lead & 0x07, least = 0x10000;
    } else {
        return REPLACEMENT;
    }
    for (int k = 0; k < extra; ++k) {
        if (at >= text.size() || (byte(at) & 0xC0) != 0x80) return REPLACEMENT;
        c = (c << 6) | (byte(at++) & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return REPLACEMENT;
    return c;
}

}  // namespace

std::size_t utf16ToUtf8(const char16_t* text, std::size_t length, char* out) {
    std::size_t n = 0;
    auto put = [&](char32_t byte) {
        if (out != nullptr) out[n] = static_cast<char>(byte);
        ++n;
    };
    for (std::size_t i = 0; i < length; ++i) {
        char32_t c = text[i];
        if (isHighSurrogate(c) && i + 1 < length && isLowSurrogate(text[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(text[++i]) - 0xDC00);
        } else if (isHighSurrogate(c) || isLowSurrogate(c)) {
            c = REPLACEMENT;
        }
        if (c < 0x80) {
            put(c);
        } else if (c < 0x800) {
            put(0xC0 | (c >> 6));
            put(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            put(0xE0 | (c >> 12));
            put(0x80 | ((c >> 6) & 0x3F));
            put(0x80 | (c & 0x3F));
        } else {
            put(0xF0 | (c >> 18));
            put(0x80 | ((c >> 12) & 0x3F));
            put(0x80 | ((c >> 6) & 0x3F));
            put(0x80 | (c & 0x3F));
        }
    }
    return n;
}

std::string utf16ToUtf8(std::u16string_view text) {
    std::string out(utf16ToUtf8(text.data(), text.size(), nullptr), '\0');
    utf16ToUtf8(text.data(), text.size(), out.data());
    return out;
}

std::u16string utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char32_t c = decodeUtf8(text, at);
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

}  // namespace base
