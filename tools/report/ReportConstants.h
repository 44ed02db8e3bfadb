// Fixed names of the diagnostic report: registry keys, files it copies, devices it opens.
#pragma once

#include <cstdint>

namespace report {

class ReportConstants {
public:
    static constexpr const char* DEFAULT_INSTALL_FOLDER = "C:\\Program Files\\Varnel Tamsel";
    static constexpr const char* SERVICE_KEY = "SYSTEM\\CurrentControlSet\\Services\\Varnel Tamsel";
    static constexpr const char* WINLOGON_KEY = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
    static constexpr const char* SSO_HOOK_KEY =
        "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Notify\\briselsso";
    static constexpr const char* DEFAULT_GINA = "msgina.dll";
    static constexpr const char* SSO_LOG = "C:\\BriselSsoDbg.txt";
    static constexpr const char* SSO_LOG_BACKUP = "C:\\BriselSsoDbg_bak.txt";
    static constexpr const char* DRIVER_LOG = "KtlDrvLog.txt";
    static constexpr const char* INSTALL_LOG = "3vOD-Drv-Install-log.txt";
    static constexpr const char* UNINSTALL_LOG = "3vOD-Drv-uninstall-log.txt";
    static constexpr const char* TCPIP_KEY_PREFIX = "SYSTEM\\CurrentControlSet\\Services\\";
    static constexpr const char* TCPIP_KEY_SUFFIX = "\\Parameters\\Tcpip";
    static constexpr int MAX_SYSTEM_PATH = 295;

    // Driver table flag: mention the row only when its device opens.
    static constexpr uint32_t DRIVER_ONLY_WHEN_OPEN = 0x1;

    // The filter driver's control device and what the report asks of it.
    static constexpr const char* FILTER_DEVICE = "\\\\.\\Global\\Pellodur";
    static constexpr uint32_t OID_802_11_BSSID_LIST_SCAN = 0x0D01011A;
    static constexpr uint32_t OID_802_11_BSSID_LIST = 0x0D010217;
    static constexpr uint32_t NDIS_STATUS_BUFFER_TOO_SHORT = 0xC0010016;
    static constexpr uint32_t NDIS_STATUS_INVALID_LENGTH = 0xC0010014;
    static constexpr uint32_t EVENT_BUFFER_LENGTH = 5152;
    static constexpr int EVENT_READS = 10;
    static constexpr uint32_t EVENT_READ_WAIT_MS = 1000;
    static constexpr uint32_t FIRST_LIST_BUFFER = 16384;
    static constexpr uint32_t LIST_BUFFER_GRANULE = 256;
    static constexpr int LIST_TRIES = 4;
    static constexpr int WIRELESS_ROUNDS = 6;
    static constexpr int WIRELESS_ADAPTERS = 10;
    static constexpr uint32_t ROUND_PAUSE_MS = 1000;
    // Shortens the pause after each wireless round (milliseconds), for tests.
    static constexpr const char* PAUSE_VARIABLE = "BRISELPKG_PAUSE_MS";
};

struct DriverRow {
    const char* device;
    const char* file;
    uint32_t flags;
};

inline constexpr DriverRow DRIVER_TABLE[] = {
    {"\\\\.\\Global\\QUENHOLT", "Quenholt.sys", 3},
    {"\\\\.\\Global\\OrvikP", "Orvikp.sys", 3},
    {"\\\\.\\Global\\Pellodur", "nvofilt.sys", 2},
};

}  // namespace report
