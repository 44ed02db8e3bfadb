#include "vel/connapi/ConnApiReader.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "vel/enumtostring/EnumConversions.h"
#include "vel/xml/XmlSchema.h"

Ascii ConnApiReader::requiredText(const char* name) const {
    return vel::xmlRequiredText(m_element, name);
}

Ascii ConnApiReader::optionalText(const char* name) const {
    return vel::xmlChildText(m_element, name);
}

namespace {

Ascii bounded(const Ascii& text, const char* name, int maxLength) {
    if (text.length() > maxLength) vel::xmlError("Invalid \"%s\" length.", name);
    return text;
}

}  // namespace

Ascii ConnApiReader::requiredText(const char* name, int maxLength) const {
    return bounded(requiredText(name), name, maxLength);
}

Ascii ConnApiReader::optionalText(const char* name, int maxLength) const {
    return bounded(optionalText(name), name, maxLength);
}

std::int32_t ConnApiReader::requiredInt(const char* name) const {
    return decimal(requiredText(name).text());
}

bool ConnApiReader::booleanChild(const char* name, bool absent) const {
    SharedXmlNode node = m_element.findChild(name);
    if (node.isNull()) return absent;
    const char* text = node.content();
    if (text == nullptr || *text == '\0') vel::xmlError("Tag \"%s\" is empty", name);
    return TextToBool(text) != 0;
}

ByteArray ConnApiReader::requiredHex(const char* name) const {
    return vel::xmlHexDecode(requiredText(name));
}

std::int32_t ConnApiReader::decimal(const char* text) {
    if (text == nullptr) return 0;
    long long value = std::strtoll(text, nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<std::int32_t>(value);
}
