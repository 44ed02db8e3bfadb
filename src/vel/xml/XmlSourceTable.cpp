#include "vel/xml/XmlSourceTable.h"

#include "vel/xml/XmlAuthenticationRecord.h"

namespace {

bool allows(const XmlSourceChoice& choice, std::int32_t recordKind) {
    return recordKind == XmlAuthenticationConstants::RECORD_MACHINE ? choice.machine : choice.user;
}

}  // namespace

SharedXmlNode XmlSourceTable::find(const SharedXmlNode& source, std::span<const XmlSourceChoice> choices,
                                   std::int32_t recordKind, std::int32_t& kind) {
    for (const XmlSourceChoice& choice : choices) {
        if (!allows(choice, recordKind)) continue;
        SharedXmlNode child = source.findChild(choice.name);
        if (child.isNull()) continue;
        kind = choice.kind;
        return child;
    }
    return SharedXmlNode();
}

const char* XmlSourceTable::nameOf(std::span<const XmlSourceChoice> choices, std::int32_t kind,
                                   std::int32_t recordKind) {
    for (const XmlSourceChoice& choice : choices) {
        if (choice.kind == kind && allows(choice, recordKind)) return choice.name;
    }
    return nullptr;
}
