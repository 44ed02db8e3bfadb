#pragma once

#include <cstdint>

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"

// A credential storage element (cachePasswordFromUser and its siblings): exactly one child named
// forever (1), tilLogout (2) or never (3).
class Xml_CredentialStorage {
public:
    static std::int32_t Read(const SharedXmlNode& node);
    // Writes nothing for 0, no storage given.
    static void Write(XmlParentBase& parent, std::int32_t storage, const char* name);
};
