#pragma once
// The text of a pipe message as a verbose log dump shows it: the values of the children that carry
// secrets (passwords, PINs, static keys) are replaced, whatever their prefix, so that turning on
// the message dump never writes a user's secret into a log file.
#include <cstddef>
#include <string>
#include <string_view>

#include "vel/xmlconnectionapi/ConnApiElements.h"

class ConnApiDump {
public:
    static constexpr const char* MASK = "***";

    static bool isSecret(std::string_view localName) {
        for (const char* name : SECRET_ELEMENTS) {
            if (localName == name) return true;
        }
        return false;
    }

    static std::string masked(std::string_view text) {
        std::string out;
        out.reserve(text.size());
        std::size_t done = 0;
        for (std::size_t open = text.find('<'); open != std::string_view::npos;
             open = text.find('<', open + 1)) {
            if (open + 1 >= text.size() || !startsName(text[open + 1])) continue;
            const std::string_view name = localNameAt(text, open + 1);
            if (!isSecret(name)) continue;
            const std::size_t tagEnd = text.find('>', open);
            if (tagEnd == std::string_view::npos) break;
            if (text[tagEnd - 1] == '/') continue;  // an empty element hides nothing
            const std::size_t close = closingTag(text, tagEnd + 1, name);
            out.append(text.substr(done, tagEnd + 1 - done));
            out.append(MASK);
            done = close;
            if (close == text.size()) break;
            open = close;
        }
        out.append(text.substr(done < text.size() ? done : text.size()));
        return out;
    }

private:
    static constexpr const char* SECRET_ELEMENTS[] = {ConnApiElements::PASSWORD,
                                                      ConnApiElements::OLD_PASSWORD,
                                                      ConnApiElements::PIN,
                                                      ConnApiElements::WEP_ASCII_40_KEY,
                                                      ConnApiElements::WEP_ASCII_128_KEY,
                                                      ConnApiElements::WEP_HEX_40_KEY,
                                                      ConnApiElements::WEP_HEX_128_KEY,
                                                      ConnApiElements::WPA_ASCII_KEY,
                                                      ConnApiElements::WPA_HEX_KEY};

    static bool startsName(char c) { return c != '/' && c != '?' && c != '!'; }

    static bool endsName(char c) {
        return c == '>' || c == '/' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
    }

    // The name of the tag that starts at `at`, without its prefix.
    static std::string_view localNameAt(std::string_view text, std::size_t at) {
        std::size_t end = at;
        while (end < text.size() && !endsName(text[end])) ++end;
        std::string_view name = text.substr(at, end - at);
        const std::size_t colon = name.rfind(':');
        return colon == std::string_view::npos ? name : name.substr(colon + 1);
    }

    // Where the closing tag of the element named `name` begins, searching from `from`; the end of
    // the text when it never closes.
    static std::size_t closingTag(std::string_view text, std::size_t from, std::string_view name) {
        for (std::size_t at = text.find("</", from); at != std::string_view::npos;
             at = text.find("</", at + 2)) {
            if (localNameAt(text, at + 2) == name) return at;
        }
        return text.size();
    }
};
