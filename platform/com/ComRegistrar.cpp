#include "platform/com/ComRegistrar.h"

#include <cctype>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/registry/Registry.h"

namespace com {

namespace {

using namespace registry;

struct ScriptValue {
    std::string name;
    char type = 's';
    std::string data;
};

struct ScriptKey {
    enum class Kind { PLAIN, NO_REMOVE, FORCE_REMOVE, DELETE } kind = Kind::PLAIN;
    std::string name;
    bool hasDefault = false;
    ScriptValue defaultValue;
    std::vector<ScriptValue> values;
    std::vector<ScriptKey> subkeys;
};

struct Token {
    std::string text;
    bool quoted = false;
};

class ScriptParser {
public:
    ScriptParser(const std::string& script, const std::map<std::string, std::string>& replacements)
        : replacements_(replacements) {
        tokenize(script);
    }

    bool parse(std::vector<std::pair<HKEY, std::vector<ScriptKey>>>& roots) {
        if (!ok_) return false;
        while (pos_ < tokens_.size()) {
            HKEY root = rootKey(tokens_[pos_++].text);
            if (!root || !expect("{")) return false;
            std::vector<ScriptKey> keys;
            if (!parseBody(keys, nullptr)) return false;
            roots.emplace_back(root, std::move(keys));
        }
        return true;
    }

private:
    static HKEY rootKey(const std::string& name) {
        if (name == "HKCR" || name == "HKEY_CLASSES_ROOT") return HKEY_CLASSES_ROOT;
        if (name == "HKLM" || name == "HKEY_LOCAL_MACHINE") return HKEY_LOCAL_MACHINE;
        return nullptr;
    }

    bool atBare(const char* text) const {
        return pos_ < tokens_.size() && !tokens_[pos_].quoted && tokens_[pos_].text == text;
    }
    bool expect(const char* text) {
        if (!atBare(text)) return false;
        ++pos_;
        return true;
    }
    bool name(std::string& out) {
        if (pos_ >= tokens_.size()) return false;
        const Token& t = tokens_[pos_];
        if (!t.quoted && (t.text == "{" || t.text == "}" || t.text == "=")) return false;
        out = t.text;
        ++pos_;
        return true;
    }
    bool typedValue(ScriptValue& value) {
        std::string type;
        if (!expect("=") || !name(type) || (type != "s" && type != "d") || !name(value.data)) return false;
        value.type = type[0];
        return true;
    }

    // Reads entries up to the closing brace; `owner` receives values, which only keys may hold.
    bool parseBody(std::vector<ScriptKey>& keys, ScriptKey* owner) {
        while (!atBare("}")) {
            if (pos_ >= tokens_.size()) return false;
            if (atBare("val")) {
                ++pos_;
                ScriptValue value;
                if (!owner || !name(value.name) || !typedValue(value)) return false;
                owner->values.push_back(std::move(value));
                continue;
            }
            ScriptKey key;
            if (atBare("NoRemove")) key.kind = ScriptKey::Kind::NO_REMOVE;
            if (atBare("ForceRemove")) key.kind = ScriptKey::Kind::FORCE_REMOVE;
            if (atBare("Delete")) key.kind = ScriptKey::Kind::DELETE;
            if (key.kind != ScriptKey::Kind::PLAIN) ++pos_;
            if (!name(key.name)) return false;
            if (atBare("=")) {
                key.hasDefault = true;
                if (!typedValue(key.defaultValue)) return false;
            }
            if (atBare("{")) {
                ++pos_;
                if (!parseBody(key.subkeys, &key)) return false;
            }
            keys.push_back(std::move(key));
        }
        ++pos_;
        return true;
    }

    std::string substitute(const std::string& text) {
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] != '%') {
                out += text[i];
                continue;
            }
            std::size_t end = text.find('%', i + 1);
            if (end == std::string::npos) {
                ok_ = false;
                return out;
            }
            std::string variable = text.substr(i + 1, end - i - 1);
            if (variable.empty()) {
                out += '%';
            } else {
                auto it = replacements_.find(variable);
                if (it == replacements_.end())
                    ok_ = false;
                else
                    out += it->second;
            }
            i = end;
        }
        return out;
    }

    void tokenize(const std::string& script) {
        std::size_t i = 0;
        while (i < script.size()) {
            if (std::isspace(static_cast<unsigned char>(script[i]))) {
                ++i;
                continue;
            }
            Token token;
            if (script[i] == '\'') {
                token.quoted = true;
                for (++i;; ++i) {
                    if (i >= script.size()) {
                        ok_ = false;
                        return;
                    }
                    if (script[i] == '\'') {
                        if (i + 1 < script.size() && script[i + 1] == '\'') {
                            token.text += '\'';
                            ++i;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    token.text += script[i];
                }
            } else {
                while (i < script.size() && !std::isspace(static_cast<unsigned char>(script[i])))
                    token.text += script[i++];
            }
            token.text = substitute(token.text);
            tokens_.push_back(std::move(token));
        }
    }

    const std::map<std::string, std::string>& replacements_;
    std::vector<Token> tokens_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

LSTATUS setValue(HKEY key, const ScriptValue& value) {
    if (value.type == 'd') {
        char* end = nullptr;
        unsigned long long n = std::strtoull(value.data.c_str(), &end, 0);
        if (value.data.empty() || *end || n > 0xFFFFFFFFull) return base::win32::ERROR_INVALID_DATA;
        std::uint32_t number = static_cast<std::uint32_t>(n);
        return RegSetValueEx(key, value.name.c_str(), REG_DWORD,
                             reinterpret_cast<const std::uint8_t*>(&number), 4);
    }
    return RegSetValueEx(key, value.name.c_str(), REG_SZ,
                         reinterpret_cast<const std::uint8_t*>(value.data.c_str()),
                         static_cast<std::uint32_t>(value.data.size() + 1));
}

LSTATUS registerKey(HKEY parent, const ScriptKey& entry) {
    if (entry.kind == ScriptKey::Kind::DELETE || entry.kind == ScriptKey::Kind::FORCE_REMOVE) {
        LSTATUS status = RegDeleteTree(parent, entry.name.c_str());
        if (status != base::win32::ERROR_SUCCESS && status != base::win32::ERROR_FILE_NOT_FOUND)
            return status;
        if (entry.kind == ScriptKey::Kind::DELETE) return base::win32::ERROR_SUCCESS;
    }
    HKEY key = nullptr;
    LSTATUS status = RegCreateKeyEx(parent, entry.name.c_str(), 0, KEY_ALL_ACCESS, &key, nullptr);
    if (status != base::win32::ERROR_SUCCESS) return status;
    if (entry.hasDefault) status = setValue(key, entry.defaultValue);
    for (std::size_t i = 0; status == base::win32::ERROR_SUCCESS && i < entry.values.size(); ++i)
        status = setValue(key, entry.values[i]);
    for (std::size_t i = 0; status == base::win32::ERROR_SUCCESS && i < entry.subkeys.size(); ++i)
        status = registerKey(key, entry.subkeys[i]);
    RegCloseKey(key);
    return status;
}

LSTATUS unregisterKey(HKEY parent, const ScriptKey& entry) {
    if (entry.kind == ScriptKey::Kind::DELETE) return base::win32::ERROR_SUCCESS;
    if (entry.kind == ScriptKey::Kind::FORCE_REMOVE) {
        LSTATUS status = RegDeleteTree(parent, entry.name.c_str());
        return status == base::win32::ERROR_FILE_NOT_FOUND ? base::win32::ERROR_SUCCESS : status;
    }
    HKEY key = nullptr;
    LSTATUS status = RegOpenKeyEx(parent, entry.name.c_str(), 0, KEY_ALL_ACCESS, &key);
    if (status == base::win32::ERROR_FILE_NOT_FOUND) return base::win32::ERROR_SUCCESS;
    if (status != base::win32::ERROR_SUCCESS) return status;
    for (const auto& value : entry.values) RegDeleteValue(key, value.name.c_str());
    for (std::size_t i = 0; status == base::win32::ERROR_SUCCESS && i < entry.subkeys.size(); ++i)
        status = unregisterKey(key, entry.subkeys[i]);
    RegCloseKey(key);
    if (status != base::win32::ERROR_SUCCESS || entry.kind == ScriptKey::Kind::NO_REMOVE) return status;
    // A key that still holds keys someone else registered stays.
    status = RegDeleteKey(parent, entry.name.c_str());
    return status == base::win32::ERROR_ACCESS_DENIED ? base::win32::ERROR_SUCCESS : status;
}

}  // namespace

HRESULT RunRegistryScript(const std::string& script, bool doRegister,
                          const std::map<std::string, std::string>& replacements) {
    std::vector<std::pair<HKEY, std::vector<ScriptKey>>> roots;
    if (!ScriptParser(script, replacements).parse(roots)) return E_INVALIDARG;
    for (const auto& [root, keys] : roots) {
        for (const auto& key : keys) {
            LSTATUS status = doRegister ? registerKey(root, key) : unregisterKey(root, key);
            if (status != base::win32::ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
        }
    }
    return S_OK;
}

}  // namespace com
