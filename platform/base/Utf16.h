#pragma once
// UTF-16 (Windows texts, kernel names) to UTF-8 (file names, logs) and back. A surrogate pair is
// one character; a lone surrogate becomes U+FFFD, and so does each malformed UTF-8 sequence, so
// that both results are always valid.
#include <cstddef>
#include <string>
#include <string_view>

namespace base {

// Writes the UTF-8 bytes of `length` units to out, which may be null to ask for the size only;
// returns the number of bytes.
std::size_t utf16ToUtf8(const char16_t* text, std::size_t length, char* out);
std::string utf16ToUtf8(std::u16string_view text);

std::u16string utf8ToUtf16(std::string_view text);

}  // namespace base
