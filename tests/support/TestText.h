#pragma once

#include <cctype>
#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

namespace tamsel::test {

// The whole file, or "" when it cannot be read.
inline std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// How many times the part stands in the text, without overlaps.
inline int countOf(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

// Polls until the condition holds or the deadline passes; the result of the last poll. Tests wait
// on what they expect to see instead of sleeping for a guessed time.
inline bool waitFor(const std::function<bool()>& condition,
                    std::chrono::milliseconds deadline = std::chrono::seconds(30)) {
    auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// A case's description as a test name: what is not a letter or a digit becomes "_".
inline std::string testNameOf(const std::string& what) {
    std::string name;
    for (char ch : what) name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
    return name;
}

}  // namespace tamsel::test
