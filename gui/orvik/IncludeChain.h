#pragma once

#include <string>
#include <vector>

namespace orvik {

// The files a settings read has open, outermost first. It stops a file that includes itself, directly
// or through others, and nesting deeper than MAX_DEPTH includes.
class IncludeChain {
public:
    static constexpr std::size_t MAX_DEPTH = 16;

    // Raises orvik::Exception when `path` is already open in the chain or the chain is full.
    void enter(const std::string& path);
    void leave();
    std::size_t depth() const { return m_files.size(); }

private:
    // Each file by its canonical path.
    std::vector<std::string> m_files;
};

}  // namespace orvik
