#pragma once
// Writes the children of a message element in the catalogue's text forms: texts as given,
// integers "%d", booleans "true"/"false", bytes as lower-case hex, repeated children under a
// container marked type="array".
#include <cstdint>

#include "vel/libxml2/XmlParentNode.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"

class ConnApiWriter {
public:
    static void text(XmlParentNode& parent, const char* name, const Ascii& value);
    static void text(XmlParentNode& parent, const char* name, const char* value);
    // Only when the text is not empty.
    static void textUnlessEmpty(XmlParentNode& parent, const char* name, const Ascii& value);
    static void integer(XmlParentNode& parent, const char* name, std::int32_t value);
    static void boolean(XmlParentNode& parent, const char* name, bool value);
    static void hex(XmlParentNode& parent, const char* name, const ByteArray& bytes);
    // A child element to fill, e.g. a structure.
    static XmlParentNode element(XmlParentNode& parent, const char* name);
    static XmlParentNode array(XmlParentNode& parent, const char* name);
};
