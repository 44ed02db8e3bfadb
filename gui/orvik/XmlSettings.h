#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/orvik/GenericXmlParser.h"

namespace orvik {

// Settings read from an XML file: single values, named lists and named maps. Elements: CONFIG (root),
// set, list/listItem, map/mapItem and include; a `prefix` attribute puts the value of an earlier
// setting in front of a value, which is how files name paths beside themselves ("currentDir").
class XmlSettings : public GenericXmlParser<XmlSettings> {
public:
    using List = std::vector<std::string>;
    using Map = std::map<std::string, std::string>;

    XmlSettings();
    XmlSettings(const std::string& folder, const std::string& file);

    // Reads `file` from `folder` (the current folder when empty); "currentDir" is that folder.
    void init(const std::string& folder, const std::string& file);

    std::string get(const std::string& name) const;
    std::string get(const std::string& name, const std::string& defaultValue) const;
    const List& getList(const std::string& name) const;
    const Map& getMap(const std::string& name) const;

    // The shared settings of the process (see the free functions below).
    static std::unique_ptr<XmlSettings> instance;

private:
    void onSet(int nodeType);
    void onList(int nodeType);
    void onListItem(int nodeType);
    void onMap(int nodeType);
    void onMapItem(int nodeType);
    void onInclude(int nodeType);

    // The value of setting `prefix` followed by `value`; a prefix naming no setting creates it empty.
    std::string prefixed(const std::string& prefix, const std::string& value);

    std::map<std::string, std::string> settings_;
    std::map<std::string, List> lists_;
    std::optional<std::string> openList_;
    std::map<std::string, Map> maps_;
    std::optional<std::string> openMap_;
};

// The process-wide settings: init() replaces them, the lookups raise when init() has not succeeded.
void init(const std::string& folder, const std::string& file);
std::string get(const std::string& name);
std::string get(const std::string& name, const std::string& defaultValue);
const XmlSettings::List& getList(const std::string& name);
const XmlSettings::Map& getMap(const std::string& name);

}  // namespace orvik
