#include "platform/image/WindowsPaths.h"

#include <strings.h>

#include <cctype>
#include <filesystem>
#include <system_error>

#include "platform/base/Root.h"
#include "platform/registry/Registry.h"

namespace winpath {

namespace {

namespace fs = std::filesystem;

bool EndsWithNoCase(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           strcasecmp(text.c_str() + text.size() - tail.size(), tail.c_str()) == 0;
}

bool IsElf(const fs::path& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    unsigned char magic[4] = {};
    bool elf = std::fread(magic, 1, 4, file) == 4 && magic[0] == 0x7F && magic[1] == 'E' && magic[2] == 'L' &&
               magic[3] == 'F';
    std::fclose(file);
    return elf;
}

// The local names a Windows file name may have, the name itself first.
std::vector<std::string> LocalNames(const std::string& name) {
    std::vector<std::string> names{name};
    std::string stem = name.size() > 4 ? name.substr(0, name.size() - 4) : std::string();
    if (EndsWithNoCase(name, ".exe") || EndsWithNoCase(name, ".sys"))
        names.push_back(stem);
    else if (EndsWithNoCase(name, ".dll"))
        names.push_back(std::string("lib").append(stem).append(".so"));
    return names;
}

// The entry of `folder` whose name matches, exactly first, then without regard to case.
std::string FindEntry(const fs::path& folder, const std::string& name) {
    std::error_code error;
    for (const std::string& candidate : LocalNames(name)) {
        if (fs::exists(folder / candidate, error)) return candidate;
        for (const auto& entry : fs::directory_iterator(folder, error)) {
            std::string entryName = entry.path().filename().string();
            if (strcasecmp(entryName.c_str(), candidate.c_str()) == 0) return entryName;
        }
    }
    return {};
}

}  // namespace

bool IsWindowsPath(const std::string& path) {
    return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
           (path[2] == '\\' || path[2] == '/');
}

std::string MapWindowsPath(const std::string& windowsPath) {
    if (!IsWindowsPath(windowsPath)) return windowsPath;
    fs::path local = fs::path(base::programDataRoot()) /
                     std::string(1, char(std::tolower(static_cast<unsigned char>(windowsPath[0]))));
    bool found = true;
    int depth = 0;
    size_t at = 3;
    while (at <= windowsPath.size()) {
        size_t end = windowsPath.find_first_of("\\/", at);
        if (end == std::string::npos) end = windowsPath.size();
        std::string part = windowsPath.substr(at, end - at);
        at = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            // As on the drive itself, ".." at its root stays there: nothing outside the root is reached.
            if (depth > 0) {
                local = local.parent_path();
                --depth;
            }
            continue;
        }
        std::string entry = found ? FindEntry(local, part) : std::string();
        if (entry.empty()) {
            found = false;
            entry = part;
        }
        local /= entry;
        ++depth;
    }
    return local.string();
}

std::string WindowsPathOf(const std::string& localPath) {
    std::error_code error;
    fs::path root = fs::weakly_canonical(base::programDataRoot(), error);
    fs::path path = fs::weakly_canonical(localPath, error);
    fs::path relative = path.lexically_relative(root);
    if (relative.empty() || *relative.begin() == ".." || relative.begin()->string().size() != 1) return {};
    auto part = relative.begin();
    std::string text(1, char(std::toupper(static_cast<unsigned char>(part->string()[0]))));
    text += ":";
    for (++part; part != relative.end(); ++part) text.append("\\").append(part->string());
    if (text.size() == 2) text += "\\";
    return text;
}

std::vector<std::string> ListFolderFiles(const std::string& localFolder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(localFolder, error)) {
        if (!entry.is_regular_file(error)) continue;
        std::string name = entry.path().filename().string();
        if (name.find('.') == std::string::npos && IsElf(entry.path()))
            name += ".exe";
        else if (name.size() > 6 && name.compare(0, 3, "lib") == 0 &&
                 name.compare(name.size() - 3, 3, ".so") == 0 && IsElf(entry.path()))
            name = name.substr(3, name.size() - 6) + ".dll";
        names.push_back(name);
    }
    return names;
}

}  // namespace winpath
