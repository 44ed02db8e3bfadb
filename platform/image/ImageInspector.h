// What the diagnostic report learns of a program file without running it: whether it is an image
// of this machine, the modules it imports (an ELF file's needed libraries) and its file version
// (the version record the build embeds). Results are Win32 codes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/Win32Error.h"

namespace image {

class ImageConstants {
public:
    // Largest file read whole for inspection.
    static constexpr uint64_t MAX_IMAGE_SIZE = 512ull << 20;
};

struct ImageInfo {
    std::string path;                  // the local file
    std::vector<std::string> imports;  // needed libraries, in the file's order
};

// Reads an image: 0, ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED or ERROR_BAD_EXE_FORMAT. A
// malformed import table leaves the list as far as it could be read and answers
// ERROR_BAD_EXE_FORMAT.
uint32_t InspectImage(const std::string& path, ImageInfo* info);

// The file version from the version record: four 16-bit parts, none without a record.
std::optional<std::array<uint16_t, 4>> ReadFileVersion(const std::string& path);

// Where an imported module is found: the importer's folder, then the given folders, then the
// library path and the usual library folders of this machine. Empty when none holds it.
std::string FindModule(const std::string& name, const std::vector<std::string>& folders);

}  // namespace image
