#include "platform/lab/LabSchema.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <set>
#include <sstream>

#include "platform/dunmere/dunmere.h"

namespace lab {

namespace {

using K = ValueKind;

struct SecurityRow {
    const char* text;
    int association;
    int encryption;
};

// The association-mode texts of the project's configuration files with their numbers.
const SecurityRow SECURITY[] = {
    {"openNoEncryption", 1, 1},      {"openStaticWep", 1, 2},        {"sharedStaticWep", 2, 2},
    {"open1xDynamicWep", 1, 2},      {"wpaPersonalTkip", 5, 3},      {"wpaPersonalAes", 5, 4},
    {"wpa2PersonalTkip", 7, 3},      {"wpa2PersonalAes", 7, 4},      {"wpaEnterpriseTkip", 6, 3},
    {"wpaEnterpriseAes", 6, 4},      {"wpa2EnterpriseTkip", 8, 3},   {"wpa2EnterpriseAes", 8, 4},
    {"quillanEnterpriseTkip", 9, 3}, {"quillanEnterpriseAes", 9, 4},
};

constexpr long long DELAY_MAX = 3600000;

// The names of the VPN library's errors (VPN_OK left out) or states, as one Choice.
template <std::size_t N>
const char* dunmereChoices(const DunmereName (&names)[N], int first) {
    static const std::string words = [&] {
        std::string joined;
        for (const DunmereName& n : names) {
            if (n.value < first) continue;
            if (!joined.empty()) joined += ' ';
            joined += n.name;
        }
        return joined;
    }();
    return words.c_str();
}
constexpr long long INT32_MAX_VALUE = 2147483647;

// Built before main, like every table of the lab that lives as long as the program: a program
// that checks its heap for blocks left at its end does not count them.
const std::vector<ElementSpec> TABLE = {
        {"adapter",
         "name",
         "friendly",
         false,
         {{"name", K::Guid},
          {"friendly", K::Text, "", 1, 64},
          {"description", K::Text, "", 0, 255},
          {"media", K::Choice, "wired wireless", 0, 0, "wired"},
          {"mac", K::Mac, "", 0, 0, "00:00:00:00:00:00"},
          {"mtu", K::Int, "", 68, 65535, "1500"},
          {"link", K::Choice, "up down", 0, 0, "up"},
          {"speed", K::Int, "", 1, 100000},
          {"bands", K::Letters, "abgn"},
          {"locationCapable", K::Bool, "", 0, 0, "false"}},
         {"name"},
         "oid"},
        {"accessPoint",
         "bssid",
         nullptr,
         false,
         {{"ssid", K::Text, "", 1, 32},
          {"bssid", K::Mac},
          {"channel", K::Int, "", 1, 196, "6"},
          {"signal", K::Int, "", -120, 0, "-60"},
          {"noise", K::Int, "", -120, 0, "-95"},
          {"hidden", K::Bool, "", 0, 0, "false"},
          {"adapter", K::Text, "", 1, 64},
          {"security", K::Security, "", 0, 0, "openNoEncryption"},
          {"passphrase", K::Text, "", 8, 63},
          {"psk", K::Hex, "", 32, 32},
          {"wepKey", K::Hex, "", 5, 13},
          {"location", K::Text},
          {"locationFormat", K::Choice, "CIVIC GEO Varnel", 0, 0, "CIVIC"},
          {"locationSignature", K::Hex, "", 1, 4096},
          {"locationSignatureType", K::Choice, "sha1Dsa sha1Rsa sha256Rsa sha384Rsa sha512Rsa md5Rsa md2Rsa"},
          {"locationId", K::Text},
          {"locationAccuracy", K::Int, "", 0, INT32_MAX_VALUE, "0"},
          {"locationCapabilities", K::Int, "", 0, 0x7FFF, "0"},
          {"locationError", K::Int, "", -INT32_MAX_VALUE, INT32_MAX_VALUE},
          {"delayMs", K::Int, "", 0, DELAY_MAX, "0"},
          {"ibss", K::Bool, "", 0, 0, "false"}},
         {"ssid", "bssid"}},
        {"authenticator",
         "on",
         nullptr,
         false,
         {{"on", K::Text, "", 1, 64},
          {"method", K::Choice, "leap md5 gtc mschapv2 tls peap ttls fast"},
          {"inner", K::Choice, "mschapv2 gtc tls pap chap mschap eap-mschapv2"},
          {"outerIdentity", K::Text},
          {"identity", K::Text},
          {"password", K::Text},
          {"newPassword", K::Text},
          {"retry", K::Bool, "", 0, 0, "false"},
          {"passcode", K::Text},
          {"machineIdentity", K::Text},
          {"machinePassword", K::Text},
          {"serverCertificate", K::File},
          {"serverKey", K::File},
          {"serverChain", K::File},
          {"clientCa", K::File},
          {"resume", K::Bool, "", 0, 0, "false"},
          {"provisioning", K::Choice, "none unauthenticated authenticated", 0, 0, "none"},
          {"pacTypes", K::IntList, "", 1, 2},
          {"pacKey", K::Hex, "", 32, 32},
          {"answerTimeoutMs", K::Int, "", 0, DELAY_MAX, "30000"},
          {"reauthSec", K::Int, "", 0, 86400, "0"},
          {"outcome", K::Choice, "byCredentials accept reject silent", 0, 0, "byCredentials"},
          {"delayMs", K::Int, "", 0, DELAY_MAX, "0"}},
         {"on", "method"}},
        {"dhcp",
         "on",
         nullptr,
         false,
         {{"on", K::Text, "", 1, 64},
          {"address", K::Ipv4},
          {"mask", K::Ipv4, "", 0, 0, "255.255.255.0"},
          {"gateway", K::Ipv4},
          {"server", K::Ipv4},
          {"leaseSec", K::Int, "", 0, INT32_MAX_VALUE, "86400"},
          {"enabled", K::Bool, "", 0, 0, "true"},
          {"failures", K::Int, "", 0, 1000, "0"},
          {"delayMs", K::Int, "", 0, DELAY_MAX, "0"}},
         {"on"}},
        {"certificateStore",
         nullptr,
         nullptr,
         false,
         {{"store", K::Choice,
           "CURRENT_USER/MY CURRENT_USER/CA CURRENT_USER/ROOT LOCAL_MACHINE/MY LOCAL_MACHINE/CA "
           "LOCAL_MACHINE/ROOT"},
          {"file", K::File},
          {"password", K::Text}},
         {"store", "file"}},
        {"smartCard",
         "id",
         nullptr,
         false,
         {{"id", K::Text, "", 1, 128},
          {"name", K::Text, "", 0, 255},
          {"file", K::File},
          {"pin", K::Text, "", 1, 64},
          {"inserted", K::Bool, "", 0, 0, "true"},
          {"blocked", K::Bool, "", 0, 0, "false"},
          {"tries", K::Int, "", 0, 100, "3"}},
         {"id"}},
        {"logon",
         nullptr,
         nullptr,
         true,
         {{"user", K::Text, "", 1, 256},
          {"domain", K::Text},
          {"password", K::Text},
          {"newPassword", K::Text},
          {"pin", K::Text},
          {"atMs", K::Int, "", 0, DELAY_MAX}},
         {"user"}},
        {"vpnGateway",
         "profile",
         nullptr,
         false,
         {{"profile", K::Text, "", 1, 128},
          {"user", K::Text},
          {"password", K::Text},
          {"token", K::Bool, "", 0, 0, "false"},
          {"banner", K::Text},
          {"permissions", K::Int, "", 0, 0xFFFF, "6"},
          {"requires", K::Text, "", 1, 64},
          {"error", K::Choice, dunmereChoices(DUNMERE_RESULT_NAMES, VPN_ERROR)},
          {"failAt", K::Choice, dunmereChoices(DUNMERE_STATE_NAMES, VPN_STATE_WAIT_PPP), 0, 0,
           "VPN_STATE_WAIT_PHASE1"},
          {"delayMs", K::Int, "", 0, DELAY_MAX, "0"}},
         {"profile"}},
        {"softToken",
         "user",
         nullptr,
         false,
         {{"user", K::Text, "", 1, 256},
          {"pin", K::Text},
          {"passcode", K::Text},
          {"type", K::Int, "", 0, 255, "8"},
          {"pinExpired", K::Bool, "", 0, 0, "false"}},
         {"user"}},
        {"library",
         nullptr,
         nullptr,
         true,
         {{"version", K::Version, "", 0, 0, "3.2.1.17"}, {"built", K::Time, "", 0, 0, "2009-04-15 10:30:00"}},
         {}},
        {"fail",
         nullptr,
         nullptr,
         false,
         {{"function", K::Text, "", 1, 64},
          {"code", K::Int, "", -INT32_MAX_VALUE, INT32_MAX_VALUE},
          {"count", K::Count, "", 0, 0, "1"}},
         {"function", "code"}},
        {"at", nullptr, nullptr, false, {{"ms", K::Int, "", 0, 86400000}, {"do", K::Command}}, {"ms", "do"}},
};

const ElementSpec OID = {"oid", "id", nullptr, false, {{"id", K::Int, "", 0, 0xFFFFFFFFll}, {"hex", K::Hex}}, {"id", "hex"}};

const std::vector<ElementSpec>& specs() {
    return TABLE;
}

bool fail(std::string* error, const std::string& text) {
    *error = text;
    return false;
}

bool parseInteger(const std::string& text, long long* out) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
    errno = 0;
    char* end = nullptr;
    long long n = std::strtoll(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0') return false;
    // A leading zero would make strtoll read octal; only "0" and "0x..." are numbers here.
    std::string digits = text[0] == '-' ? text.substr(1) : text;
    if (digits.size() > 1 && digits[0] == '0' && digits[1] != 'x' && digits[1] != 'X') return false;
    *out = n;
    return true;
}

bool hexDigits(const std::string& text, std::string* digits) {
    digits->clear();
    for (char c : text) {
        if (std::isxdigit(static_cast<unsigned char>(c))) {
            digits->push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
        } else if (c != ' ' && c != ':' && c != '-' && c != '\n' && c != '\t' && c != '\r') {
            return false;
        }
    }
    return digits->size() % 2 == 0;
}

bool isGuid(const std::string& text) {
    if (text.size() != 38 || text.front() != '{' || text.back() != '}') return false;
    for (size_t i = 1; i < 37; ++i) {
        bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? text[i] != '-' : !std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
    }
    return true;
}

bool isMac(const std::string& text, std::string* canonical) {
    if (text.size() != 17) return false;
    std::string out;
    for (size_t i = 0; i < 17; ++i) {
        if (i % 3 == 2) {
            if (text[i] != ':') return false;
        } else if (!std::isxdigit(static_cast<unsigned char>(text[i]))) {
            return false;
        }
        out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(text[i]))));
    }
    *canonical = out;
    return true;
}

bool isIpv4(const std::string& text) {
    int parts = 0;
    size_t at = 0;
    while (at <= text.size()) {
        size_t dot = text.find('.', at);
        std::string part = text.substr(at, dot == std::string::npos ? std::string::npos : dot - at);
        if (part.empty() || part.size() > 3) return false;
        for (char c : part)
            if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        if (std::atoi(part.c_str()) > 255 || (part.size() > 1 && part[0] == '0')) return false;
        ++parts;
        if (dot == std::string::npos) break;
        at = dot + 1;
    }
    return parts == 4;
}

bool isVersion(const std::string& text) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, '.');) parts.push_back(part);
    if (parts.size() != 4 || text.back() == '.') return false;
    for (const std::string& part : parts) {
        long long n = 0;
        if (!parseInteger(part, &n) || n < 0 || n > 65535 || part.find('x') != std::string::npos)
            return false;
    }
    return true;
}

bool isTime(const std::string& text) {
    // YYYY-MM-DD[ hh:mm:ss]
    const char* date = "dddd-dd-dd";
    const char* full = "dddd-dd-dd dd:dd:dd";
    const char* pattern = text.size() == std::strlen(date) ? date : full;
    if (text.size() != std::strlen(pattern)) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (pattern[i] == 'd' ? !std::isdigit(static_cast<unsigned char>(text[i])) : text[i] != pattern[i])
            return false;
    }
    int month = std::atoi(text.substr(5, 2).c_str());
    int day = std::atoi(text.substr(8, 2).c_str());
    if (month < 1 || month > 12 || day < 1 || day > 31) return false;
    if (text.size() > 10) {
        if (std::atoi(text.substr(11, 2).c_str()) > 23 || std::atoi(text.substr(14, 2).c_str()) > 59 ||
            std::atoi(text.substr(17, 2).c_str()) > 59)
            return false;
    }
    return true;
}

const char* COMMAND_WORDS[] = {"add",   "set",    "remove", "link", "card", "power",
                               "logon", "logoff", "vpn",    "fail", "calls"};

std::string range(const AttributeSpec& spec) {
    return std::to_string(spec.min) + " to " + std::to_string(spec.max);
}

}  // namespace

const ElementSpec* elementSpec(const std::string& name) {
    for (const ElementSpec& spec : specs())
        if (name == spec.name) return &spec;
    return nullptr;
}

const ElementSpec& childSpec() {
    return OID;
}

const AttributeSpec* attributeSpec(const ElementSpec& element, const std::string& name) {
    for (const AttributeSpec& spec : element.attributes)
        if (name == spec.name) return &spec;
    return nullptr;
}

std::vector<std::string> elementNames() {
    std::vector<std::string> names;
    for (const ElementSpec& spec : specs()) names.push_back(spec.name);
    return names;
}

std::vector<std::string> splitWords(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    for (char c : text) {
        if (c == ' ' || c == ',' || c == '\t') {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word.push_back(c);
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

bool securityMode(const std::string& text, int* association, int* encryption) {
    for (const SecurityRow& row : SECURITY) {
        if (text == row.text) {
            *association = row.association;
            *encryption = row.encryption;
            return true;
        }
    }
    return false;
}

bool checkValue(const AttributeSpec& spec, const std::string& text, const std::string& labFolder,
                std::string* value, std::string* error) {
    *value = text;
    switch (spec.kind) {
        case K::Text:
            if (spec.max > 0 && static_cast<long long>(text.size()) > spec.max)
                return fail(error, "longer than " + std::to_string(spec.max) + " bytes");
            if (static_cast<long long>(text.size()) < std::max(spec.min, 0ll))
                return fail(error, "shorter than " + std::to_string(spec.min) + " bytes");
            return true;
        case K::Guid:
            return isGuid(text) || fail(error, "not a GUID in braces");
        case K::Choice: {
            for (const std::string& word : splitWords(spec.choices))
                if (word == text) return true;
            return fail(error, std::string("not one of ") + spec.choices);
        }
        case K::Bool:
            return text == "true" || text == "false" || fail(error, "not true or false");
        case K::Int: {
            long long n = 0;
            if (!parseInteger(text, &n)) return fail(error, "not a number");
            if (n < spec.min || n > spec.max) return fail(error, "outside " + range(spec));
            *value = std::to_string(n);
            return true;
        }
        case K::Mac:
            return isMac(text, value) || fail(error, "not a MAC address (xx:xx:xx:xx:xx:xx)");
        case K::Hex: {
            std::string digits;
            if (!hexDigits(text, &digits) || digits.empty()) return fail(error, "not hexadecimal bytes");
            long long bytes = static_cast<long long>(digits.size() / 2);
            if (spec.min > 0 && bytes < spec.min)
                return fail(error, "fewer than " + std::to_string(spec.min) + " bytes");
            if (spec.max > 0 && bytes > spec.max)
                return fail(error, "more than " + std::to_string(spec.max) + " bytes");
            if (std::string(spec.name) == "wepKey" && bytes != 5 && bytes != 13)
                return fail(error, "not 5 or 13 bytes");
            *value = digits;
            return true;
        }
        case K::Ipv4:
            return isIpv4(text) || fail(error, "not an IPv4 address");
        case K::Letters: {
            std::set<char> seen;
            for (char c : text) {
                if (std::strchr(spec.choices, c) == nullptr || c == '\0')
                    return fail(error, std::string("not letters of ") + spec.choices);
                if (!seen.insert(c).second) return fail(error, std::string("a letter twice"));
            }
            return !text.empty() || fail(error, std::string("not letters of ") + spec.choices);
        }
        case K::Security: {
            std::vector<std::string> words = splitWords(text);
            if (words.empty() || words.size() > 2) return fail(error, "not one or two association modes");
            int association = 0;
            int encryption = 0;
            for (const std::string& word : words)
                if (!securityMode(word, &association, &encryption))
                    return fail(error, "unknown association mode '" + word + "'");
            return true;
        }
        case K::IntList: {
            std::vector<std::string> words = splitWords(text);
            if (words.empty()) return fail(error, "no numbers");
            for (const std::string& word : words) {
                long long n = 0;
                if (!parseInteger(word, &n) || n < spec.min || n > spec.max)
                    return fail(error, "not numbers from " + range(spec));
            }
            return true;
        }
        case K::File:
            if (text.empty()) return fail(error, "an empty path");
            *value = text[0] == '/' || labFolder.empty() ? text : labFolder + "/" + text;
            return true;
        case K::Version:
            return isVersion(text) || fail(error, "not a version a.b.c.d");
        case K::Time:
            return isTime(text) || fail(error, "not a time YYYY-MM-DD[ hh:mm:ss]");
        case K::Count: {
            if (text == "always") {
                *value = "0";
                return true;
            }
            long long n = 0;
            if (!parseInteger(text, &n) || n < 0 || n > INT32_MAX_VALUE)
                return fail(error, "not a count or always");
            *value = std::to_string(n);
            return true;
        }
        case K::Command: {
            std::vector<std::string> words = splitWords(text);
            if (words.empty()) return fail(error, "an empty command");
            for (const char* word : COMMAND_WORDS)
                if (words[0] == word) return true;
            return fail(error, "unknown command '" + words[0] + "'");
        }
    }
    return fail(error, "unknown kind of value");
}

}  // namespace lab
