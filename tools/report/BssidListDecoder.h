// Prints one adapter's scanned networks: the list of NDIS_WLAN_BSSID_EX entries that the adapter
// answers for OID_802_11_BSSID_LIST, with each entry's fixed fields and information elements.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tools/report/InformationElements.h"
#include "tools/report/ReportOutput.h"

namespace report {

class BssidListConstants {
public:
    // NDIS_WLAN_BSSID_EX field offsets, little-endian.
    static constexpr size_t LENGTH = 0;
    static constexpr size_t MAC_ADDRESS = 4;
    static constexpr size_t SSID_LENGTH = 12;
    static constexpr size_t SSID = 16;
    static constexpr size_t SSID_MAX = 32;
    static constexpr size_t PRIVACY = 48;
    static constexpr size_t RSSI = 52;
    static constexpr size_t NETWORK_TYPE = 56;
    static constexpr size_t BEACON_PERIOD = 64;
    static constexpr size_t ATIM_WINDOW = 68;
    static constexpr size_t DS_CONFIG = 72;
    static constexpr size_t INFRASTRUCTURE_MODE = 92;
    static constexpr size_t SUPPORTED_RATES = 96;
    static constexpr size_t RATES_COUNT = 16;
    static constexpr size_t IE_LENGTH = 112;
    static constexpr size_t IES = 116;
    static constexpr size_t FIXED_IES_LENGTH = 12;

    static constexpr uint32_t MIN_ENTRY_LENGTH = 104;
    static constexpr uint32_t MIN_ENTRY_WITH_IES = 120;
    // NumberOfItems precedes the entries.
    static constexpr size_t LIST_HEADER = 4;
};

// The whole list. Throws BssidListException where the list claims more bytes than it holds.
void PrintBssidList(ReportOutput& out, const uint8_t* list, size_t length);

// The capability lines of the fixed elements.
void PrintCapabilities(ReportOutput& out, uint16_t capabilities);

// The number of entries the list claims, 0 when it is too short to say.
uint32_t BssidListItemCount(const uint8_t* list, size_t length);

}  // namespace report
