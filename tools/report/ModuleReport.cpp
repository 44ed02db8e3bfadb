#include "tools/report/ModuleReport.h"

#include <filesystem>
#include <set>
#include <vector>

#include "platform/image/ImageInspector.h"
#include "platform/image/WindowsPaths.h"
#include "tools/report/FileChecksum.h"
#include "tools/report/ReportFiles.h"

namespace report {

namespace {

using image::ImageConstants;

uint32_t LoadError(uint32_t inspectResult) {
    return inspectResult == base::win32::ERROR_FILE_NOT_FOUND ? base::win32::ERROR_MOD_NOT_FOUND
                                                              : inspectResult;
}

// One module's line; the image when it could be read.
bool ReportOne(ReportOutput& out, const std::string& shownPath, const std::string& name,
               const std::string& local, int indent, image::ImageInfo* info) {
    uint32_t result = local.empty() ? base::win32::ERROR_FILE_NOT_FOUND : image::InspectImage(local, info);
    if (result == 0)
        out.print("%*s%-32s", indent, "", shownPath.c_str());
    else
        out.print("%*s%-32s Load: error %d", indent, "", name.c_str(), int(LoadError(result)));
    out.print("  ");
    out.print("Version: ");
    auto version = local.empty() ? std::nullopt : image::ReadFileVersion(local);
    if (version)
        out.print("%d.%d.%d.%d", (*version)[0], (*version)[1], (*version)[2], (*version)[3]);
    else
        out.print("Unknown");
    auto sum = local.empty() ? std::nullopt : ChecksumFile(local);
    if (sum)
        out.print(" (Size: %u CRC32: 0x%08X)", unsigned(sum->size), sum->crc);
    else
        out.print(" (Size: Unknown CRC32: Unknown)");
    out.print("\n");
    return result == 0;
}

// The path a module found on this machine is shown under: its Windows form below the root.
std::string ShownPath(const std::string& local) {
    std::string windows = winpath::WindowsPathOf(local);
    return windows.empty() ? local : windows;
}

void WalkImports(ReportOutput& out, const image::ImageInfo& importer, int indent,
                 std::set<std::string>& seen) {
    std::vector<std::string> folders{
        std::filesystem::path(importer.path).parent_path().string(),
        winpath::MapWindowsPath(winpath::WindowsPathConstants::SYSTEM_DIRECTORY)};
    for (const std::string& name : importer.imports) {
        if (seen.count(name) || seen.size() >= ModuleReportConstants::MAX_MODULES) continue;
        seen.insert(name);
        std::string local = image::FindModule(name, folders);
        image::ImageInfo info;
        if (ReportOne(out, ShownPath(local), name, local, indent, &info))
            WalkImports(out, info, indent, seen);
    }
}

}  // namespace

void ReportModule(ReportOutput& out, const std::string& folder, const std::string& name, int indent,
                  bool withImports) {
    std::string previous = CurrentDirectory();
    std::string windowsPath = name;
    if (name.find('\\') == std::string::npos) {
        if (int error = ChangeDirectory(folder))
            out.print("%*sError %d changing current directory to %s.\n", indent, "", error, folder.c_str());
        windowsPath = folder + "\\" + name;
    }
    std::string local = winpath::MapWindowsPath(windowsPath);
    image::ImageInfo info;
    bool loaded = ReportOne(out, windowsPath, name, local, indent, &info);
    if (withImports) {
        if (loaded) {
            std::set<std::string> seen;
            WalkImports(out, info, indent + 2, seen);
        }
        out.print("\n");
    }
    RestoreDirectory(previous);
}

}  // namespace report
