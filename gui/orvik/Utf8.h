#pragma once

#include <string>

namespace orvik::utf8 {

// Each malformed or truncated sequence (its longest valid beginning, or one byte) becomes U+FFFD.
std::wstring decode(const std::string& text);

// Code points that UTF-8 cannot carry (surrogates, values above U+10FFFF) become U+FFFD.
std::string encode(const std::wstring& text);

}  // namespace orvik::utf8
