#include "platform/registry/RegistryTree.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "platform/registry/Registry.h"

namespace registry {

namespace {

constexpr const char* HEADER = "# tamsel registry 1";

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = lowerAscii(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

void appendHexByte(std::string& out, std::uint8_t b) {
    static const char digits[] = "0123456789abcdef";
    out += digits[b >> 4];
    out += digits[b & 0xf];
}

// Key names cannot hold a backslash; control characters and '%' are written as %hh.
std::string escapeKeyName(const std::string& name) {
    std::string out;
    for (char c : name) {
        auto b = static_cast<std::uint8_t>(c);
        if (b < 0x20 || b == 0x7f || c == '%') {
            out += '%';
            appendHexByte(out, b);
        } else {
            out += c;
        }
    }
    return out;
}

bool unescapeKeyName(const std::string& text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return false;
        int hi = hexDigit(text[i + 1]), lo = hexDigit(text[i + 2]);
        if (hi < 0 || lo < 0) return false;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return true;
}

std::string quote(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        auto b = static_cast<std::uint8_t>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (b < 0x20 || b == 0x7f) {
            out += "\\x";
            appendHexByte(out, b);
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// Reads a quoted string at text[pos]; pos moves past the closing quote.
bool readQuoted(const std::string& text, std::size_t& pos, std::string& out) {
    out.clear();
    if (pos >= text.size() || text[pos] != '"') return false;
    for (++pos; pos < text.size(); ++pos) {
        char c = text[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++pos >= text.size()) return false;
        c = text[pos];
        if (c == '"' || c == '\\') {
            out += c;
        } else if (c == 'x' && pos + 2 < text.size()) {
            int hi = hexDigit(text[pos + 1]), lo = hexDigit(text[pos + 2]);
            if (hi < 0 || lo < 0) return false;
            out += static_cast<char>(hi * 16 + lo);
            pos += 2;
        } else {
            return false;
        }
    }
    return false;
}

// A string with exactly one null, at its end.
bool isPlainString(const std::vector<std::uint8_t>& data) {
    return !data.empty() && data.back() == 0 && std::count(data.begin(), data.end(), 0) == 1;
}

// Non-empty strings each closed by a null, then one more null; the empty list is a single null.
bool splitMultiString(const std::vector<std::uint8_t>& data, std::vector<std::string>& out) {
    out.clear();
    if (data.size() == 1 && data[0] == 0) return true;
    if (data.size() < 3 || data[data.size() - 1] != 0 || data[data.size() - 2] != 0) return false;
    std::string current;
    for (std::size_t i = 0; i + 1 < data.size(); ++i) {
        if (data[i] != 0) {
            current += static_cast<char>(data[i]);
        } else {
            if (current.empty()) return false;
            out.push_back(current);
            current.clear();
        }
    }
    return true;
}

std::string formatData(const RegistryValue& v) {
    if ((v.type == REG_SZ || v.type == REG_EXPAND_SZ) && isPlainString(v.data)) {
        std::string s(v.data.begin(), v.data.end() - 1);
        return std::string(v.type == REG_SZ ? "sz:" : "expand_sz:") + quote(s);
    }
    if (v.type == REG_DWORD && v.data.size() == 4) {
        std::uint32_t n = v.data[0] | (v.data[1] << 8) | (v.data[2] << 16) | (std::uint32_t(v.data[3]) << 24);
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", n);
        return buf;
    }
    std::vector<std::string> strings;
    if (v.type == REG_MULTI_SZ && splitMultiString(v.data, strings)) {
        std::string out = "multi_sz:";
        for (std::size_t i = 0; i < strings.size(); ++i) out.append(i ? "," : "").append(quote(strings[i]));
        return out;
    }
    std::string out = v.type == REG_BINARY ? "hex:" : "hex(" + std::to_string(v.type) + "):";
    for (std::size_t i = 0; i < v.data.size(); ++i) {
        if (i) out += ',';
        appendHexByte(out, v.data[i]);
    }
    return out;
}

bool parseHexBytes(const std::string& text, std::vector<std::uint8_t>& out) {
    out.clear();
    if (text.empty()) return true;
    std::size_t pos = 0;
    while (true) {
        if (pos + 2 > text.size()) return false;
        int hi = hexDigit(text[pos]), lo = hexDigit(text[pos + 1]);
        if (hi < 0 || lo < 0) return false;
        out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
        pos += 2;
        if (pos == text.size()) return true;
        if (text[pos++] != ',') return false;
    }
}

bool parseData(const std::string& text, RegistryValue& v) {
    auto startsWith = [&](const char* p) { return text.rfind(p, 0) == 0; };
    std::size_t pos;
    std::string s;
    if (startsWith("sz:") || startsWith("expand_sz:")) {
        v.type = startsWith("sz:") ? REG_SZ : REG_EXPAND_SZ;
        pos = text.find(':') + 1;
        if (!readQuoted(text, pos, s) || pos != text.size()) return false;
        v.data.assign(s.begin(), s.end());
        v.data.push_back(0);
        return true;
    }
    if (startsWith("dword:")) {
        if (text.size() != 6 + 8) return false;
        std::uint32_t n = 0;
        for (std::size_t i = 6; i < text.size(); ++i) {
            int d = hexDigit(text[i]);
            if (d < 0) return false;
            n = n * 16 + static_cast<std::uint32_t>(d);
        }
        v.type = REG_DWORD;
        v.data = {std::uint8_t(n), std::uint8_t(n >> 8), std::uint8_t(n >> 16), std::uint8_t(n >> 24)};
        return true;
    }
    if (startsWith("multi_sz:")) {
        v.type = REG_MULTI_SZ;
        v.data.clear();
        pos = 9;
        while (pos < text.size()) {
            if (!readQuoted(text, pos, s) || s.empty()) return false;
            v.data.insert(v.data.end(), s.begin(), s.end());
            v.data.push_back(0);
            if (pos == text.size()) break;
            if (text[pos++] != ',' || pos == text.size()) return false;
        }
        v.data.push_back(0);
        return true;
    }
    if (startsWith("hex:")) {
        v.type = REG_BINARY;
        return parseHexBytes(text.substr(4), v.data);
    }
    if (startsWith("hex(")) {
        std::size_t close = text.find("):");
        if (close == std::string::npos || close == 4) return false;
        std::uint64_t type = 0;
        for (std::size_t i = 4; i < close; ++i) {
            if (text[i] < '0' || text[i] > '9' || type > 0xffffffffULL / 10) return false;
            type = type * 10 + static_cast<std::uint64_t>(text[i] - '0');
        }
        if (type > 0xffffffffULL) return false;
        v.type = static_cast<std::uint32_t>(type);
        return parseHexBytes(text.substr(close + 2), v.data);
    }
    return false;
}

void serializeKey(const RegistryKeyNode& node, const std::string& path, std::string& out) {
    out += "[" + path + "]\n";
    for (const auto& v : node.values) {
        out += v.name.empty() ? std::string("@") : quote(v.name);
        out.append("=").append(formatData(v)).append("\n");
    }
    for (const auto& [_, child] : node.subkeys)
        serializeKey(*child, path + "\\" + escapeKeyName(child->name), out);
}

}  // namespace

bool NoCaseLess::operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return lowerAscii(x) < lowerAscii(y); });
}

bool equalsNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

RegistryValue* RegistryKeyNode::findValue(const std::string& valueName) {
    for (auto& v : values)
        if (equalsNoCase(v.name, valueName)) return &v;
    return nullptr;
}

RegistryKeyNode* RegistryKeyNode::findSubkey(const std::string& keyName) {
    auto it = subkeys.find(keyName);
    return it == subkeys.end() ? nullptr : it->second.get();
}

RegistryTree::RegistryTree() : root_(std::make_unique<RegistryKeyNode>()) {
    root_->name = ROOT_NAME;
}

RegistryKeyNode* RegistryTree::find(const std::vector<std::string>& path) {
    RegistryKeyNode* node = root_.get();
    for (const auto& part : path) {
        node = node->findSubkey(part);
        if (!node) return nullptr;
    }
    return node;
}

RegistryKeyNode& RegistryTree::create(const std::vector<std::string>& path, bool* created) {
    RegistryKeyNode* node = root_.get();
    if (created) *created = false;
    for (const auto& part : path) {
        RegistryKeyNode* child = node->findSubkey(part);
        if (!child) {
            auto fresh = std::make_unique<RegistryKeyNode>();
            fresh->name = part;
            child = fresh.get();
            node->subkeys.emplace(part, std::move(fresh));
            if (created) *created = true;
        } else if (created) {
            *created = false;
        }
        node = child;
    }
    return *node;
}

bool RegistryTree::remove(const std::vector<std::string>& path) {
    if (path.empty()) return false;
    RegistryKeyNode* parent = find(std::vector<std::string>(path.begin(), path.end() - 1));
    return parent && parent->subkeys.erase(path.back()) == 1;
}

std::string RegistryTree::serialize() const {
    std::string out = std::string(HEADER) + "\n";
    serializeKey(*root_, ROOT_NAME, out);
    return out;
}

bool RegistryTree::parse(const std::string& text, RegistryTree& out) {
    out = RegistryTree();
    RegistryKeyNode* current = nullptr;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;
        if (line[0] == '[') {
            if (line.back() != ']') return false;
            std::string path = line.substr(1, line.size() - 2);
            std::vector<std::string> parts;
            std::size_t start = 0;
            while (true) {
                std::size_t end = path.find('\\', start);
                std::string part;
                if (!unescapeKeyName(path.substr(start, end == std::string::npos ? end : end - start),
                                     part) ||
                    part.empty())
                    return false;
                parts.push_back(part);
                if (end == std::string::npos) break;
                start = end + 1;
            }
            if (!equalsNoCase(parts.front(), ROOT_NAME)) return false;
            parts.erase(parts.begin());
            current = &out.create(parts, nullptr);
            continue;
        }
        if (!current) return false;
        RegistryValue v;
        std::size_t pos = 0;
        if (line[0] == '@') {
            pos = 1;
        } else if (!readQuoted(line, pos, v.name) || v.name.empty()) {
            return false;
        }
        if (pos >= line.size() || line[pos] != '=' || !parseData(line.substr(pos + 1), v)) return false;
        if (current->findValue(v.name)) return false;
        current->values.push_back(std::move(v));
    }
    return true;
}

}  // namespace registry
