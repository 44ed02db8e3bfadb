#pragma once
// Every element and attribute a lab file may hold, with the kind of value each takes. The reader,
// the run/lab commands that change the world and the accessors of the stand-ins all go through
// this one table, so a value is checked the same way wherever it comes from.
#include <string>
#include <vector>

namespace lab {

enum class ValueKind {
    Text,      // any text; max: longest length in bytes (0: no limit), min: shortest
    Guid,      // "{8-4-4-4-12}" hexadecimal, 38 characters
    Choice,    // one word of `choices` (space-separated)
    Bool,      // "true" or "false"
    Int,       // decimal (or 0x hexadecimal) from min to max
    Mac,       // six hexadecimal pairs separated by ':'
    Hex,       // hexadecimal bytes (blanks, ':' and '-' between digits are allowed); min/max bytes
    Ipv4,      // dotted quad
    Letters,   // one or more different letters of `choices`
    Security,  // one or two association-mode texts separated by a blank
    IntList,   // integers from min to max separated by blanks or commas
    File,      // a path, relative to the lab file's folder
    Version,   // "a.b.c.d"
    Time,      // "YYYY-MM-DD" or "YYYY-MM-DD hh:mm:ss" (UTC)
    Count,     // "always" or an integer from 0 (0 is always too)
    Command,   // a run/lab command line
};

struct AttributeSpec {
    const char* name;
    ValueKind kind;
    const char* choices = "";
    long long min = 0;
    long long max = 0;
    const char* defaultValue = "";  // what an accessor answers when the attribute is absent
};

struct ElementSpec {
    const char* name;
    const char* key = nullptr;     // unique among the elements of this name; addresses it in commands
    const char* altKey = nullptr;  // a second unique name that addresses it too
    bool single = false;           // at most one in a lab
    std::vector<AttributeSpec> attributes;
    std::vector<const char*> required;
    const char* child = nullptr;  // the one child element it may hold (its spec is childSpec())
};

// The spec of a lab element, or null for a name the lab does not know.
const ElementSpec* elementSpec(const std::string& name);
// The spec of <oid> below <adapter>.
const ElementSpec& childSpec();
const AttributeSpec* attributeSpec(const ElementSpec& element, const std::string& name);
// Every top-level element name, in the order the lab documents them.
std::vector<std::string> elementNames();

// Checks one value. On success the canonical form (a resolved path for files, lower-case
// hexadecimal for MAC addresses) is in `value`; on failure the reason is in `error`.
bool checkValue(const AttributeSpec& spec, const std::string& text, const std::string& labFolder,
                std::string* value, std::string* error);

// The association and encryption numbers of an association-mode text of the project
// (e.g. "wpa2PersonalAes" is 7 and 4); false for another text.
bool securityMode(const std::string& text, int* association, int* encryption);

// Splits a Security, IntList or Letters value into its parts.
std::vector<std::string> splitWords(const std::string& text);

}  // namespace lab
