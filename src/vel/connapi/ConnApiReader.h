#pragma once
// Reads the children of one received message element by local name. A child a message must carry
// that is missing or empty, bad hex or a boolean that is neither "true" nor "false" raises
// XmlException or ConversionException; the dispatcher answers either with fault 9.
#include <cstdint>

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"

class ConnApiReader {
public:
    explicit ConnApiReader(const SharedXmlNode& element) : m_element(element) {}

    bool has(const char* name) const { return m_element.findChild(name).isNonNull(); }
    SharedXmlNode child(const char* name) const { return m_element.findChild(name); }

    // "\"%s\" tag is required" when absent, "Empty \"%s\" tag." when it has no text.
    Ascii requiredText(const char* name) const;
    // Empty when absent or empty.
    Ascii optionalText(const char* name) const;
    // The same for a text of at most maxLength bytes; a longer one raises "Invalid \"%s\" length.".
    Ascii requiredText(const char* name, int maxLength) const;
    Ascii optionalText(const char* name, int maxLength) const;
    // The decimal value of a required child; out-of-range values saturate.
    std::int32_t requiredInt(const char* name) const;
    // "true" or "false"; absent gives `absent`, present but empty raises "Tag \"%s\" is empty".
    bool booleanChild(const char* name, bool absent) const;
    // Lower- or upper-case hex of a required child; a text that gives no bytes raises
    // "Invalid HEX representation.".
    ByteArray requiredHex(const char* name) const;

    // The decimal value of a text, saturating; no digits give 0.
    static std::int32_t decimal(const char* text);

private:
    SharedXmlNode m_element;
};
