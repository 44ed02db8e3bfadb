#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/com/Com.h"

namespace com {

// A type library as a module carries it, in text:
//   library <name> <{LIBID}> <major>.<minor>
//   coclass <name> <{CLSID}>            (any number)
struct TypeLibDescription {
    std::string name;
    GUID libid{};
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::vector<std::pair<std::string, CLSID>> coclasses;
};

bool ParseTypeLib(const std::string& text, TypeLibDescription* description);

// HKCR\TypeLib\{LIBID}\<major>.<minor> = name, with its "0\linux" (the module's path), "FLAGS"
// and "HELPDIR" subkeys.
HRESULT RegisterTypeLib(const std::string& text, const std::string& modulePath);
// Removes the version's key, and the library's key when no other version is left.
HRESULT UnRegisterTypeLib(const std::string& text);

}  // namespace com
