#pragma once
#include <string>

// <root>/logs/ with a trailing slash, created with its parents when missing; an empty text when
// it cannot be created (names are then used relative to the current directory).
std::string runtimeLogsFolder();

// The running program's folder (with a trailing slash) and file name.
std::string executableFolder();
std::string executableName();

// The part of a path after its last '/' or '\\'.
const char* pathFileName(const char* path);
