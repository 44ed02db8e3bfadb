// Prints a registry key's values (and optionally its subkeys) in the report's layout.
#pragma once

#include <cstdint>
#include <string>

#include "platform/registry/Registry.h"
#include "tools/report/ReportOutput.h"

namespace report {

class RegistryDumpConstants {
public:
    static constexpr uint32_t USE_LABEL = 0x1;
    static constexpr uint32_t HIDE = 0x2;
    static constexpr int MIN_NAME_WIDTH = 16;
    static constexpr int BYTES_PER_LINE = 16;
};

// A row with a null name matches every value; rows are searched in order up to that one.
struct RegistryAnnotation {
    const char* name;
    const char* label;
    uint32_t flags;
};

// The annotation of an adapter's parameter key: three driver values under labels, the rest hidden.
extern const RegistryAnnotation ADAPTER_PARAMETER_ANNOTATIONS[4];

// Dumps `key` (or its subkey `path` when one is given). `annotations` may be null.
void DumpRegistryKey(ReportOutput& out, registry::HKEY key, const char* path,
                     const RegistryAnnotation* annotations, int indent, bool withSubkeys);

}  // namespace report
