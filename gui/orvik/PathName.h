#pragma once

#include <string>
#include <vector>

namespace orvik {

// A path split into its root and folder names. Drive letters, network roots and backslashes are
// plain text here; only the file-system operations turn the text form into a name the system opens.
class PathName {
public:
    PathName() = default;
    // `asFile` takes the last piece as the file name instead of a folder.
    explicit PathName(const std::string& text, bool asFile = false);

    // Root, a backslash when absolute, the folders joined by backslashes ("." for a relative path
    // without folders), then the file name.
    std::string text() const;

    // Drops empty and "." folders and folds ".." into the folder before it.
    void normalize();
    // Puts `base` (an absolute path) in front of a relative path.
    void makeAbsolute(const PathName& base);
    // Expresses an absolute path from `base` when both share the root.
    void makeRelative(const PathName& base);

    bool relative = true;
    std::string root;
    std::vector<std::string> components;
    std::string fileName;

private:
    void parseFolder(std::string text);
};

bool isSeparator(char c);

}  // namespace orvik
