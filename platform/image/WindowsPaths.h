// Where the Windows paths a program reads live on this machine. "X:\a\b" is the folder "x/a/b"
// below the program-data root, names compared without regard to case. The programs' own files
// keep their Linux names and are seen under their Windows ones: a program "name" as "name.exe" or
// "name.sys", a library "libname.so" as "name.dll". What a program prints keeps the Windows form.
#pragma once

#include <string>
#include <vector>

namespace winpath {

class WindowsPathConstants {
public:
    static constexpr const char* SYSTEM_DIRECTORY = "C:\\Windows\\system32";
    static constexpr const char* SYSTEM_DRIVE_ROOT = "C:\\";
};

// True for "X:\..." and "X:/...".
bool IsWindowsPath(const std::string& path);

// The file or folder a Windows path stands for: an existing one when the path names one (case and
// the name mapping above considered), else the plain translation. A path that is not a Windows
// path is returned as it is.
std::string MapWindowsPath(const std::string& windowsPath);

// The Windows path of a local file below the root, or empty when it lies elsewhere.
std::string WindowsPathOf(const std::string& localPath);

// The Windows names of the files (not folders) in a local folder, as described above.
std::vector<std::string> ListFolderFiles(const std::string& localFolder);

}  // namespace winpath
