#include "orvik/Wildcard.h"

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

}  // namespace

bool matchesWildcard(std::string_view pattern, std::string_view name) {
    std::size_t p = 0;
    std::size_t n = 0;
    while (p < pattern.size()) {
        const char c = pattern[p];
        if (c == '*') {
            // A run of stars matches what one star matches; folding them keeps the search short.
            std::size_t q = p;
            while (q < pattern.size() && pattern[q] == '*') {
                ++q;
            }
            const std::string_view rest = pattern.substr(q);
            if (rest.empty()) {
                return true;
            }
            for (std::size_t k = n; k <= name.size(); ++k) {
                if (matchesWildcard(rest, name.substr(k))) {
                    return true;
                }
            }
            return false;
        }
        if (n >= name.size()) {
            return false;
        }
        if (c == '[') {
            const auto end = setEnd(pattern, p);
            if (end == std::string_view::npos ||
                !setContains(pattern.substr(p + 1, end - p - 1), static_cast<unsigned char>(name[n]))) {
                return false;
            }
            p = end + 1;
        } else if (c == '\\') {
            if (p + 1 >= pattern.size() || pattern[p + 1] != name[n]) {
                return false;
            }
            p += 2;
        } else {
            if (c != '?' && c != name[n]) {
                return false;
            }
            ++p;
        }
        ++n;
    }
    return n == name.size();
}

}  // namespace orvik
