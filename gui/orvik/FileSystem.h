#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace orvik {

// File-system operations over the library's path texts. Backslashes in a path are separators: every
// name handed to the system has them turned into slashes, so a file whose name holds a backslash
// cannot be reached through these functions.

bool exists(const std::string& path);
bool isFile(const std::string& path);
bool isDirectory(const std::string& path);
bool isReadableFile(const std::string& path);
bool isReadableDirectory(const std::string& path);
bool isWritableDirectory(const std::string& path);
bool isWritableLocation(const std::string& path);
// `mode` as for access(): 4 read, 2 write, 0 existence.
bool accessible(const std::string& path, int mode);
bool changeMode(const std::string& path, int mode);

std::uint64_t fileSize(const std::string& path);
std::int64_t creationTime(const std::string& path);
std::int64_t modificationTime(const std::string& path);
std::int64_t accessTime(const std::string& path);

void createFile(const std::string& path);
// The caller owns the handle; null when the file does not open.
std::FILE* openFile(const std::string& path, const std::string& mode);
bool renameFile(const std::string& from, const std::string& to);
bool moveFile(const std::string& from, const std::string& to);
void copyFile(const std::string& from, const std::string& to);
void deleteFile(const std::string& path);

bool makeDirectory(const std::string& path);
void makeDirectories(const std::string& path);
bool removeDirectory(const std::string& path);
bool removeDirectoryTree(const std::string& path);
void copyDirectoryTree(const std::string& from, const std::string& to, bool recursive);
bool isDirectoryEmpty(const std::string& path);

// Names (not paths) in folder `path`, sorted; files must also match `pattern` (see matchesWildcard).
std::vector<std::string> listDirectory(const std::string& path, const std::string& pattern, bool folders,
                                       bool files);
std::vector<std::string> listFolders(const std::string& path);
std::vector<std::string> listFiles(const std::string& path);
std::vector<std::string> listEntries(const std::string& path);

std::string currentDirectory();
void setCurrentDirectory(const std::string& path);
std::string homeDirectory();
// The first folder of the ";"-separated `list` that holds file `name`, joined with it; else empty.
std::string findInList(const std::string& name, const std::string& list);
// Looks in "." first, then in the folders of PATH.
std::string findInPath(const std::string& name);
std::string programDirectory(const std::string& path);

std::string lastErrorText(int code);
std::string lastErrorText();

}  // namespace orvik
