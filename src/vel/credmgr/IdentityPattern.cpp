#include "vel/credmgr/IdentityPattern.h"

#include <string>

#include "runtime/lum/Log.h"

Ascii IdentityPattern::expand(const Ascii& identity, const Ascii& pattern) {
    const std::string whole(identity.text(), identity.length());
    const std::size_t at = whole.find('@');
    const std::string user = at == std::string::npos ? whole : whole.substr(0, at);
    const std::string domain = at == std::string::npos ? std::string() : whole.substr(at + 1);

    std::string result(pattern.text(), pattern.length());
    // The search goes on after each substitution, so a filled-in value is never read as a pattern
    // again (a user called "[username]" would otherwise never end), and a "]" before the "[" is text.
    std::size_t from = 0;
    for (;;) {
        const std::size_t open = result.find('[', from);
        if (open == std::string::npos) break;
        const std::size_t close = result.find(']', open + 1);
        if (close == std::string::npos) break;
        const std::string wildcard = result.substr(open, close - open + 1);
        if (wildcard == "[username]") {
            result.replace(open, wildcard.size(), user);
            from = open + user.size();
        } else if (wildcard == "[domain]" && !domain.empty()) {
            result.replace(open, wildcard.size(), domain);
            from = open + domain.size();
        } else if (wildcard == "[domain]") {
            // Without a domain its separator goes too: "user@[domain]" ends at the "@",
            // "[domain]\user" starts after the "\".
            const std::size_t separator = result.find('@');
            const std::size_t backslash = result.find('\\', close + 1);
            if (separator != std::string::npos && separator < open) {
                result.erase(separator);
                from = separator;
            } else if (backslash != std::string::npos) {
                result.erase(0, backslash + 1);
                from = 0;
            } else {
                result.erase(open, wildcard.size());
                from = open;
            }
        } else {
            logWarning(0, "The wildcard (%s) in the pattern is unknown and will be removed",
                       wildcard.c_str());
            result.erase(open, wildcard.size());
            from = open;
        }
    }
    return Ascii(result.data(), static_cast<std::int32_t>(result.size()));
}
