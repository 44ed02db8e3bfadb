// The version record every deliverable carries: a small block in its own ELF section that the
// diagnostic report reads back as the file version, as it reads a version resource elsewhere.
#pragma once

#include <cstdint>

namespace version {

class VersionConstants {
public:
    static constexpr const char* SECTION_NAME = ".tamsel_version";
    // The record starts with these 8 bytes, so that a reader can find it inside the section.
    static constexpr char MAGIC[8] = {'T', 'M', 'S', 'L', 'V', 'E', 'R', '1'};
    static constexpr uint32_t RECORD_LENGTH = 24;
};

// Little-endian fields.
struct VersionRecord {
    char magic[8];
    uint16_t fileVersion[4];     // major, minor, patch, build
    uint16_t productVersion[4];  // major, minor, patch, build
};
static_assert(sizeof(VersionRecord) == VersionConstants::RECORD_LENGTH);

}  // namespace version
