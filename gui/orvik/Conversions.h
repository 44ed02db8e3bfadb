#pragma once

#include <string>
#include <vector>

namespace orvik {

std::string toString(int value);
std::string toString(unsigned int value);
std::string toString(unsigned long value);
std::wstring toWString(int value);
std::wstring toWString(unsigned int value);

// Cuts the characters of `left` from the front and those of `right` from the back.
std::string trim(const std::string& text, const std::string& left, const std::string& right);

// Puts `escapeText` before every character of `text` found in `specials`; with `wrap` the result is
// also enclosed in `escapeText` (a double quote for both gives a quoted text with inner quotes doubled).
void escape(const std::string& escapeText, std::string& text, const std::string& specials, bool wrap);
void escape(const std::wstring& escapeText, std::wstring& text, const std::wstring& specials, bool wrap);
std::string escape(const std::string& escapeText, const std::string& text, const std::string& specials,
                   bool wrap);
std::wstring escape(const std::wstring& escapeText, const std::wstring& text, const std::wstring& specials,
                    bool wrap);

void toUpper(std::string& text);
void toUpper(std::wstring& text);
std::string toUpper(const std::string& text);
std::wstring toUpper(const std::wstring& text);
std::string toLower(const std::string& text);

// Exactly "true" or "false"; anything else raises orvik::Exception.
bool toBool(const std::string& text);
bool toBool(const std::wstring& text);

// UTF-8 to wide text and back; malformed input becomes U+FFFD rather than failing.
std::wstring toWide(const std::string& text);
std::string toNarrow(const std::wstring& text);

// Splits `text` at every character of `separators`, appending the pieces to `out`.
// Empty separators raise std::runtime_error.
void tokenize(const std::string& text, const std::string& separators, std::vector<std::string>& out,
              bool skipEmpty);

}  // namespace orvik
