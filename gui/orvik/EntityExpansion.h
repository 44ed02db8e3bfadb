#pragma once

#include <cstddef>
#include <string>

namespace orvik {

// What a file's entity references add once substituted, counted over the whole document before it
// is read with substitution. The XML library bounds each reference against the text read so far, so
// a few hundred kilobytes of modest references spread over thousands of attributes would still
// expand to hundreds of megabytes.
class EntityExpansion {
public:
    // The text substitution may add to one document.
    static constexpr size_t LIMIT = 4 * 1024 * 1024;

    // Throws when substituting the file's references would add more than `limit` bytes. A file
    // that declares no entity, or that the library cannot read, passes: the reader reports it.
    static void check(const std::string& path, size_t limit = LIMIT);
};

}  // namespace orvik
