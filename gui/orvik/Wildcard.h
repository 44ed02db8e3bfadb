#pragma once

#include <string_view>

namespace orvik {

// Case-sensitive match of `name` against `pattern`: "*" any run, "?" one character, "[...]" a set
// with ranges, a backslash takes the next character literally.
bool matchesWildcard(std::string_view pattern, std::string_view name);

}  // namespace orvik
