#pragma once

#include <cstdint>

#include "vel/libxml2/SharedXmlNode.h"
#include "vel/libxml2/XmlParentBase.h"

// An openNetwork element: its connection type (1 machine, 2 user, 3 machine and user).
class Xml_OpenNetwork {
public:
    static std::int32_t Read(const SharedXmlNode& node);
    // Nothing inside for a type that has no element.
    static void Write(XmlParentBase& parent, std::int32_t connectionType);
};
