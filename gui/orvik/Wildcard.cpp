#include "gui/orvik/Wildcard.h"

#include <vector>

namespace orvik {

namespace {

struct SetMember {
    unsigned char c;
    bool escaped;
};

bool isDash(const SetMember& m) {
    return m.c == '-' && !m.escaped;
}

// `body` is the text between "[" and its closing "]".
bool setContains(std::string_view body, unsigned char c) {
    std::vector<SetMember> members;
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (body[i] == '\\') {
            if (i + 1 >= body.size()) {
                return false;
            }
            members.push_back({static_cast<unsigned char>(body[++i]), true});
        } else {
            members.push_back({static_cast<unsigned char>(body[i]), false});
        }
    }
    if (members.size() > 1 && isDash(members.back())) {
        return false;
    }
    std::size_t i = 0;
    while (i < members.size()) {
        const unsigned char low = members[i].c;
        if (i + 2 < members.size() && isDash(members[i + 1])) {
            const unsigned char high = members[i + 2].c;
            if (low <= c && c <= high) {
                return true;
            }
            i += 3;
        } else {
            if (c == low) {
                return true;
            }
            ++i;
        }
    }
    return false;
}

// Position of the "]" closing the set that starts at `open`, or npos.
std::size_t setEnd(std::string_view pattern, std::size_t open) {
    for (std::size_t i = open + 1; i < pattern.size(); ++i) {
        if (pattern[i] == '\\') {
            ++i;
        } else if (pattern[i] == ']') {
            return i;
        }
    }
    return std::string_view::npos;
}

// Whether the one-character element at `p` (anything but a star) takes `c`; `next` is the position
// after it. A set without its "]" and a trailing backslash take nothing.
bool elementTakes(std::string_view pattern, std::size_t p, char c, std::size_t& next) {
    const char e = pattern[p];
    if (e == '[') {
        const auto end = setEnd(pattern, p);
        if (end == std::string_view::npos) {
            return false;
        }
        next = end + 1;
        return setContains(pattern.substr(p + 1, end - p - 1), static_cast<unsigned char>(c));
    }
    if (e == '\\') {
        next = p + 2;
        return p + 1 < pattern.size() && pattern[p + 1] == c;
    }
    next = p + 1;
    return e == '?' || e == c;
}

}  // namespace

bool matchesWildcard(std::string_view pattern, std::string_view name) {
    // Every element but the star takes exactly one character, so on a mismatch it is enough to let
    // the latest star take one character more; earlier stars never need to be revisited.
    constexpr auto NONE = std::string_view::npos;
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t star = NONE;
    std::size_t starName = 0;
    while (n < name.size()) {
        std::size_t next = 0;
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            starName = n;
        } else if (p < pattern.size() && elementTakes(pattern, p, name[n], next)) {
            p = next;
            ++n;
        } else if (star != NONE) {
            p = star + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace orvik
