#pragma once

#include <string>
#include <vector>

namespace orvik {

// Text rules for paths: the separators are the backslash and the slash, the library writes the
// backslash, and drive letters are kept as text.

std::string joinPath(const std::string& a, const std::string& b);
std::string withTrailingSeparator(const std::string& path);
std::string directoryOf(const std::string& path);
std::string fileName(const std::string& path);
std::string extension(const std::string& path);
std::string stem(const std::string& path);
std::string ensureExtension(const std::string& name, const std::string& ext);
std::string fileInFolder(const std::string& folder, const std::string& name, const std::string& ext);
bool isValidName(const std::string& name);
std::string currentDirectoryText();

bool isAbsolute(const std::string& path);
bool isRelative(const std::string& path);

// Relative bases are taken from the current folder; an empty path or base stands for ".".
std::string absolutePath(const std::string& path, const std::string& base = std::string());
std::string absoluteFolder(const std::string& path, const std::string& base = std::string());
std::string absoluteFileName(const std::string& path, const std::string& base = std::string());
std::string relativePath(const std::string& path, const std::string& base = std::string());
std::string relativeFolder(const std::string& path, const std::string& base = std::string());
std::string relativeFileName(const std::string& path, const std::string& base = std::string());

std::vector<std::string> components(const std::string& path);
std::vector<std::string> fileComponents(const std::string& path);
std::string fromComponents(const std::vector<std::string>& list);
std::string parentFolder(const std::string& path);
bool equalIgnoringCase(const std::string& a, const std::string& b);

}  // namespace orvik
