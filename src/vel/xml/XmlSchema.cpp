#include "vel/xml/XmlSchema.h"

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "vel/libxml2/XmlFailure.h"

namespace vel {

namespace {

const char* const ENTITIES[][2] = {
    {"lt;", "<"}, {"quot;", "\""}, {"gt;", ">"}, {"amp;", "&"}, {"apos;", "'"}};

}  // namespace

std::string xmlChildText(const SharedXmlNode& node, const char* name) {
    const char* text = node.childContent(name);
    return text != nullptr ? text : "";
}

std::string xmlRequiredText(const SharedXmlNode& node, const char* name) {
    SharedXmlNode child = node.findChild(name);
    if (child.isNull()) xmlError("\"%s\" tag is required", name);
    const char* text = child.content();
    if (text == nullptr || *text == '\0') xmlError("Empty \"%s\" tag.", name);
    return text;
}

int xmlOptionalInt(const SharedXmlNode& node, const char* name) {
    if (!XML_CHECK(node.isNonNull())) return 0;
    SharedXmlNode child = name != nullptr ? node.findChild(name) : node;
    return child.isNonNull() ? xmlParseInt(child.content()) : 0;
}

int xmlRequiredInt(const SharedXmlNode& node, const char* name) {
    SharedXmlNode child = node.findChild(name);
    if (child.isNull()) xmlError("\"%s\" tag is required.", name);
    const char* text = child.content();
    if (text == nullptr || *text == '\0') xmlError("Empty \"%s\" tag.", name);
    return xmlParseInt(text);
}

int xmlPositiveInt(const SharedXmlNode& node, const char* name) {
    int value = xmlRequiredInt(node, name);
    if (value <= 0) xmlError("Positive integer value required in \"%s\" tag.", name);
    return value;
}

int xmlParseInt(const char* text) {
    if (text == nullptr) return 0;
    // long is 32 bits where these files come from: out-of-range values saturate, never wrap.
    long value = std::strtol(text, nullptr, 0);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

std::string xmlHexEncode(const std::string& bytes) {
    static const char DIGITS[] = "0123456789abcdef";
    std::string text;
    for (unsigned char byte : bytes) {
        text += DIGITS[byte >> 4];
        text += DIGITS[byte & 0x0F];
    }
    return text;
}

std::string xmlHexDecode(const std::string& text) {
    auto digit = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string bytes;
    if (text.size() % 2 == 0) {
        for (size_t i = 0; i + 1 < text.size(); i += 2) {
            int high = digit(text[i]);
            int low = digit(text[i + 1]);
            if (high < 0 || low < 0) {
                bytes.clear();
                break;
            }
            bytes += static_cast<char>(high << 4 | low);
        }
    }
    if (bytes.empty()) xmlError("Invalid HEX representation.");
    return bytes;
}

std::string xmlEscape(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
            case '<':
                escaped += "&lt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '&':
                escaped += "&amp;";
                break;
            case '\'':
                escaped += "&apos;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string xmlUnescape(const std::string& text) {
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            bool matched = false;
            for (const auto& entity : ENTITIES) {
                size_t length = std::strlen(entity[0]);
                if (text.compare(i + 1, length, entity[0]) == 0) {
                    plain += entity[1];
                    i += length;
                    matched = true;
                    break;
                }
            }
            if (matched) continue;
        }
        plain += text[i];
    }
    return plain;
}

void xmlError(const char* format, ...) {
    if (!XML_CHECK(format)) format = "";
    char buffer[1024];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    XML_RAISE(buffer);
}

}  // namespace vel
