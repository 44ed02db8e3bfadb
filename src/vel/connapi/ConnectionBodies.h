#pragma once
// The connection, scan list, service state and policy messages.
#include <cstdint>
#include <utility>
#include <vector>

#include "vel/connapi/SoapBodyContext.h"
#include "vel/network/Ssid.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"

struct ConnectToNetworkRecord {
    Ascii networkName;
    // 1 auto, 2 manual; 0 when the request names none.
    std::int32_t connectionMode = 0;
};

// One network of the scan list as getScanListResponse carries it.
struct ScanEntryRecord {
    Ascii ssid;
    ByteArray bssid;
    // (association, encryption) pairs in the scan's order.
    std::vector<std::pair<std::int32_t, std::int32_t>> modes;
    std::int32_t channel = 0;
    std::int32_t signalStrengthInDbm = 0;
    std::int32_t snr = 0;

    static ScanEntryRecord from(const Ssid& ssid);
};

struct AdministratorPolicyRecord {
    // EAP_TYPE values in the policy's order.
    std::vector<std::int32_t> allowedEapMethods;
    bool allowWired = false;
    bool allowWireless = false;
    bool allowVpn = false;
    bool allowRunScript = false;
};

class ConnectionBodies {
public:
    // A scanned network of unknown association with WEP is listed with this text.
    static constexpr const char* SCANNED_WEP = "wep";

    // getConnectionModeResponse: group and network only when not empty.
    static void writeConnectionMode(const SoapBodyContext& context, std::int32_t connectionMode,
                                    const Ascii& groupName, const Ascii& networkName);
    static ConnectToNetworkRecord readConnectToNetwork(const SharedXmlNode& element);
    // connectToNetworkResponse.
    static void writeNetworkName(const SoapBodyContext& context, const Ascii& networkName);
    static void writeScanList(const SoapBodyContext& context, const std::vector<ScanEntryRecord>& entries);
    static void writeServiceState(const SoapBodyContext& context, bool clientEnabled, bool radioEnabled);
    static void writeAdministratorPolicy(const SoapBodyContext& context,
                                         const AdministratorPolicyRecord& policy);
};
