#include "gui/orvik/Paths.h"

#include "gui/orvik/Conversions.h"
#include "gui/orvik/FileSystem.h"
#include "gui/orvik/PathName.h"

namespace orvik {

namespace {

bool endsWithSeparator(const std::string& text) {
    return !text.empty() && isSeparator(text.back());
}

std::string orDot(const std::string& text) {
    return text.empty() ? std::string(".") : text;
}

// `base` made absolute against the current folder when it is relative.
PathName absoluteBase(const std::string& base) {
    PathName result(orDot(base));
    if (result.relative) {
        result.makeAbsolute(PathName(currentDirectory()));
    }
    result.normalize();
    return result;
}

PathName absoluteName(const std::string& path, const std::string& base) {
    PathName result(orDot(path));
    result.normalize();
    if (result.relative) {
        result.makeAbsolute(absoluteBase(base));
    }
    return result;
}

}  // namespace

std::string joinPath(const std::string& a, const std::string& b) {
    if (a.empty() || endsWithSeparator(a)) {
        return a + b;
    }
    return a + '\\' + b;
}

std::string withTrailingSeparator(const std::string& path) {
    if (path.empty() || endsWithSeparator(path)) {
        return path;
    }
    return path + '\\';
}

std::string directoryOf(const std::string& path) {
    const auto pos = path.find_last_of("\\/");
    return pos == std::string::npos ? std::string() : path.substr(0, pos + 1);
}

std::string fileName(const std::string& path) {
    const auto pos = path.find_last_of("\\/");
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

std::string extension(const std::string& path) {
    const std::string name = fileName(path);
    const auto dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) {
        return std::string();
    }
    return name.substr(dot + 1);
}

std::string stem(const std::string& path) {
    const std::string name = fileName(path);
    const auto dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) {
        return name;
    }
    return name.substr(0, dot);
}

std::string ensureExtension(const std::string& name, const std::string& ext) {
    if (ext.empty()) {
        return name;
    }
    const std::string dotted = ext[0] == '.' ? ext : '.' + ext;
    if (dotted.substr(1) == extension(name)) {
        return name;
    }
    return name + dotted;
}

std::string fileInFolder(const std::string& folder, const std::string& name, const std::string& ext) {
    return joinPath(folder, ensureExtension(name, ext));
}

bool isValidName(const std::string& name) {
    return !name.empty() && name.find_first_of("|<>\"?*:/\\") == std::string::npos;
}

std::string currentDirectoryText() {
    return ".";
}

bool isAbsolute(const std::string& path) {
    return !PathName(orDot(path)).relative;
}

bool isRelative(const std::string& path) {
    return PathName(orDot(path)).relative;
}

std::string absolutePath(const std::string& path, const std::string& base) {
    return absoluteName(path, base).text();
}

std::string absoluteFolder(const std::string& path, const std::string& base) {
    return withTrailingSeparator(absolutePath(path, base));
}

std::string absoluteFileName(const std::string& path, const std::string& base) {
    return joinPath(absoluteFolder(directoryOf(path), base), fileName(path));
}

std::string relativePath(const std::string& path, const std::string& base) {
    PathName result = absoluteName(path, ".");
    result.makeRelative(absoluteName(base, "."));
    return result.text();
}

std::string relativeFolder(const std::string& path, const std::string& base) {
    return withTrailingSeparator(relativePath(path, base));
}

std::string relativeFileName(const std::string& path, const std::string& base) {
    return joinPath(relativeFolder(directoryOf(path), base), fileName(path));
}

std::vector<std::string> components(const std::string& path) {
    const PathName parsed(path);
    std::vector<std::string> out;
    if (!parsed.root.empty()) {
        out.push_back(parsed.root);
    }
    out.insert(out.end(), parsed.components.begin(), parsed.components.end());
    return out;
}

std::vector<std::string> fileComponents(const std::string& path) {
    const PathName parsed(path, true);
    std::vector<std::string> out;
    if (!parsed.root.empty()) {
        out.push_back(parsed.root);
    }
    out.insert(out.end(), parsed.components.begin(), parsed.components.end());
    if (!parsed.fileName.empty()) {
        out.push_back(parsed.fileName);
    }
    return out;
}

std::string fromComponents(const std::vector<std::string>& list) {
    PathName path;
    path.components = list;
    return path.text();
}

std::string parentFolder(const std::string& path) {
    PathName parsed(path);
    parsed.components.push_back("..");
    parsed.normalize();
    return parsed.text();
}

bool equalIgnoringCase(const std::string& a, const std::string& b) {
    return toUpper(a) == toUpper(b);
}

}  // namespace orvik
