#pragma once

#include "vel/string/Ascii.h"

class XmlDocument;

// Canonical XML 1.0 without comments. A document whose root is "Signature" is the signed part of an
// enveloped signature: the root itself and the white space between its children are left out.
Ascii xmlCanonicalize(const XmlDocument& document);
