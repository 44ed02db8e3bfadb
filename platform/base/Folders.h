#pragma once
#include <string>

namespace base {

// Creates the folder and every missing parent with the given mode (less the umask). True when the
// folder exists afterwards; errno tells why not.
bool makeFolders(const std::string& path, unsigned mode = 0755);

bool isFolder(const std::string& path);
// Anything at the path, a dangling link included.
bool pathExists(const std::string& path);

}  // namespace base

namespace base {

// The running program's file, from the kernel; empty when it cannot be told.
std::string executablePath();
// Its folder with a trailing '/', empty when unknown.
std::string executableFolder();

}  // namespace base
