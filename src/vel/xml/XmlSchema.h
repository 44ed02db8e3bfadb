#pragma once

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"
#include "vel/xml/XmlMessages.h"

// What the readers of the configuration files and messages share. Every failure is an XmlException
// with the text a reader reports (XmlMessages); a text outside an enumeration's table raises that
// table's ConversionException.
namespace vel {

Ascii xmlChildText(const SharedXmlNode& node, const char* name);
// The named child element; a missing one raises the message with the name.
SharedXmlNode xmlRequiredChild(const SharedXmlNode& node, const char* name,
                               const char* message = XmlMessages::TAG_REQUIRED);
// "true" or "false"; a missing child raises "tag is required.", an empty one "Tag is empty".
bool xmlRequiredBool(const SharedXmlNode& node, const char* name);
// False when the child is absent.
bool xmlOptionalBool(const SharedXmlNode& node, const char* name);
// An integer attribute; a missing one raises the message with the name.
int xmlRequiredAttributeInt(const SharedXmlNode& node, const char* name, const char* message);
// An attribute "reference", when present, must say "false"; any other text is refused with the
// same message.
void xmlCheckReferenceFalse(const SharedXmlNode& node);
// Element children only: text and comments between them are skipped.
SharedXmlNode xmlFirstElementChild(const SharedXmlNode& node);
SharedXmlNode xmlNextElementSibling(const SharedXmlNode& node);
Ascii xmlRequiredText(const SharedXmlNode& node, const char* name);
// name null reads the node itself.
int xmlOptionalInt(const SharedXmlNode& node, const char* name);
int xmlRequiredInt(const SharedXmlNode& node, const char* name);
int xmlPositiveInt(const SharedXmlNode& node, const char* name);
// A timeout in seconds that a timer can run: a positive integer of at most
// TimerConstants::MAX_TIMEOUT_S.
int xmlTimeout(const SharedXmlNode& node, const char* name);
// The same for an optional one, 0 when absent.
int xmlOptionalTimeout(const SharedXmlNode& node, const char* name);
// strtol with base 0: "0x" hexadecimal, a leading "0" octal; null is 0. Values beyond 32 bits
// saturate: "4294967301" is INT_MAX, never 5.
int xmlParseInt(const char* text);

// An integer as the writers write it, in decimal.
Ascii xmlIntText(int value);

Ascii xmlHexEncode(const ByteArray& bytes);
ByteArray xmlHexDecode(const Ascii& text);
Ascii xmlEscape(const Ascii& text);
Ascii xmlUnescape(const Ascii& text);

// The text stays valid until the next xmlError of the same thread: long enough for the catcher.
[[noreturn]] void xmlError(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A message that takes no arguments.
[[noreturn]] void xmlErrorText(const char* text);

}  // namespace vel
