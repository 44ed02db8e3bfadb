#include "platform/registry/Registry.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/base/Root.h"
#include "platform/registry/RegistryStore.h"
#include "platform/registry/RegistryTree.h"

namespace registry {

struct RegKey {
    std::vector<std::string> path;
    std::uint32_t access;
    bool predefined;
};

namespace {

RegKey machineRoot{{}, KEY_ALL_ACCESS, true};
RegKey classesRoot{{"SOFTWARE", "Classes"}, KEY_ALL_ACCESS, true};

std::mutex storeFileMutex;
std::string storeFileOverride;

using namespace base::win32;

LSTATUS splitPath(const char* subKey, std::vector<std::string>& parts) {
    parts.clear();
    if (!subKey) return ERROR_SUCCESS;
    std::string current;
    for (const char* p = subKey;; ++p) {
        if (*p == '\\' || *p == '\0') {
            if (current.size() > MAX_KEY_NAME_LENGTH) return ERROR_INVALID_PARAMETER;
            if (!current.empty()) parts.push_back(current);
            current.clear();
            if (*p == '\0') return ERROR_SUCCESS;
        } else {
            current += *p;
        }
    }
}

RegistryStore store() {
    return RegistryStore(RegGetStoreFile());
}

// The handle's own key in `tree`. Predefined roots always exist; a key deleted since it was
// opened gives null.
RegistryKeyNode* nodeOf(RegistryTree& tree, HKEY key) {
    if (key->predefined) return &tree.create(key->path, nullptr);
    return tree.find(key->path);
}

// Runs `body` on the handle's key in the current tree, without saving anything.
template <typename Body>
LSTATUS withKey(HKEY key, std::uint32_t accessNeeded, Body body) {
    if (!key) return ERROR_INVALID_HANDLE;
    if ((key->access & accessNeeded) != accessNeeded) return ERROR_ACCESS_DENIED;
    RegistryTree tree;
    LSTATUS status = store().read(tree);
    if (status != ERROR_SUCCESS) return status;
    RegistryKeyNode* node = nodeOf(tree, key);
    return node ? body(tree, *node) : ERROR_KEY_DELETED;
}

template <typename Body>
LSTATUS changeKey(HKEY key, std::uint32_t accessNeeded, Body body) {
    if (!key) return ERROR_INVALID_HANDLE;
    if ((key->access & accessNeeded) != accessNeeded) return ERROR_ACCESS_DENIED;
    return store().update([&](RegistryTree& tree, bool& changed) -> LSTATUS {
        RegistryKeyNode* node = nodeOf(tree, key);
        return node ? body(tree, *node, changed) : ERROR_KEY_DELETED;
    });
}

LSTATUS copyData(const std::vector<std::uint8_t>& source, std::uint8_t* data, std::uint32_t* cbData) {
    if (!data) {
        if (cbData) *cbData = static_cast<std::uint32_t>(source.size());
        return ERROR_SUCCESS;
    }
    if (!cbData) return ERROR_INVALID_PARAMETER;
    bool fits = *cbData >= source.size();
    *cbData = static_cast<std::uint32_t>(source.size());
    if (!fits) return ERROR_MORE_DATA;
    if (!source.empty()) std::memcpy(data, source.data(), source.size());
    return ERROR_SUCCESS;
}

LSTATUS copyName(const std::string& source, char* name, std::uint32_t* cchName) {
    if (!name) return ERROR_SUCCESS;
    if (!cchName) return ERROR_INVALID_PARAMETER;
    if (*cchName <= source.size()) {
        *cchName = static_cast<std::uint32_t>(source.size() + 1);
        return ERROR_MORE_DATA;
    }
    std::memcpy(name, source.c_str(), source.size() + 1);
    *cchName = static_cast<std::uint32_t>(source.size());
    return ERROR_SUCCESS;
}

std::vector<std::string> joined(const std::vector<std::string>& base, const std::vector<std::string>& parts) {
    std::vector<std::string> path = base;
    path.insert(path.end(), parts.begin(), parts.end());
    return path;
}

}  // namespace

HKEY const HKEY_CLASSES_ROOT = &classesRoot;
HKEY const HKEY_LOCAL_MACHINE = &machineRoot;

LSTATUS RegOpenKeyEx(HKEY key, const char* subKey, std::uint32_t, std::uint32_t samDesired, HKEY* result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::vector<std::string> parts;
    LSTATUS status = splitPath(subKey, parts);
    if (status != ERROR_SUCCESS) return status;
    return withKey(key, 0, [&](RegistryTree&, RegistryKeyNode& node) -> LSTATUS {
        std::vector<std::string> path = key->path;
        RegistryKeyNode* current = &node;
        for (const auto& part : parts) {
            current = current->findSubkey(part);
            if (!current) return ERROR_FILE_NOT_FOUND;
            path.push_back(current->name);
        }
        *result = new RegKey{std::move(path), samDesired, false};
        return ERROR_SUCCESS;
    });
}

LSTATUS RegCreateKeyEx(HKEY key, const char* subKey, std::uint32_t, std::uint32_t samDesired, HKEY* result,
                       std::uint32_t* disposition) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::vector<std::string> parts;
    LSTATUS status = splitPath(subKey, parts);
    if (status != ERROR_SUCCESS) return status;
    bool created = false;
    status = changeKey(key, parts.empty() ? 0 : KEY_CREATE_SUB_KEY,
                       [&](RegistryTree& tree, RegistryKeyNode&, bool& changed) -> LSTATUS {
                           tree.create(joined(key->path, parts), &created);
                           changed = created;
                           return ERROR_SUCCESS;
                       });
    if (status != ERROR_SUCCESS) return status;
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = new RegKey{joined(key->path, parts), samDesired, false};
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key) {
    if (!key) return ERROR_INVALID_HANDLE;
    if (!key->predefined) delete key;
    return ERROR_SUCCESS;
}

LSTATUS RegDeleteKey(HKEY key, const char* subKey) {
    std::vector<std::string> parts;
    LSTATUS status = splitPath(subKey, parts);
    if (status != ERROR_SUCCESS) return status;
    if (key && key->predefined && parts.empty()) return ERROR_ACCESS_DENIED;
    return changeKey(key, 0, [&](RegistryTree& tree, RegistryKeyNode&, bool& changed) -> LSTATUS {
        std::vector<std::string> path = joined(key->path, parts);
        RegistryKeyNode* target = tree.find(path);
        if (!target) return ERROR_FILE_NOT_FOUND;
        if (!target->subkeys.empty()) return ERROR_ACCESS_DENIED;
        changed = tree.remove(path);
        return ERROR_SUCCESS;
    });
}

LSTATUS RegDeleteTree(HKEY key, const char* subKey) {
    std::vector<std::string> parts;
    LSTATUS status = splitPath(subKey, parts);
    if (status != ERROR_SUCCESS) return status;
    return changeKey(key, 0, [&](RegistryTree& tree, RegistryKeyNode& node, bool& changed) -> LSTATUS {
        if (parts.empty()) {
            changed = !node.values.empty() || !node.subkeys.empty();
            node.values.clear();
            node.subkeys.clear();
            return ERROR_SUCCESS;
        }
        changed = tree.remove(joined(key->path, parts));
        return changed ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

LSTATUS RegDeleteValue(HKEY key, const char* valueName) {
    std::string name = valueName ? valueName : "";
    return changeKey(key, KEY_SET_VALUE, [&](RegistryTree&, RegistryKeyNode& node, bool& changed) -> LSTATUS {
        for (auto it = node.values.begin(); it != node.values.end(); ++it) {
            if (equalsNoCase(it->name, name)) {
                node.values.erase(it);
                changed = true;
                return ERROR_SUCCESS;
            }
        }
        return ERROR_FILE_NOT_FOUND;
    });
}

LSTATUS RegQueryValueEx(HKEY key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                        std::uint32_t* cbData) {
    std::string name = valueName ? valueName : "";
    return withKey(key, KEY_QUERY_VALUE, [&](RegistryTree&, RegistryKeyNode& node) -> LSTATUS {
        RegistryValue* value = node.findValue(name);
        if (!value) return ERROR_FILE_NOT_FOUND;
        if (type) *type = value->type;
        return copyData(value->data, data, cbData);
    });
}

LSTATUS RegSetValueEx(HKEY key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                      std::uint32_t cbData) {
    std::string name = valueName ? valueName : "";
    if (name.size() > MAX_VALUE_NAME_LENGTH || (!data && cbData > 0)) return ERROR_INVALID_PARAMETER;
    std::vector<std::uint8_t> bytes(data, data + cbData);
    return changeKey(key, KEY_SET_VALUE, [&](RegistryTree&, RegistryKeyNode& node, bool& changed) -> LSTATUS {
        RegistryValue* value = node.findValue(name);
        if (!value) {
            node.values.push_back(RegistryValue{name, type, bytes});
            changed = true;
        } else if (value->type != type || value->data != bytes) {
            value->type = type;
            value->data = bytes;
            changed = true;
        }
        return ERROR_SUCCESS;
    });
}

LSTATUS RegEnumValue(HKEY key, std::uint32_t index, char* valueName, std::uint32_t* cchValueName,
                     std::uint32_t* type, std::uint8_t* data, std::uint32_t* cbData) {
    return withKey(key, KEY_QUERY_VALUE, [&](RegistryTree&, RegistryKeyNode& node) -> LSTATUS {
        if (index >= node.values.size()) return ERROR_NO_MORE_ITEMS;
        const RegistryValue& value = node.values[index];
        LSTATUS status = copyName(value.name, valueName, cchValueName);
        if (status != ERROR_SUCCESS) return status;
        if (type) *type = value.type;
        return copyData(value.data, data, cbData);
    });
}

LSTATUS RegEnumKeyEx(HKEY key, std::uint32_t index, char* name, std::uint32_t* cchName) {
    if (!name) return ERROR_INVALID_PARAMETER;
    return withKey(key, KEY_ENUMERATE_SUB_KEYS, [&](RegistryTree&, RegistryKeyNode& node) -> LSTATUS {
        if (index >= node.subkeys.size()) return ERROR_NO_MORE_ITEMS;
        auto it = node.subkeys.begin();
        std::advance(it, index);
        return copyName(it->second->name, name, cchName);
    });
}

LSTATUS RegQueryInfoKey(HKEY key, std::uint32_t* subKeys, std::uint32_t* maxSubKeyLen, std::uint32_t* values,
                        std::uint32_t* maxValueNameLen, std::uint32_t* maxValueLen) {
    return withKey(key, KEY_QUERY_VALUE, [&](RegistryTree&, RegistryKeyNode& node) -> LSTATUS {
        std::size_t longestKey = 0, longestName = 0, longestData = 0;
        for (const auto& [_, child] : node.subkeys) longestKey = std::max(longestKey, child->name.size());
        for (const auto& v : node.values) {
            longestName = std::max(longestName, v.name.size());
            longestData = std::max(longestData, v.data.size());
        }
        if (subKeys) *subKeys = static_cast<std::uint32_t>(node.subkeys.size());
        if (maxSubKeyLen) *maxSubKeyLen = static_cast<std::uint32_t>(longestKey);
        if (values) *values = static_cast<std::uint32_t>(node.values.size());
        if (maxValueNameLen) *maxValueNameLen = static_cast<std::uint32_t>(longestName);
        if (maxValueLen) *maxValueLen = static_cast<std::uint32_t>(longestData);
        return ERROR_SUCCESS;
    });
}

void RegSetStoreFile(const std::string& path) {
    std::lock_guard<std::mutex> lock(storeFileMutex);
    storeFileOverride = path;
}

std::string RegGetStoreFile() {
    {
        std::lock_guard<std::mutex> lock(storeFileMutex);
        if (!storeFileOverride.empty()) return storeFileOverride;
    }
    return base::programDataRoot() + "/registry";
}

}  // namespace registry
