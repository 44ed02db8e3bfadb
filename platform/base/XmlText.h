#pragma once
// Text written into XML that the stand-ins and their tests make by hand: the characters that would
// end an element's text or an attribute's value are written as entities.
#include <string>

namespace base {

inline std::string xmlEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out.push_back(c);
        }
    }
    return out;
}

}  // namespace base
