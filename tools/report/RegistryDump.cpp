#include "tools/report/RegistryDump.h"

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace report {

namespace {

using C = RegistryDumpConstants;

const RegistryAnnotation* FindAnnotation(const RegistryAnnotation* table, const char* name) {
    if (!table) return nullptr;
    for (const RegistryAnnotation* row = table;; ++row)
        if (!row->name || strcasecmp(row->name, name) == 0) return row;
}

// The key's own name: the last part of its path.
std::string KeyName(const char* path) {
    if (!path) return {};
    const char* slash = std::strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

void PrintData(ReportOutput& out, uint32_t type, const std::vector<uint8_t>& data, int indent,
               int nameWidth) {
    const char* text = reinterpret_cast<const char*>(data.data());
    switch (type) {
        case registry::REG_SZ:
        case registry::REG_EXPAND_SZ: {
            int length = int(strnlen(text, data.size()));
            out.print("<%.*s>%s\n", length, text, "");
            break;
        }
        case registry::REG_DWORD: {
            uint32_t value = 0;
            std::memcpy(&value, data.data(), std::min<size_t>(4, data.size()));
            out.print("%u%s\n", value, "");
            break;
        }
        case registry::REG_MULTI_SZ: {
            std::vector<std::string> strings;
            for (size_t at = 0; at < data.size();) {
                size_t length = strnlen(text + at, data.size() - at);
                if (length == 0) break;
                strings.emplace_back(text + at, length);
                at += length + 1;
            }
            out.print("<%s>%s\n", strings.empty() ? "" : strings[0].c_str(), "");
            for (size_t i = 1; i < strings.size(); ++i)
                out.print("%*s  %*s   <%s>\n", indent, "", nameWidth, "", strings[i].c_str());
            break;
        }
        case registry::REG_NONE:
            break;
        default:
            out.print("<");
            for (size_t i = 0; i < data.size(); ++i) {
                if (i && i % C::BYTES_PER_LINE == 0) out.print("\n%*s  %*s    ", indent, "", nameWidth, "");
                out.print("%02x ", data[i]);
            }
            out.print(">%s\n", "");
    }
}

void DumpOpenKey(ReportOutput& out, registry::HKEY opened, const std::string& keyName,
                 const RegistryAnnotation* annotations, int indent, bool withSubkeys) {
    uint32_t maxName = 0, maxData = 0;
    registry::RegQueryInfoKey(opened, nullptr, nullptr, nullptr, &maxName, &maxData);
    for (uint32_t index = 0;; ++index) {
        std::vector<char> name(maxName + 2);
        std::vector<uint8_t> data(maxData + 2);
        uint32_t nameLength = uint32_t(name.size());
        uint32_t dataLength = uint32_t(data.size());
        uint32_t type = 0;
        long result =
            registry::RegEnumValue(opened, index, name.data(), &nameLength, &type, data.data(), &dataLength);
        if (result == base::win32::ERROR_NO_MORE_ITEMS) break;
        if (result != 0) {
            out.print("%*sError (%d) getting a registry value.\n", indent, "", int(result));
            continue;
        }
        data.resize(dataLength);
        std::string valueName = nameLength ? std::string(name.data(), nameLength) : keyName;
        const RegistryAnnotation* row = FindAnnotation(annotations, valueName.c_str());
        if (row && (row->flags & C::HIDE)) continue;
        int nameWidth = std::max<int>(C::MIN_NAME_WIDTH, int(valueName.size()));
        if (row && (row->flags & C::USE_LABEL))
            out.print("%*s%s", indent, "", row->label);
        else
            out.print("%*s%-16s = ", indent, "", valueName.c_str());
        PrintData(out, type, data, indent, nameWidth);
    }
    if (!withSubkeys) return;
    for (uint32_t index = 0;; ++index) {
        char subkey[registry::MAX_KEY_NAME_LENGTH + 1];
        uint32_t length = sizeof subkey;
        if (registry::RegEnumKeyEx(opened, index, subkey, &length) != 0) break;
        out.print("\n%*s  [%s]\n", indent, "", subkey);
        registry::HKEY child = nullptr;
        long result = registry::RegOpenKeyEx(opened, subkey, 0, registry::KEY_READ, &child);
        if (result != 0) {
            out.print("%*sError (%d) opening reg key %s\n", indent + 4, "", int(result), subkey);
            continue;
        }
        DumpOpenKey(out, child, subkey, annotations, indent + 4, true);
        registry::RegCloseKey(child);
    }
}

}  // namespace

const RegistryAnnotation ADAPTER_PARAMETER_ANNOTATIONS[4] = {
    {"ProviderName", "Driver Vendor : ", C::USE_LABEL},
    {"DriverDate", "Driver Date   : ", C::USE_LABEL},
    {"DriverVersion", "Driver Version: ", C::USE_LABEL},
    {nullptr, nullptr, C::HIDE},
};

void DumpRegistryKey(ReportOutput& out, registry::HKEY key, const char* path,
                     const RegistryAnnotation* annotations, int indent, bool withSubkeys) {
    if (!path) {
        DumpOpenKey(out, key, std::string(), annotations, indent, withSubkeys);
        return;
    }
    registry::HKEY opened = nullptr;
    long result = registry::RegOpenKeyEx(key, path, 0, registry::KEY_READ, &opened);
    if (result != 0) {
        out.print("%*sError (%d) opening reg key %s\n", indent, "", int(result), path);
        return;
    }
    DumpOpenKey(out, opened, KeyName(path), annotations, indent, withSubkeys);
    registry::RegCloseKey(opened);
}

}  // namespace report
