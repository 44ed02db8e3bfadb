#include "gui/orvik/PathName.h"

#include <cctype>

#include "gui/orvik/Conversions.h"

namespace orvik {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

namespace {

bool startsWithDrive(const std::string& text) {
    return text.size() >= 2 && std::isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':';
}

// Through a const reference, so that the copying form of toUpper is the one chosen.
std::string upper(const std::string& text) {
    return toUpper(text);
}

std::string::size_type lastSeparator(const std::string& text) {
    return text.find_last_of("\\/");
}

}  // namespace

PathName::PathName(const std::string& text, bool asFile) {
    if (!asFile) {
        parseFolder(text);
        return;
    }
    const auto separator = lastSeparator(text);
    std::string::size_type nameStart = 0;
    if (separator != std::string::npos) {
        nameStart = separator + 1;
    } else if (startsWithDrive(text)) {
        nameStart = 2;
    }
    fileName = text.substr(nameStart);
    parseFolder(text.substr(0, nameStart));
}

void PathName::parseFolder(std::string text) {
    relative = true;
    root.clear();
    components.clear();
    std::string::size_type pos = 0;
    if (startsWithDrive(text)) {
        root = text.substr(0, 2);
        relative = false;
        pos = 2;
        if (text.size() == 2 || !isSeparator(text[2])) {
            // A drive-relative path goes on from that drive's current folder; this system keeps no
            // current folder per drive, so the drive's top folder stands in for it.
            text = text.substr(0, 2) + '\\' + text.substr(2);
        }
    } else if (text.size() >= 2 && isSeparator(text[0]) && isSeparator(text[1])) {
        const auto end = text.find_first_of("\\/", 2);
        pos = end == std::string::npos ? text.size() : end;
        root = text.substr(0, pos);
        relative = false;
    }
    if (pos < text.size() && isSeparator(text[pos])) {
        // A leading separator names the current drive's top; without drives the root stays empty.
        relative = false;
        ++pos;
    }
    while (pos < text.size()) {
        const auto next = text.find_first_of("\\/", pos);
        if (next == std::string::npos) {
            components.push_back(text.substr(pos));
            break;
        }
        components.push_back(text.substr(pos, next - pos));
        pos = next + 1;
    }
}

std::string PathName::text() const {
    std::string out = root;
    if (!relative) {
        out += '\\';
    }
    if (relative && components.empty()) {
        out += '.';
    }
    for (std::size_t i = 0; i < components.size(); ++i) {
        if (i > 0) {
            out += '\\';
        }
        out += components[i];
    }
    if (!fileName.empty()) {
        if (out.empty() || !isSeparator(out.back())) {
            out += '\\';
        }
        out += fileName;
    }
    return out;
}

void PathName::normalize() {
    std::size_t i = 0;
    while (i < components.size()) {
        const std::string& c = components[i];
        if (c.empty() || c == ".") {
            components.erase(components.begin() + i);
        } else if (c != "..") {
            ++i;
        } else if (i == 0) {
            // Nothing lies above the top of an absolute path; a relative one keeps its way up.
            if (relative) {
                ++i;
            } else {
                components.erase(components.begin());
            }
        } else if (components[i - 1] == "..") {
            ++i;
        } else {
            components.erase(components.begin() + (i - 1), components.begin() + (i + 1));
            --i;
        }
    }
}

void PathName::makeAbsolute(const PathName& base) {
    if (!relative) {
        return;
    }
    std::vector<std::string> joined = base.components;
    joined.insert(joined.end(), components.begin(), components.end());
    components = std::move(joined);
    root = base.root;
    relative = false;
    normalize();
}

void PathName::makeRelative(const PathName& base) {
    if (relative || upper(root) != upper(base.root)) {
        return;
    }
    std::size_t common = 0;
    while (common < components.size() && common < base.components.size() &&
           upper(components[common]) == upper(base.components[common])) {
        ++common;
    }
    std::vector<std::string> result(base.components.size() - common, "..");
    result.insert(result.end(), components.begin() + common, components.end());
    components = std::move(result);
    root.clear();
    relative = true;
}

}  // namespace orvik
