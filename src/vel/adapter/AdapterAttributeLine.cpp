#include "vel/adapter/AdapterAttributeLine.h"

#include <cstdio>

#include "platform/qxauth/qxAuth.h"
#include "runtime/lum/Log.h"

namespace {

struct Name {
    unsigned bit;
    const char* text;
};

std::string joined(unsigned flags, const Name* names, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        if ((flags & names[i].bit) == 0) continue;
        if (!text.empty()) text += ", ";
        text += names[i].text;
    }
    return text.empty() ? "UNKNOWN" : text;
}

}  // namespace

std::string AdapterAttributeLine::mediaText(unsigned flags) {
    if ((flags & QX_ATTR_8023) != 0) return "802.3";
    if ((flags & QX_ATTR_WIRELESS) == 0) return " UNKNOWN";
    std::string text = "802.11";
    if ((flags & QX_ATTR_80211A) != 0) text += "a";
    if ((flags & QX_ATTR_80211B) != 0) text += "b";
    if ((flags & QX_ATTR_80211G) != 0) text += "g";
    if ((flags & QX_ATTR_80211N) != 0) text += "n";
    return text;
}

std::string AdapterAttributeLine::encryptionText(unsigned flags) {
    static constexpr Name names[] = {{QX_ATTR_ENC_AES, "AES"},
                                     {QX_ATTR_ENC_TKIP, "TKIP"},
                                     {QX_ATTR_ENC_WEP, "WEP"},
                                     {QX_ATTR_ENC_NONE, "NONE"}};
    return joined(flags, names, 4);
}

std::string AdapterAttributeLine::authenticationText(unsigned flags) {
    static constexpr Name names[] = {{QX_ATTR_AUTH_OPEN, "OPEN"},
                                     {QX_ATTR_AUTH_SHARED, "SHARED"},
                                     {QX_ATTR_AUTH_WPA_1X, "WPA-1X"},
                                     {QX_ATTR_AUTH_WPA_PSK, "WPA-PSK"},
                                     {QX_ATTR_AUTH_WPA_QUILLAN, "WPA-Quillan"},
                                     {QX_ATTR_AUTH_11I_1X, "11i-1X"},
                                     {QX_ATTR_AUTH_11I_PSK, "11i-PSK"},
                                     {QX_ATTR_AUTH_11I_QUILLAN, "11i-Quillan"}};
    return joined(flags, names, 8);
}

std::string AdapterAttributeLine::macText(const QX_PORT_ATTR& record) {
    const std::uint8_t* m = record.macAddress;
    char text[16];
    std::snprintf(text, sizeof text, "%02x%02x%02x-%02x%02x%02x", m[0], m[1], m[2], m[3], m[4], m[5]);
    return text;
}

void AdapterAttributeLine::log(const char* symbolicName, const QX_PORT_ATTR& record) {
    logInfo(158, "Symbolic name: (%s), MacAddr: (%s), Mtu: (%d), Media: (%s), Encryption: (%s), Auth: (%s)",
            symbolicName, macText(record).c_str(), static_cast<int>(record.mtu),
            mediaText(record.flags).c_str(), encryptionText(record.flags).c_str(),
            authenticationText(record.flags).c_str());
}
