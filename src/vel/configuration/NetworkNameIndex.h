#pragma once
// Networks by name for a pass that looks up many names: a check or merge of thousands of networks
// reads each group once, where NetworkGroup::findNetwork walks the whole group for every name.
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "vel/configuration/NetworkGroup.h"
#include "vel/network/Network.h"
#include "vel/reference/ElementVector.h"
#include "vel/string/Ascii.h"

// The networks of one group by name, valid while the group holds them and keeps its names: the
// keys are the names' own texts.
class NetworkNameIndex {
public:
    NetworkNameIndex() = default;
    explicit NetworkNameIndex(const NetworkGroup& group);

    // The network of that name, the last when several have it, as findNetwork finds it; an empty
    // handle when none has.
    Network find(const Ascii& name) const;
    bool contains(const Ascii& name) const;
    // Records a network the group now holds, after those indexed.
    void add(const Network& network);

private:
    std::unordered_map<std::string_view, ElementInterface*> m_networks;
};

// Names met so far in a pass, for duplicate checks in list order; the names' holders outlive it.
class NameSet {
public:
    // False when the name was met before.
    bool insert(const Ascii& name) {
        return m_names.emplace(name.text(), static_cast<size_t>(name.length())).second;
    }

private:
    std::unordered_set<std::string_view> m_names;
};

// Adds networks to the groups of a list by group name: to every group of that name, else to a new
// group appended to the list. Groups the list gains meanwhile are found too; the list only grows.
class NetworkGroupMerge {
public:
    explicit NetworkGroupMerge(const ElementVector& groups) : m_groups(groups) {}

    // A network whose name a group of that name has already is logged, asserted and added all the
    // same (unless it is that very object).
    void add(const Ascii& groupName, const Network& network);
    // True when a group of that name has a network of that name.
    bool contains(const Ascii& groupName, const Ascii& name);

private:
    struct Indexed {
        NetworkGroup group;
        // Read on the first network added to the group.
        std::optional<NetworkNameIndex> names;
    };
    // Indexes the groups appended to the list since the last look.
    void catchUp();
    // The groups of that name, their names read; null when there is none.
    std::vector<Indexed>* groupsNamed(const Ascii& groupName);

    ElementVector m_groups;
    int m_indexed = 0;
    std::unordered_map<std::string_view, std::vector<Indexed>> m_byName;
};
