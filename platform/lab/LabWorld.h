#pragma once
// The world a lab describes: its elements as the file (and later run/lab commands) gave them,
// every value already checked against the schema. Stand-ins read values through the typed
// accessors, which answer the schema's default for an absent attribute.
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/lab/LabSchema.h"

namespace lab {

class Element {
public:
    Element() = default;
    Element(std::string name, int line) : m_name(std::move(name)), m_line(line) {}

    const std::string& name() const { return m_name; }
    // The line of the lab file, 0 for an element a command added.
    int line() const { return m_line; }

    bool has(const std::string& attribute) const;
    // The value, else the schema's default ("" when there is none).
    std::string text(const std::string& attribute) const;
    long long integer(const std::string& attribute) const;
    bool flag(const std::string& attribute) const;
    // A Hex or Mac value as bytes.
    std::vector<uint8_t> bytes(const std::string& attribute) const;

    const std::vector<std::pair<std::string, std::string>>& attributes() const { return m_attributes; }
    const std::vector<Element>& children() const { return m_children; }

    // Checks and sets (or replaces) one attribute. False with the reason when the element has no
    // such attribute or the value is bad.
    bool set(const std::string& attribute, const std::string& value, const std::string& labFolder,
             std::string* error);
    // Drops one attribute; its default applies again.
    void unset(const std::string& attribute);
    void addChild(Element child) { m_children.push_back(std::move(child)); }
    // The rules across attributes: required ones present, exclusive ones apart, inner methods.
    bool complete(std::string* error) const;

    // "adapter name=\"{...}\" friendly=\"eth0\"": how a command or a message names it.
    std::string describe() const;

private:
    const ElementSpec* spec() const;

    std::string m_name;
    int m_line = 0;
    std::vector<std::pair<std::string, std::string>> m_attributes;
    std::vector<Element> m_children;
};

class World {
public:
    // The file the world was read from ("" for none) and its folder, which relative files start from.
    std::string file;
    std::string folder;

    // The elements of one name, in the order they came.
    const std::vector<Element>& all(const std::string& name) const;
    // The element whose key (or second key) has this value; null when none.
    const Element* find(const std::string& name, const std::string& keyValue) const;
    // An element as a file or command gives it, checked against its neighbours (unique keys, one
    // of a single element) and, unless a whole file is being read (checkReferences follows), its
    // references to adapters and access points. False with the reason.
    bool add(Element element, bool checkReferencesNow, std::string* error);
    // Changes attributes of the element addressed by its key (or the single element when keyValue
    // is empty). Key attributes cannot change.
    bool set(const std::string& name, const std::string& keyValue,
             const std::vector<std::pair<std::string, std::string>>& attributes, std::string* error);
    // Drops one attribute of the addressed element, as the file would without it.
    bool unset(const std::string& name, const std::string& keyValue, const std::string& attribute,
               std::string* error);
    bool remove(const std::string& name, const std::string& keyValue, std::string* error);
    // The cross references of a whole file, checked once every element is in; on failure the
    // line of the element that refers to nothing.
    bool checkReferences(int* line, std::string* error) const;
    void clear();

private:
    Element* lookup(const std::string& name, const std::string& keyValue, std::string* error);
    bool unique(const Element& element, const Element* except, std::string* error) const;
    bool referencesHold(const Element& element, std::string* error) const;

    std::map<std::string, std::vector<Element>> m_elements;
};

}  // namespace lab
