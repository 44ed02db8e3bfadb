#pragma once

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"

// What the readers of the configuration files and messages share. Every failure is an XmlException
// with the text a reader reports.
namespace vel {

Ascii xmlChildText(const SharedXmlNode& node, const char* name);
Ascii xmlRequiredText(const SharedXmlNode& node, const char* name);
// name null reads the node itself.
int xmlOptionalInt(const SharedXmlNode& node, const char* name);
int xmlRequiredInt(const SharedXmlNode& node, const char* name);
int xmlPositiveInt(const SharedXmlNode& node, const char* name);
// strtol with base 0: "0x" hexadecimal, a leading "0" octal; null is 0.
int xmlParseInt(const char* text);

Ascii xmlHexEncode(const ByteArray& bytes);
ByteArray xmlHexDecode(const Ascii& text);
Ascii xmlEscape(const Ascii& text);
Ascii xmlUnescape(const Ascii& text);

// The text stays valid until the next xmlError of the same thread: long enough for the catcher.
[[noreturn]] void xmlError(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace vel
