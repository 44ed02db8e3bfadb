#include "gui/orvik/Conversions.h"

#include <cctype>
#include <cwctype>
#include <sstream>
#include <stdexcept>

#include "gui/orvik/Exception.h"
#include "gui/orvik/Utf8.h"

namespace orvik {

namespace {

template <typename Char, typename Value>
std::basic_string<Char> decimal(Value value) {
    std::basic_ostringstream<Char> out;
    out << value;
    return out.str();
}

template <typename String>
void escapeInPlace(const String& escapeText, String& text, const String& specials, bool wrap) {
    auto pos = text.find_first_of(specials);
    while (pos != String::npos) {
        text.insert(pos, escapeText);
        // Resume behind the escaped character so that it is not found a second time.
        pos = text.find_first_of(specials, pos + escapeText.size() + 1);
    }
    if (wrap) {
        text = escapeText + text + escapeText;
    }
}

}  // namespace

std::string toString(int value) {
    return decimal<char>(value);
}
std::string toString(unsigned int value) {
    return decimal<char>(value);
}
std::string toString(unsigned long value) {
    return decimal<char>(value);
}
std::wstring toWString(int value) {
    return decimal<wchar_t>(value);
}
std::wstring toWString(unsigned int value) {
    return decimal<wchar_t>(value);
}

std::string trim(const std::string& text, const std::string& left, const std::string& right) {
    if (text.empty()) {
        return text;
    }
    const auto first = text.find_first_not_of(left);
    if (first == std::string::npos) {
        return std::string();
    }
    const auto last = text.find_last_not_of(right);
    // Unsigned on purpose: with no kept character on the right the length wraps and reaches the end.
    return text.substr(first, last - first + 1);
}

void escape(const std::string& escapeText, std::string& text, const std::string& specials, bool wrap) {
    escapeInPlace(escapeText, text, specials, wrap);
}

void escape(const std::wstring& escapeText, std::wstring& text, const std::wstring& specials, bool wrap) {
    escapeInPlace(escapeText, text, specials, wrap);
}

std::string escape(const std::string& escapeText, const std::string& text, const std::string& specials,
                   bool wrap) {
    std::string copy(text);
    escapeInPlace(escapeText, copy, specials, wrap);
    return copy;
}

std::wstring escape(const std::wstring& escapeText, const std::wstring& text, const std::wstring& specials,
                    bool wrap) {
    std::wstring copy(text);
    escapeInPlace(escapeText, copy, specials, wrap);
    return copy;
}

void toUpper(std::string& text) {
    for (auto& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
}

void toUpper(std::wstring& text) {
    for (auto& c : text) {
        c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    }
}

std::string toUpper(const std::string& text) {
    std::string copy(text);
    toUpper(copy);
    return copy;
}

std::wstring toUpper(const std::wstring& text) {
    std::wstring copy(text);
    toUpper(copy);
    return copy;
}

std::string toLower(const std::string& text) {
    std::string copy(text);
    for (auto& c : copy) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return copy;
}

bool toBool(const std::string& text) {
    if (text == "true") {
        return true;
    }
    if (text == "false") {
        return false;
    }
    throw Exception(ORVIK_LOCATED("Cannot convert \"" + text + "\" to a boolean!"));
}

bool toBool(const std::wstring& text) {
    if (text == L"true") {
        return true;
    }
    if (text == L"false") {
        return false;
    }
    const std::string location = ORVIK_LOCATED("");
    throw Exception(toWide(location) + L"Cannot convert \"" + text + L"\" to a boolean!");
}

std::wstring toWide(const std::string& text) {
    // Malformed sequences become U+FFFD, so the conversion itself cannot fail.
    return utf8::decode(text);
}

std::string toNarrow(const std::wstring& text) {
    // Surrogates and values beyond U+10FFFF become U+FFFD, so the conversion itself cannot fail.
    return utf8::encode(text);
}

void tokenize(const std::string& text, const std::string& separators, std::vector<std::string>& out,
              bool skipEmpty) {
    if (text.empty()) {
        return;
    }
    if (separators.empty()) {
        throw std::runtime_error("tokenize() -- separators cannot be empty.");
    }
    std::string token;
    for (const char c : text) {
        if (separators.find(c) != std::string::npos) {
            if (!token.empty() || !skipEmpty) {
                out.push_back(token);
            }
            token.clear();
        } else {
            token += c;
        }
    }
    if (!token.empty() || !skipEmpty) {
        out.push_back(token);
    }
}

}  // namespace orvik
