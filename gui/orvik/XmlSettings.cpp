#include "gui/orvik/XmlSettings.h"

#include "gui/orvik/Exception.h"
#include "gui/orvik/FileSystem.h"
#include "gui/orvik/Paths.h"

namespace orvik {

std::unique_ptr<XmlSettings> XmlSettings::instance;

XmlSettings::XmlSettings() {
    if (handlers().empty()) {
        handlers() = {
            {"CONFIG", &XmlSettings::ignoreElement},
            {"set", &XmlSettings::onSet},
            {"list", &XmlSettings::onList},
            {"listItem", &XmlSettings::onListItem},
            {"map", &XmlSettings::onMap},
            {"mapItem", &XmlSettings::onMapItem},
            {"include", &XmlSettings::onInclude},
        };
    }
}

XmlSettings::XmlSettings(const std::string& folder, const std::string& file) : XmlSettings() {
    init(folder, file);
}

void XmlSettings::init(const std::string& folder, const std::string& file) {
    const std::string base = joinPath(folder.empty() ? currentDirectory() : folder, "");
    settings_["currentDir"] = base;
    read(joinPath(base, file));
}

std::string XmlSettings::get(const std::string& name) const {
    if (name.empty()) {
        throw Exception("get() cannot be called with empty 'name'");
    }
    const auto found = settings_.find(name);
    if (found == settings_.end()) {
        throw Exception(ORVIK_LOCATED("Missing settings parameter: " + name));
    }
    return found->second;
}

std::string XmlSettings::get(const std::string& name, const std::string& defaultValue) const {
    if (name.empty()) {
        throw Exception("get() cannot be called with empty 'name'");
    }
    const auto found = settings_.find(name);
    return found == settings_.end() ? defaultValue : found->second;
}

const XmlSettings::List& XmlSettings::getList(const std::string& name) const {
    if (name.empty()) {
        throw Exception("getList() cannot be called with empty 'name'");
    }
    const auto found = lists_.find(name);
    if (found == lists_.end()) {
        throw Exception(ORVIK_LOCATED("Missing settings parameter: " + name));
    }
    return found->second;
}

const XmlSettings::Map& XmlSettings::getMap(const std::string& name) const {
    if (name.empty()) {
        throw Exception("getMap() cannot be called with empty 'name'");
    }
    const auto found = maps_.find(name);
    if (found == maps_.end()) {
        throw Exception(ORVIK_LOCATED("Missing settings parameter: " + name));
    }
    return found->second;
}

std::string XmlSettings::prefixed(const std::string& prefix, const std::string& value) {
    if (prefix.empty()) {
        return value;
    }
    return settings_[prefix] + value;
}

void XmlSettings::onSet(int nodeType) {
    if (nodeType != ELEMENT_START) {
        return;
    }
    const std::string name = reader().getAttribute("name");
    const std::string value = reader().getAttribute("value");
    const std::string prefix = reader().getAttribute("prefix", "");
    settings_[name] = prefixed(prefix, value);
}

void XmlSettings::onList(int nodeType) {
    if (nodeType == ELEMENT_END) {
        openList_.reset();
        return;
    }
    const std::string name = reader().getAttribute("name");
    lists_[name].clear();
    // An empty element has no end node; it stands for an empty list, not for one left open.
    if (reader().isEmptyElement()) {
        openList_.reset();
    } else {
        openList_ = name;
    }
}

void XmlSettings::onListItem(int nodeType) {
    if (nodeType != ELEMENT_START) {
        return;
    }
    if (!openList_) {
        throw Exception(ORVIK_LOCATED("listItem outside of a list"));
    }
    const std::string value = reader().getAttribute("value");
    const std::string prefix = reader().getAttribute("prefix", "");
    lists_[*openList_].push_back(prefixed(prefix, value));
}

void XmlSettings::onMap(int nodeType) {
    if (nodeType == ELEMENT_END) {
        openMap_.reset();
        return;
    }
    const std::string name = reader().getAttribute("name");
    maps_[name];
    if (reader().isEmptyElement()) {
        openMap_.reset();
    } else {
        openMap_ = name;
    }
}

void XmlSettings::onMapItem(int nodeType) {
    if (nodeType != ELEMENT_START) {
        return;
    }
    if (!openMap_) {
        throw Exception(ORVIK_LOCATED("mapItem outside of a map"));
    }
    const std::string key = reader().getAttribute("key");
    const std::string value = reader().getAttribute("value");
    const std::string prefix = reader().getAttribute("prefix", "");
    maps_[*openMap_][key] = prefixed(prefix, value);
}

void XmlSettings::onInclude(int nodeType) {
    if (nodeType != ELEMENT_START) {
        return;
    }
    const std::string file = reader().getAttribute("file");
    const std::string prefix = reader().getAttribute("prefix", "");
    read(prefixed(prefix, file));
}

namespace {

XmlSettings& shared() {
    if (!XmlSettings::instance) {
        throw Exception("Settings is NOT properly initialized. Please call init() first.");
    }
    return *XmlSettings::instance;
}

}  // namespace

void init(const std::string& folder, const std::string& file) {
    XmlSettings::instance.reset();
    XmlSettings::instance = std::make_unique<XmlSettings>(folder, file);
}

std::string get(const std::string& name) {
    return shared().get(name);
}

std::string get(const std::string& name, const std::string& defaultValue) {
    return shared().get(name, defaultValue);
}

const XmlSettings::List& getList(const std::string& name) {
    return shared().getList(name);
}

const XmlSettings::Map& getMap(const std::string& name) {
    return shared().getMap(name);
}

}  // namespace orvik
