#pragma once
// A configuration file's text as the debug log may show it: every value that may be a secret (an
// element with enciphered content, a saved credential) replaced by XML_MASK. The obfuscation of
// enciphered content is undone by anyone with the program, so a logged cipher value is a logged
// key.
#include <string>

namespace vel {

inline constexpr const char* XML_MASK = "***";

// The document of the text, masked and written out; empty when the text is no document.
std::string xmlMaskedText(const std::string& text);

}  // namespace vel
