// File operations of the report over the Windows path stand-in, with Win32 results.
#pragma once

#include <string>

namespace report {

int Win32FromErrno(int error);

// Makes the local folder of a Windows path current: 0 or the Win32 error.
int ChangeDirectory(const std::string& windowsFolder);

// The current local folder, and a return to it.
std::string CurrentDirectory();
void RestoreDirectory(const std::string& localFolder);

// Copies the file a Windows path stands for to a local path, replacing it: 0 or the Win32 error.
int CopyFileOver(const std::string& windowsSource, const std::string& localTarget);

}  // namespace report
