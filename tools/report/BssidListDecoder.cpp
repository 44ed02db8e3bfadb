#include "tools/report/BssidListDecoder.h"

#include <algorithm>

namespace report {

namespace {

using C = BssidListConstants;

const char* PointCoordinatorText(unsigned value) {
    switch (value) {
        case 0:
            return "No point coordinator at AP\n";
        case 1:
            return "Point coordinator at AP for delivery and polling\n";
        case 2:
            return "Point coordinator at AP for delivery only (no polling)\n";
        case 128:
            return "QAP (HC) does not use CFP for delivery of unicast data frames\n";
        case 129:
            return "QAP (HC) uses CFP for delivery, but does not send CF-Polls to non-QoS STAs\n";
        case 130:
            return "QAP (HC) uses CFP for delivery, and sends CF-Polls to non-QoS STAs\n";
        default:
            return "Reserved\n";
    }
}

void PrintBssid(ReportOutput& out, const uint8_t* mac) {
    out.print("  BSSID        : %02x:%02x:%02x:%02x:%02x:%02x\n", mac[0], mac[1], mac[2], mac[3], mac[4],
              mac[5]);
}

void PrintElements(ReportOutput& out, const ByteView& entry, uint32_t ieLength) {
    ByteView fixed = entry.sub(C::IES, C::FIXED_IES_LENGTH);
    out.print("  Fixed length IEs :\n");
    out.print("    Timestamp      : 0x");
    for (int i = 7; i >= 0; --i) out.print("%02x", fixed.u8(size_t(i)));
    out.print("\n");
    out.print("    Beacon interval: %dmsec\n", fixed.u16(8) * 1024 / 1000);
    uint16_t capabilities = fixed.u16(10);
    out.print("    Capabilities   : 0x%04x\n", capabilities);
    PrintCapabilities(out, capabilities);

    if (ieLength <= C::FIXED_IES_LENGTH || ieLength - C::FIXED_IES_LENGTH <= 3) return;
    out.print("  Variable length IEs:\n");
    size_t at = C::IES + C::FIXED_IES_LENGTH;
    size_t remaining = ieLength - C::FIXED_IES_LENGTH;
    while (remaining >= 2) {
        uint8_t id = entry.u8(at);
        uint8_t length = entry.u8(at + 1);
        if (length == 0 || size_t(length) + 2 > remaining) break;
        DecodeElement(out, id, length, entry.at(at + 2, length));
        at += 2u + length;
        remaining -= 2u + length;
    }
}

// One entry that holds at least the minimum length and no more than the list has left.
void PrintEntry(ReportOutput& out, const ByteView& entry) {
    uint32_t ssidLength = entry.u32(C::SSID_LENGTH);
    if (ssidLength > C::SSID_MAX) throw BssidListException("SSID length past its field");
    const uint8_t* ssid = entry.at(C::SSID, ssidLength);
    out.print("  SSID (len %02d): ", int(ssidLength));
    PrintSsidCharacters(out, ssid, ssidLength);
    if (ssidLength == 0 || ssid[0] == 0) {
        out.print(" -> zero SSID, will skip\n");
        PrintBssid(out, entry.at(C::MAC_ADDRESS, 6));
        return;
    }
    out.print("\n");
    PrintBssid(out, entry.at(C::MAC_ADDRESS, 6));
    out.print("  Privacy      : %s\n", entry.u32(C::PRIVACY) ? "Enabled" : "Disabled");
    out.print("  Rssi         : %d\n", int32_t(entry.u32(C::RSSI)));
    uint32_t networkType = entry.u32(C::NETWORK_TYPE);
    static const char* const NETWORK_TYPES[] = {"802.11\n", "802.11b\n", "802.11a\n", "802.11g(b)\n"};
    out.print("  Network type : ");
    if (networkType < 4)
        out.print("%s", NETWORK_TYPES[networkType]);
    else
        out.print("unknown (%d)\n", int(networkType));

    out.print("  Parameters   :\n");
    out.print("    Beacon interval: %dmsec\n", int(entry.u32(C::BEACON_PERIOD) * 1024 / 1000));
    out.print("    ATIM window    : %dmsec\n", int(entry.u32(C::ATIM_WINDOW) * 1024 / 1000));
    out.print("    Frequency      : %dMhz\n", int(entry.u32(C::DS_CONFIG) / 1000));

    uint32_t mode = entry.u32(C::INFRASTRUCTURE_MODE);
    static const char* const MODES[] = {"ad hoc\n", "infrastructure\n", "auto\n"};
    out.print("  Network mode : ");
    if (mode < 3)
        out.print("%s", MODES[mode]);
    else
        out.print("unknown (%d)\n", int(mode));

    out.print("  Rates (Mbps) :");
    // An entry of the shorter layout carries fewer rates; the rest belongs to the next entry.
    size_t rateCount = std::min(C::RATES_COUNT, entry.size() - C::SUPPORTED_RATES);
    const uint8_t* rates = entry.at(C::SUPPORTED_RATES, rateCount);
    for (size_t i = 0; i < rateCount; ++i) {
        if (!rates[i]) continue;
        // The top bit marks a basic rate and is no part of the rate itself.
        uint8_t rate = rates[i] & 0x7F;
        out.print(" %d.%d", rate >> 1, rate & 1 ? 5 : 0);
    }
    out.print("\n");

    if (entry.size() < C::MIN_ENTRY_WITH_IES) return;
    uint32_t ieLength = entry.u32(C::IE_LENGTH);
    if (ieLength < C::FIXED_IES_LENGTH) return;
    if (ieLength > entry.size() - C::IES) throw BssidListException("elements past the entry");
    PrintElements(out, entry, ieLength);
}

}  // namespace

void PrintCapabilities(ReportOutput& out, uint16_t caps) {
    auto bit = [caps](int n) { return (caps >> n) & 1; };
    out.print("      .... .... .... ...%d : ", bit(0));
    out.print("Transmitter is %s\n", bit(0) ? "an AP" : "a STA");
    out.print("      .... .... .... ..%d. : ", bit(1));
    out.print("Transmitter is in %s\n", bit(1) ? "IBSS" : "BSS");
    out.print("      .... ..%d. .... %d%d.. : ", bit(9), bit(3), bit(2));
    if (bit(0))
        out.print("%s", PointCoordinatorText(bit(2) + 2 * bit(3) + 128 * bit(9)));
    else
        out.print("Used for APs only in beacons and probe responses.\n");
    out.print("      .... .... ...%d .... : ", bit(4));
    out.print("WEP is%s supported\n", bit(4) ? "" : " not");
    out.print("      .... .... ..%d. .... : ", bit(5));
    out.print("Short preamble is %s\n", bit(5) ? "allowed" : "not allowed");
    out.print("      .... .... .%d.. .... : ", bit(6));
    out.print("PBCC modulation is %s\n", bit(6) ? "allowed" : "not allowed");
    out.print("      .... .... %d... .... : ", bit(7));
    out.print("Channel Agility %s\n", bit(7) ? "in use" : "not in use");
    out.print("      .... ...%d .... .... : ", bit(8));
    out.print("The dot11SpectrumManagementRequired %s\n", bit(8) ? "is TRUE" : "is FALSE");
    out.print("      .... .%d.. .... .... : ", bit(10));
    out.print("The short slot time is %s\n", bit(10) ? "in use" : "not in use");
    out.print("      .... %d... .... .... : ", bit(11));
    out.print("Automatic Power Save Delivery (APSD) %s\n", bit(11) ? "supported" : "not supported");
    out.print("      ..%d. .... .... .... : ", bit(13));
    out.print("DSSS-OFDM modulation is %s\n", bit(13) ? "allowed" : "not alowed");
    out.print("      .%d.. .... .... .... : ", bit(14));
    out.print("Delayed block ACK is%s supported\n", bit(14) ? "" : " not");
    out.print("      %d... .... .... .... : ", bit(15));
    out.print("Immediate block ACK is%s supported\n", bit(15) ? "" : " not");
}

uint32_t BssidListItemCount(const uint8_t* list, size_t length) {
    if (length < C::LIST_HEADER) return 0;
    return ByteView(list, length).u32(0);
}

void PrintBssidList(ReportOutput& out, const uint8_t* list, size_t length) {
    ByteView view(list, length);
    uint32_t items = view.u32(0);
    out.print("\n");
    size_t at = C::LIST_HEADER;
    for (uint32_t i = 0; i < items; ++i) {
        uint32_t entryLength = view.u32(at + C::LENGTH);
        if (entryLength < C::MIN_ENTRY_LENGTH) {
            out.print("  Corrupted NDIS_WLAN_BSSID entry, length %d.\n", int(entryLength));
            return;
        }
        PrintEntry(out, view.sub(at, entryLength));
        out.print("\n");
        at += entryLength;
    }
}

}  // namespace report
