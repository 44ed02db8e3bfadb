#pragma once
// The children of a credential source element and which record kinds may use them, in the order
// they are looked up; what the three source readers and writers share.
#include <cstdint>
#include <span>

#include "vel/libxml2/SharedXmlNode.h"

struct XmlSourceChoice {
    const char* name;
    std::int32_t kind;
    bool machine;
    bool user;
};

class XmlSourceTable {
public:
    // The first child of the table that the record kind may use, or null.
    static SharedXmlNode find(const SharedXmlNode& source, std::span<const XmlSourceChoice> choices,
                              std::int32_t recordKind, std::int32_t& kind);
    // The element of the kind for the record kind, or null when it has none.
    static const char* nameOf(std::span<const XmlSourceChoice> choices, std::int32_t kind,
                              std::int32_t recordKind);
};
