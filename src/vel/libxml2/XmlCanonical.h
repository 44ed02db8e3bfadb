#pragma once

#include <string>

class XmlDocument;

// Canonical XML 1.0 without comments. A document whose root is "Signature" is the signed part of an
// enveloped signature: the root itself and the white space between its children are left out.
std::string xmlCanonicalize(const XmlDocument& document);
