#include "tools/report/ReportFiles.h"

#include <cerrno>
#include <filesystem>

#include "platform/base/Process.h"
#include "platform/image/WindowsPaths.h"

namespace report {

int Win32FromErrno(int error) {
    switch (error) {
        case 0:
            return 0;
        case ENOENT:
            return 2;
        case ENOTDIR:
            return 3;
        case EACCES:
        case EPERM:
            return 5;
        case ENOMEM:
            return 8;
        case ENOSPC:
            return 112;
        case EISDIR:
            return 5;
        default:
            return 31;
    }
}

int ChangeDirectory(const std::string& windowsFolder) {
    std::string local = winpath::MapWindowsPath(windowsFolder);
    if (int error = base::changeDirectory(local); error != 0) return Win32FromErrno(error);
    return 0;
}

std::string CurrentDirectory() {
    std::error_code error;
    return std::filesystem::current_path(error).string();
}

void RestoreDirectory(const std::string& localFolder) {
    if (!localFolder.empty() && base::changeDirectory(localFolder) != 0) {
        // Nothing to go back to; the report goes on where it is.
    }
}

int CopyFileOver(const std::string& windowsSource, const std::string& localTarget) {
    namespace fs = std::filesystem;
    std::error_code error;
    std::string source = winpath::MapWindowsPath(windowsSource);
    if (fs::is_directory(source, error)) return 5;
    fs::copy_file(source, localTarget, fs::copy_options::overwrite_existing, error);
    return error ? Win32FromErrno(error.value()) : 0;
}

}  // namespace report
