#pragma once

#include <string>

#include "vel/libxml2/SharedXmlNode.h"

// What the readers of the configuration files and messages share. Every failure is an XmlException
// with the text a reader reports.
namespace vel {

std::string xmlChildText(const SharedXmlNode& node, const char* name);
std::string xmlRequiredText(const SharedXmlNode& node, const char* name);
// name null reads the node itself.
int xmlOptionalInt(const SharedXmlNode& node, const char* name);
int xmlRequiredInt(const SharedXmlNode& node, const char* name);
int xmlPositiveInt(const SharedXmlNode& node, const char* name);
// strtol with base 0: "0x" hexadecimal, a leading "0" octal; null is 0.
int xmlParseInt(const char* text);

std::string xmlHexEncode(const std::string& bytes);
std::string xmlHexDecode(const std::string& text);
std::string xmlEscape(const std::string& text);
std::string xmlUnescape(const std::string& text);

[[noreturn]] void xmlError(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace vel
