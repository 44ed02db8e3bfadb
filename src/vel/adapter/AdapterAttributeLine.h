#pragma once
// The log line that says, on every connection, what the adapter's port offers: its MAC address,
// MTU, media, encryptions and authentications, from the port attribute record.
#include <string>

struct QX_PORT_ATTR;

class AdapterAttributeLine {
public:
    // "802.3", or "802.11" with the band letters present (a, b, g, n), or " UNKNOWN".
    static std::string mediaText(unsigned flags);
    // The encryptions present among AES, TKIP, WEP, NONE joined by ", ", or "UNKNOWN".
    static std::string encryptionText(unsigned flags);
    // The authentications present, joined by ", ", or "UNKNOWN".
    static std::string authenticationText(unsigned flags);
    // "aabbcc-ddeeff".
    static std::string macText(const QX_PORT_ATTR& record);
    // Writes the line for the adapter's symbolic name.
    static void log(const char* symbolicName, const QX_PORT_ATTR& record);
};
