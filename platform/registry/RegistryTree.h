#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace registry {

// Registry names compare without regard to ASCII case.
struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
};
bool equalsNoCase(const std::string& a, const std::string& b);

struct RegistryValue {
    std::string name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};

struct RegistryKeyNode {
    std::string name;
    std::vector<RegistryValue> values;
    std::map<std::string, std::unique_ptr<RegistryKeyNode>, NoCaseLess> subkeys;

    RegistryValue* findValue(const std::string& valueName);
    RegistryKeyNode* findSubkey(const std::string& keyName);
};

// The machine hive in memory and its text form:
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Varnel]        one line per key, parents before children
//   "Name"=sz:"text"  @=expand_sz:"..."         the default value is @
//   "N"=dword:80000000  "M"=multi_sz:"a","b"  "B"=hex:01,ff  "X"=hex(9):00
// Data that does not have its type's usual form (a string without its null, a number of other
// than four bytes) is written as hex(type) so that every value reads back byte for byte.
class RegistryTree {
public:
    static constexpr const char* ROOT_NAME = "HKEY_LOCAL_MACHINE";

    RegistryTree();

    RegistryKeyNode& root() { return *root_; }
    RegistryKeyNode* find(const std::vector<std::string>& path);
    RegistryKeyNode& create(const std::vector<std::string>& path, bool* created);
    // Removes the key at a non-empty path with everything below it; false when it is absent.
    bool remove(const std::vector<std::string>& path);

    std::string serialize() const;
    // False when the text is not a registry file; `out` is then unspecified.
    static bool parse(const std::string& text, RegistryTree& out);

private:
    std::unique_ptr<RegistryKeyNode> root_;
};

}  // namespace registry
