#include "vel/xml/XmlSchema.h"

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "runtime/lum/Assert.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/exception/XmlException.h"
#include "vel/timer/TimerConstants.h"

namespace vel {

namespace {

const char* const ENTITIES[][2] = {
    {"lt;", "<"}, {"quot;", "\""}, {"gt;", ">"}, {"amp;", "&"}, {"apos;", "'"}};

}  // namespace

Ascii xmlChildText(const SharedXmlNode& node, const char* name) {
    const char* text = node.childContent(name);
    return Ascii(text != nullptr ? text : "");
}

SharedXmlNode xmlRequiredChild(const SharedXmlNode& node, const char* name, const char* message) {
    SharedXmlNode child = node.findChild(name);
    if (child.isNull()) xmlError(message, name);
    return child;
}

Ascii xmlRequiredText(const SharedXmlNode& node, const char* name) {
    SharedXmlNode child = xmlRequiredChild(node, name, XmlMessages::TAG_REQUIRED_WITHOUT_STOP);
    const char* text = child.content();
    if (text == nullptr || *text == '\0') xmlError(XmlMessages::EMPTY_TAG, name);
    return Ascii(text);
}

bool xmlRequiredBool(const SharedXmlNode& node, const char* name) {
    const char* text = xmlRequiredChild(node, name).content();
    if (text == nullptr || *text == '\0') xmlError(XmlMessages::TAG_IS_EMPTY_WITHOUT_STOP, name);
    return TextToBool(text) != 0;
}

bool xmlOptionalBool(const SharedXmlNode& node, const char* name) {
    SharedXmlNode child = node.findChild(name);
    if (child.isNull()) return false;
    const char* text = child.content();
    return TextToBool(text != nullptr ? text : "") != 0;
}

int xmlRequiredAttributeInt(const SharedXmlNode& node, const char* name, const char* message) {
    XmlString value = node.attribute(name);
    if (value.isNull()) xmlError(message, name);
    return xmlParseInt(value.text());
}

void xmlCheckReferenceFalse(const SharedXmlNode& node) {
    static constexpr const char* REFERENCE = "reference";
    XmlString reference = node.attribute(REFERENCE);
    if (!reference.isNull() && std::strcmp(reference.text(), "false") != 0) {
        xmlError(XmlMessages::ATTRIBUTE_SHOULD_BE_FALSE, REFERENCE);
    }
}

SharedXmlNode xmlFirstElementChild(const SharedXmlNode& node) {
    SharedXmlNode child = node.firstChild();
    while (child.isNonNull() && !child.isElement()) child = child.nextSibling();
    return child;
}

SharedXmlNode xmlNextElementSibling(const SharedXmlNode& node) {
    SharedXmlNode sibling = node.nextSibling();
    while (sibling.isNonNull() && !sibling.isElement()) sibling = sibling.nextSibling();
    return sibling;
}

int xmlOptionalInt(const SharedXmlNode& node, const char* name) {
    if (!LUM_ASSERT(node.isNonNull())) return 0;
    SharedXmlNode child = name != nullptr ? node.findChild(name) : node;
    return child.isNonNull() ? xmlParseInt(child.content()) : 0;
}

int xmlRequiredInt(const SharedXmlNode& node, const char* name) {
    const char* text = xmlRequiredChild(node, name).content();
    if (text == nullptr || *text == '\0') xmlError(XmlMessages::EMPTY_TAG, name);
    return xmlParseInt(text);
}

int xmlPositiveInt(const SharedXmlNode& node, const char* name) {
    int value = xmlRequiredInt(node, name);
    if (value <= 0) xmlError(XmlMessages::POSITIVE_INTEGER_REQUIRED, name);
    return value;
}

int xmlTimeout(const SharedXmlNode& node, const char* name) {
    int value = xmlPositiveInt(node, name);
    if (value > TimerConstants::MAX_TIMEOUT_S)
        xmlError(XmlMessages::TIMEOUT_TOO_LONG, name, TimerConstants::MAX_TIMEOUT_S);
    return value;
}

int xmlOptionalTimeout(const SharedXmlNode& node, const char* name) {
    int value = xmlOptionalInt(node, name);
    if (value < 0) xmlError(XmlMessages::POSITIVE_INTEGER_REQUIRED, name);
    if (value > TimerConstants::MAX_TIMEOUT_S)
        xmlError(XmlMessages::TIMEOUT_TOO_LONG, name, TimerConstants::MAX_TIMEOUT_S);
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

Ascii xmlIntText(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return Ascii(text);
}

Ascii xmlHexEncode(const ByteArray& bytes) {
    return bytes.toHex();
}

ByteArray xmlHexDecode(const Ascii& text) {
    ByteArray bytes = ByteArray::fromHex(text);
    if (bytes.length() == 0) xmlErrorText(XmlMessages::INVALID_HEX);
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

void xmlErrorText(const char* text) {
    XmlException::raise(__FILE__, __LINE__, text);
}

}  // namespace vel
