#include "platform/image/ImageInspector.h"

#include <elf.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/version/VersionRecord.h"

namespace image {

namespace {

using C = ImageConstants;

uint32_t ReadWhole(const std::string& path, std::vector<uint8_t>* bytes) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::filesystem::exists(path, error) ? base::win32::ERROR_ACCESS_DENIED
                                                    : base::win32::ERROR_FILE_NOT_FOUND;
    auto size = std::filesystem::file_size(path, error);
    if (error || size > C::MAX_IMAGE_SIZE) return base::win32::ERROR_BAD_EXE_FORMAT;
    std::ifstream file(path, std::ios::binary);
    if (!file) return errno == EACCES ? base::win32::ERROR_ACCESS_DENIED : base::win32::ERROR_FILE_NOT_FOUND;
    bytes->resize(size);
    if (size && !file.read(reinterpret_cast<char*>(bytes->data()), std::streamsize(size)))
        return base::win32::ERROR_BAD_EXE_FORMAT;
    return base::win32::ERROR_SUCCESS;
}

// A 64-bit little-endian ELF file with every table checked against the file's bytes.
class ElfView {
public:
    explicit ElfView(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

    bool valid() const {
        if (bytes_.size() < sizeof(Elf64_Ehdr)) return false;
        const auto* h = header();
        if (std::memcmp(h->e_ident, ELFMAG, SELFMAG) != 0 || h->e_ident[EI_CLASS] != ELFCLASS64 ||
            h->e_ident[EI_DATA] != ELFDATA2LSB)
            return false;
        return h->e_shnum == 0 || (h->e_shentsize == sizeof(Elf64_Shdr) &&
                                   fits(h->e_shoff, uint64_t(h->e_shnum) * sizeof(Elf64_Shdr)));
    }

    const Elf64_Ehdr* header() const { return reinterpret_cast<const Elf64_Ehdr*>(bytes_.data()); }

    size_t sectionCount() const { return header()->e_shnum; }

    Elf64_Shdr section(size_t index) const {
        Elf64_Shdr s;
        std::memcpy(&s, bytes_.data() + header()->e_shoff + index * sizeof(Elf64_Shdr), sizeof s);
        return s;
    }

    bool fits(uint64_t offset, uint64_t length) const {
        return offset <= bytes_.size() && length <= bytes_.size() - offset;
    }

    // A null-terminated string at `offset` of a string table section; empty when it runs out.
    std::string string(const Elf64_Shdr& table, uint64_t offset) const {
        if (table.sh_type != SHT_STRTAB || !fits(table.sh_offset, table.sh_size) || offset >= table.sh_size)
            return {};
        const char* start = reinterpret_cast<const char*>(bytes_.data() + table.sh_offset + offset);
        size_t limit = size_t(table.sh_size - offset);
        size_t length = strnlen(start, limit);
        return length < limit ? std::string(start, length) : std::string();
    }

    const uint8_t* at(uint64_t offset) const { return bytes_.data() + offset; }

private:
    const std::vector<uint8_t>& bytes_;
};

}  // namespace

uint32_t InspectImage(const std::string& path, ImageInfo* info) {
    info->path = path;
    info->imports.clear();
    std::vector<uint8_t> bytes;
    if (uint32_t result = ReadWhole(path, &bytes)) return result;
    ElfView elf(bytes);
    if (!elf.valid()) return base::win32::ERROR_BAD_EXE_FORMAT;
    for (size_t i = 0; i < elf.sectionCount(); ++i) {
        Elf64_Shdr dynamic = elf.section(i);
        if (dynamic.sh_type != SHT_DYNAMIC) continue;
        if (dynamic.sh_link >= elf.sectionCount() || !elf.fits(dynamic.sh_offset, dynamic.sh_size))
            return base::win32::ERROR_BAD_EXE_FORMAT;
        Elf64_Shdr strings = elf.section(dynamic.sh_link);
        for (uint64_t at = 0; at + sizeof(Elf64_Dyn) <= dynamic.sh_size; at += sizeof(Elf64_Dyn)) {
            Elf64_Dyn entry;
            std::memcpy(&entry, elf.at(dynamic.sh_offset + at), sizeof entry);
            if (entry.d_tag == DT_NULL) break;
            if (entry.d_tag != DT_NEEDED) continue;
            std::string name = elf.string(strings, entry.d_un.d_val);
            if (name.empty()) return base::win32::ERROR_BAD_EXE_FORMAT;
            info->imports.push_back(name);
        }
        break;
    }
    return base::win32::ERROR_SUCCESS;
}

std::optional<std::array<uint16_t, 4>> ReadFileVersion(const std::string& path) {
    using version::VersionConstants;
    std::vector<uint8_t> bytes;
    if (ReadWhole(path, &bytes)) return std::nullopt;
    ElfView elf(bytes);
    if (!elf.valid() || elf.header()->e_shstrndx >= elf.sectionCount()) return std::nullopt;
    Elf64_Shdr names = elf.section(elf.header()->e_shstrndx);
    for (size_t i = 0; i < elf.sectionCount(); ++i) {
        Elf64_Shdr s = elf.section(i);
        if (elf.string(names, s.sh_name) != VersionConstants::SECTION_NAME || s.sh_type == SHT_NOBITS ||
            !elf.fits(s.sh_offset, s.sh_size))
            continue;
        // The record may sit behind padding that instrumented builds add around globals.
        const uint8_t* data = elf.at(s.sh_offset);
        for (uint64_t at = 0; at + VersionConstants::RECORD_LENGTH <= s.sh_size; ++at) {
            if (std::memcmp(data + at, VersionConstants::MAGIC, sizeof VersionConstants::MAGIC) != 0)
                continue;
            std::array<uint16_t, 4> parts;
            for (size_t k = 0; k < 4; ++k)
                parts[k] = uint16_t(data[at + 8 + 2 * k] | data[at + 9 + 2 * k] << 8);
            return parts;
        }
    }
    return std::nullopt;
}

std::string FindModule(const std::string& name, const std::vector<std::string>& folders) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (name.find('/') != std::string::npos) return fs::is_regular_file(name, error) ? name : std::string();
    std::vector<std::string> search = folders;
    if (const char* libraryPath = std::getenv("LD_LIBRARY_PATH")) {
        std::string list = libraryPath;
        for (size_t at = 0; at <= list.size();) {
            size_t end = list.find(':', at);
            if (end == std::string::npos) end = list.size();
            if (end > at) search.push_back(list.substr(at, end - at));
            at = end + 1;
        }
    }
    for (const char* folder : {"/lib/x86_64-linux-gnu", "/usr/lib/x86_64-linux-gnu", "/lib/aarch64-linux-gnu",
                               "/usr/lib/aarch64-linux-gnu", "/lib64", "/usr/lib64", "/lib", "/usr/lib"})
        search.push_back(folder);
    for (const std::string& folder : search) {
        fs::path candidate = fs::path(folder) / name;
        if (fs::is_regular_file(candidate, error)) return candidate.string();
    }
    return {};
}

}  // namespace image
