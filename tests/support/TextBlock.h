#pragma once

#include <string>

namespace tamsel::test {

// The lines of the text from the one starting with `first` up to (not including) the next empty
// line; "<missing ...>" when no line starts so.
inline std::string blockOf(const std::string& text, const std::string& first) {
    size_t start = text.find(first);
    if (start == std::string::npos) return "<missing " + first + ">";
    size_t end = text.find("\n\n", start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end + 1 - start);
}

}  // namespace tamsel::test
