#include "vel/xml/XmlSchema.h"

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "runtime/lum/Assert.h"
#include "vel/exception/XmlException.h"

namespace vel {

namespace {

const char* const ENTITIES[][2] = {
    {"lt;", "<"}, {"quot;", "\""}, {"gt;", ">"}, {"amp;", "&"}, {"apos;", "'"}};

}  // namespace

Ascii xmlChildText(const SharedXmlNode& node, const char* name) {
    const char* text = node.childContent(name);
    return Ascii(text != nullptr ? text : "");
}

Ascii xmlRequiredText(const SharedXmlNode& node, const char* name) {
    SharedXmlNode child = node.findChild(name);
    if (child.isNull()) xmlError("\"%s\" tag is required", name);
    const char* text = child.content();
    if (text == nullptr || *text == '\0') xmlError("Empty \"%s\" tag.", name);
    return Ascii(text);
}

int xmlOptionalInt(const SharedXmlNode& node, const char* name) {
    if (!LUM_ASSERT(node.isNonNull())) return 0;
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

Ascii xmlHexEncode(const ByteArray& bytes) {
    return bytes.toHex();
}

ByteArray xmlHexDecode(const Ascii& text) {
    ByteArray bytes = ByteArray::fromHex(text);
    if (bytes.length() == 0) xmlError("Invalid HEX representation.");
    return bytes;
}

Ascii xmlEscape(const Ascii& text) {
    std::string escaped;
    for (int i = 0; i < text.length(); ++i) {
        const char c = text.text()[i];
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
    return Ascii(escaped.data(), static_cast<int>(escaped.size()));
}

Ascii xmlUnescape(const Ascii& text) {
    const std::string_view in(text.text(), text.length());
    std::string plain;
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] == '&') {
            bool matched = false;
            for (const auto& entity : ENTITIES) {
                const std::string_view name = entity[0];
                if (in.substr(i + 1, name.size()) == name) {
                    plain += entity[1];
                    i += name.size();
                    matched = true;
                    break;
                }
            }
            if (matched) continue;
        }
        plain += in[i];
    }
    return Ascii(plain.data(), static_cast<int>(plain.size()));
}

void xmlError(const char* format, ...) {
    if (!LUM_ASSERT(format)) format = "";
    thread_local char buffer[1024];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    XmlException::raise(__FILE__, __LINE__, buffer);
}

}  // namespace vel
