#include "tools/report/InformationElements.h"

#include <string>

namespace report {

namespace {

const char* const VARNEL_SUBTYPE_NAMES[InformationElementConstants::VARNEL_SUBTYPES] = {
    nullptr,
    "Radio Management Capability",
    "Deprecated (was QOS)",
    "Zorn Version",
    "QOS",
    "Radio Management Extension",
    "High Density Extension",
    "Voice Metrics IE",
    "Traffic Stream Rate Set IE",
    "EDCA MSDU Lifetime IE",
    "Traffic Stream Statistics Request",
    "Varnel Extended Capabilities",
    "Wireless Network Infrastructure MIC IE",
    "Motorolas LinkParameters IE",
    "Distributed CAC Load IE",
    "Expedited Bandwidth Request IE",
    "Management Frame Header IE",
    "Broadcast Management MIC IE",
    "Diagnostic Request Reason IE",
    "Location Service Capability IE",
    "Supported Features Advertisement IE",
    "Varnel Location Controller ID IE",
    "BCWv3-DPSS Configuration Parameters",
    "BCWv3-DPSS Mode",
    "BCWv3-Presence Parameters",
    "BCWv3-Spectrum Sensing Capability Description",
    "BCWv3-Spectrum Sensing Request",
    "BCWv3-Spectrum Sensing Report",
    "RFID Advertisement IE",
    "RFID IE",
    "RFID Contact IE",
    "Probe Request Annotation IE",
    "TSTAT IE",
};

// The product family's device kinds, by the device-type byte of its proprietary element.
const char* const DEVICE_TYPE_NAMES[InformationElementConstants::DEVICE_TYPES] = {
    "Client adapter",
    "Access point",
    "Workgroup bridge",
    "Root bridge",
    "Non-root bridge",
    "Repeater access point",
    "Root access point",
    "Wireless LAN controller",
    "Lightweight access point",
    "Mesh access point",
    "Mesh root access point",
    "Outdoor access point",
    "Outdoor bridge",
    "Dual-band access point",
    "Single-band access point",
    "Multi-radio access point",
    "Wireless IP phone",
    "Wireless voice badge",
    "Location tag",
    "Handheld scanner",
    "Wireless print server",
    "Wireless media bridge",
    "Universal workgroup bridge",
    "Site survey client",
    "Wireless sensor",
    "Hotspot gateway",
    "Branch office access point",
    "Modular access point",
    "Integrated router access point",
    "Spectrum monitor",
    "Rogue detector",
    "Sniffer",
    "Wireless LAN switch",
};

// Radio models by the 16-bit radio-type code at bytes 28-29 of the proprietary element.
struct RadioType {
    uint16_t code;
    const char* name;
};
const RadioType RADIO_TYPES[InformationElementConstants::RADIO_TYPES] = {
    {0x0001, "802.11 FHSS 2.4GHz"},    {0x0002, "802.11 DSSS 2.4GHz"}, {0x0003, "802.11b 2.4GHz"},
    {0x0004, "802.11a 5GHz"},          {0x0005, "802.11g 2.4GHz"},     {0x0006, "802.11b/g 2.4GHz"},
    {0x0007, "802.11a/b/g dual band"}, {0x0008, "802.11n 2.4GHz"},     {0x0009, "802.11n 5GHz"},
    {0x000A, "802.11a/n 5GHz"},        {0x000B, "802.11b/g/n 2.4GHz"}, {0x000C, "802.11a/b/g/n dual band"},
    {0x000D, "Bridge radio 5.8GHz"},
};

bool IsOui(const uint8_t* bytes, uint8_t a, uint8_t b, uint8_t c) {
    return bytes[0] == a && bytes[1] == b && bytes[2] == c;
}

const char* CipherTypeName(uint8_t type) {
    switch (type) {
        case 1:
            return "WEP40";
        case 2:
            return "TKIP";
        case 4:
            return "CCMP/AES";
        case 5:
            return "WEP104";
        default:
            return nullptr;
    }
}

void PrintOtherSuite(ReportOutput& out, const uint8_t* suite) {
    out.print("OUI(0x%02x,0x%02x,0x%02x)-0x%02x", suite[0], suite[1], suite[2], suite[3]);
}

// A 16-bit count and as many suites of it as the element holds; the position after the list.
size_t PrintSuiteList(ReportOutput& out, const ByteView& v, size_t at,
                      void (*name)(ReportOutput&, const uint8_t*)) {
    uint16_t count = v.u16(at);
    at += 2;
    for (uint16_t i = 0; i < count && at + 4 <= v.size(); ++i, at += 4) {
        out.print(" ");
        name(out, v.at(at, 4));
    }
    out.print("\n");
    return at;
}

int DecodeSsid(ReportOutput& out, uint8_t, uint8_t length, const uint8_t* data, int w) {
    out.print("%*sSSID parameter set: ", w, "");
    PrintSsidCharacters(out, data, length);
    out.print("\n");
    return 1;
}

void PrintRates(ReportOutput& out, uint8_t length, const uint8_t* data) {
    bool any = false;
    // An element shorter than 16 bytes is followed by other elements, not by more rates.
    for (size_t i = 0; i < 16 && i < length; ++i) {
        uint8_t rate = data[i];
        if (!rate) continue;
        any = true;
        out.print(" %d.%d%s", (rate >> 1) & 0x3F, rate & 1 ? 5 : 0, rate & 0x80 ? "(basic)" : "");
    }
    if (!any) out.print(" none");
    out.print("\n");
}

int DecodeRates(ReportOutput& out, uint8_t, uint8_t length, const uint8_t* data, int w) {
    out.print("%*sSupported Rates (Mbps):", w, "");
    PrintRates(out, length, data);
    return 1;
}

int DecodeExtendedRates(ReportOutput& out, uint8_t, uint8_t length, const uint8_t* data, int w) {
    out.print("%*sExtended Rupported Rates (Mbps):", w, "");
    PrintRates(out, length, data);
    return 1;
}

int DecodeDsss(ReportOutput& out, uint8_t, uint8_t length, const uint8_t* data, int w) {
    out.print("%*sDSSS channel", w, "");
    if (length != 1) {
        out.print(", element length should be 1 byte.\n");
        return 0;
    }
    out.print(": %d\n", data[0]);
    return 1;
}

int DecodeCf(ReportOutput& out, uint8_t, uint8_t length, const uint8_t* data, int w) {
    out.print("%*sCF Parameter set:\n", w, "");
    if (length != 6) {
        out.print("%*sElement length should be 6 bytes.\n", w, "");
        return 0;
    }
    out.print("%*s  CFP count : %d DTIMs before next CFP start\n", w, "", data[0]);
    out.print("%*s  CFP period: %d DTIM intervals\n", w, "", data[1]);
    out.print("%*s  CFP max duration (in TU): 0x%02x%02x\n", w, "", data[3], data[2]);
    out.print("%*s  CFP remaining (in TU)   : 0x%02x%02x\n", w, "", data[5], data[4]);
    return 1;
}

int DecodeTim(ReportOutput& out, uint8_t, uint8_t length, const uint8_t* data, int w) {
    out.print("%*s(TIM) Traffic Indication Map:\n", w, "");
    if (length < 3) {
        out.print("%*sElement length should be at least 3 bytes.\n", w, "");
        return 0;
    }
    out.print("%*s  DTIM count  : %d beacons\n", w, "", data[0]);
    out.print("%*s  DTIM period : %d beacons\n", w, "", data[1]);
    out.print("%*s  Bitmap ID and bitmap:\n", w, "");
    HexDump(out, data + 2, length - 2u, w + 4);
    return 1;
}

int DecodeIbss(ReportOutput& out, uint8_t, uint8_t length, const uint8_t* data, int w) {
    out.print("%*sIBSS Parameter set, ", w, "");
    if (length != 2) {
        out.print("element length should be 2.\n");
        return 0;
    }
    out.print("ATIM window in TUs: 0x%02x%02x\n", data[1], data[0]);
    return 1;
}

int DecodeCountry(ReportOutput& out, uint8_t, uint8_t length, const uint8_t* data, int w) {
    out.print("%*sCountry information:\n", w, "");
    if (length < 6) {
        out.print("%*sElement length should be 6 or greater.\n", w, "");
        return 0;
    }
    out.print("%*s  Country string: <%.3s>\n", w, "", reinterpret_cast<const char*>(data));
    out.print("%*s  Channel or regulatory information:\n", w, "");
    HexDump(out, data + 3, length - 3u, w + 4);
    return 1;
}

int DecodeQbssLoad(ReportOutput& out, uint8_t, uint8_t length, const uint8_t* data, int w) {
    out.print("%*sQBSS Load:\n", w, "");
    if (length != 5) {
        out.print("%*sElement length should be 5 bytes.\n", w, "");
        return 0;
    }
    out.print("%*s  STA count         : 0x%02x%02x\n", w, "", data[1], data[0]);
    out.print("%*s  Channel usage     : %d%%\n", w, "", data[2] * 100 / 255);
    out.print("%*s  Admission capacity: 0x%02x%02x (in 32ms/s)\n", w, "", data[4], data[3]);
    return 1;
}

int DecodeEdca(ReportOutput& out, uint8_t, uint8_t length, const uint8_t* data, int w) {
    out.print("%*sEDCA Parameter Set:\n", w, "");
    if (length != 18) {
        out.print("%*sElement length should be 18 bytes.\n", w, "");
        return 0;
    }
    out.print("%*s  QoS info : 0x%02x\n", w, "", data[0]);
    out.print("%*s  Reserved field (1byte and records):\n", w, "");
    HexDump(out, data + 1, 17, w + 4);
    return 1;
}

int DecodePowerConstraint(ReportOutput& out, uint8_t, uint8_t length, const uint8_t* data, int w) {
    out.print("%*sPower constraint, ", w, "");
    if (length != 1) {
        out.print("element length should be 1 byte.\n");
        return 0;
    }
    out.print("%ddbm\n", int8_t(data[0]));
    return 1;
}

int DecodeTpcReport(ReportOutput& out, uint8_t, uint8_t length, const uint8_t* data, int w) {
    out.print("%*sTPC Report, ", w, "");
    if (length != 2) {
        out.print("element length should be 2 bytes.\n");
        return 0;
    }
    out.print("rame transmission power: %ddbm\n", int8_t(data[0]));
    return 1;
}

int DecodeChannelSwitch(ReportOutput& out, uint8_t, uint8_t length, const uint8_t* data, int w) {
    out.print("%*sChannel Switch Announcement:\n", w, "");
    if (length != 3) {
        out.print("%*sElement length should be 3 bytes.\n", w, "");
        return 0;
    }
    out.print("%*s  Mode: 0x%02x; New channel: %d; Switch count %d\n", w, "", data[0], data[1], data[2]);
    return 1;
}

int DecodeQuiet(ReportOutput& out, uint8_t, uint8_t length, const uint8_t* data, int w) {
    out.print("%*sQuiet channel request:\n", w, "");
    if (length != 6) {
        out.print("%*sElement length should be 6 bytes.\n", w, "");
        return 0;
    }
    out.print("%*s  Count   : %d; Period: %d\n", w, "", data[0], data[1]);
    out.print("%*s  Duration: 0x%02x%02x; Offset: 0x%02x%02x\n", w, "", data[3], data[2], data[5], data[4]);
    return 1;
}

int TitledHexDump(ReportOutput& out, const char* title, uint8_t length, const uint8_t* data, int w) {
    out.print("%*s%s", w, "", title);
    HexDump(out, data, length, w + 2);
    return 1;
}

int DecodeAdHocDfs(ReportOutput& out, uint8_t, uint8_t length, const uint8_t* data, int w) {
    return TitledHexDump(out, "Ad hoc DFS:\n", length, data, w);
}
int DecodeHtCapability(ReportOutput& out, uint8_t, uint8_t length, const uint8_t* data, int w) {
    return TitledHexDump(out, "801.11n High Throughput Cpability:\n", length, data, w);
}
int DecodeHtInformation(ReportOutput& out, uint8_t, uint8_t length, const uint8_t* data, int w) {
    return TitledHexDump(out, "801.11n High Throughput Information:\n", length, data, w);
}
int DecodeAgere(ReportOutput& out, uint8_t, uint8_t length, const uint8_t* data, int w) {
    return TitledHexDump(out, "Agere proprietary information:\n", length, data, w);
}
int DecodeSymbol(ReportOutput& out, uint8_t, uint8_t length, const uint8_t* data, int w) {
    return TitledHexDump(out, "Symbol proprietary information:\n", length, data, w);
}

int DecodeErp(ReportOutput& out, uint8_t, uint8_t length, const uint8_t* data, int w) {
    out.print("%*sERP Information:\n", w, "");
    if (length != 1) {
        out.print("%*sElement length should be 1 byte.\n", w, "");
        return 0;
    }
    out.print("%*s  Value: 0x%02x\n", w, "", data[0]);
    out.print("%*s    Non-ERP present: %d\n", w, "", data[0] & 1);
    out.print("%*s    Use protection : %d\n", w, "", (data[0] >> 1) & 1);
    out.print("%*s    Barker preamble: %d\n", w, "", (data[0] >> 2) & 1);
    return 1;
}

int DecodeQosCapability(ReportOutput& out, uint8_t, uint8_t length, const uint8_t* data, int w) {
    out.print("%*sQoS Capability", w, "");
    if (length != 1) {
        out.print(", element length should be 1 byte.\n");
        return 0;
    }
    out.print(": 0x%02x\n", data[0]);
    return 1;
}

int DecodeRsn(ReportOutput& out, uint8_t, uint8_t length, const uint8_t* data, int w) {
    out.print("%*sRSN Information:\n", w, "");
    if (length < 2) {
        out.print("%*sElement length should be at least 2 bytes.\n", w, "");
        return 0;
    }
    ByteView v(data, length);
    out.print("%*s  Version: 0x%02x%02x\n", w, "", data[1], data[0]);
    if (length >= 6) {
        out.print("%*s  Group cipher: ", w, "");
        PrintCipherSuite(out, v.at(2, 4));
        out.print("\n");
    }
    if (length < 8) return 1;
    out.print("%*s  Pairwise cipher(s):", w, "");
    size_t at = 6 + 2 + 4 * size_t(v.u16(6));
    PrintSuiteList(out, v, 6, PrintCipherSuite);
    if (at + 2 > length) return 1;
    out.print("%*s  Key management suite(s):", w, "");
    size_t next = at + 2 + 4 * size_t(v.u16(at));
    PrintSuiteList(out, v, at, PrintKeyManagementSuite);
    if (next + 2 > length) return 1;
    uint16_t caps = v.u16(next);
    out.print("%*s  RSN capabilities (0x%02x%02x):\n", w, "", caps >> 8, caps & 0xFF);
    out.print("%*s    Pre-auth   : %d\n", w, "", caps & 1);
    out.print("%*s    No pairwise: %d\n", w, "", (caps >> 1) & 1);
    out.print("%*s    PTKSA replay counter: %d\n", w, "", 1 << ((caps >> 2) & 3));
    out.print("%*s    GTKSA replay counter: %d\n", w, "", 1 << ((caps >> 4) & 3));
    return 1;
}

int DecodeCellPowerLimit(ReportOutput& out, uint8_t, uint8_t length, const uint8_t* data, int w) {
    out.print("%*sVarnel-Cell Power Limit", w, "");
    if (length != 6) {
        out.print(", element length should be 6 bytes.\n");
        return 0;
    }
    if (!IsOui(data, 0x00, 0x40, 0x96) || data[3] != 0x00) {
        out.print(", first bytes should be Varnel OUI followed by 0x00.\n");
        return 0;
    }
    out.print(": %ddbm\n", int8_t(data[4]));
    return 1;
}

int DecodeSkyrill(ReportOutput& out, uint8_t, uint8_t length, const uint8_t* data, int w) {
    out.print("%*sVarnel-Skyrill IE:\n", w, "");
    if (length < 30) {
        out.print("%*sElement length should be at least 30 bytes.\n", w, "");
        return 0;
    }
    ByteView v(data, length);
    out.print("%*s  AP load: %d%%\n", w, "", data[0]);
    out.print("%*s  Hops to infrastructure: %d\n", w, "", data[1]);
    out.print("%*s  Device type           : ", w, "");
    if (data[2] < InformationElementConstants::DEVICE_TYPES)
        out.print("%s\n", DEVICE_TYPE_NAMES[data[2]]);
    else
        out.print("ID(0x%02x)\n", data[2]);
    out.print("%*s  Flags                 : 0x%02x\n", w, "", data[8]);
    out.print("%*s  AP name               : <%.15s>\n", w, "", reinterpret_cast<const char*>(data + 10));
    out.print("%*s  Number of associations: %d\n", w, "", v.u16(26));
    out.print("%*s  Radio type            : ", w, "");
    uint16_t radio = v.u16(28);
    for (const RadioType& row : RADIO_TYPES)
        if (row.code == radio) {
            out.print("%s\n", row.name);
            return 1;
        }
    out.print("ID(0x%04x)\n", radio);
    return 1;
}

void DecodeVarnelVendor(ReportOutput& out, uint8_t length, const uint8_t* data, int w) {
    uint8_t subtype = data[3];
    out.print("Varnel ");
    if (subtype < InformationElementConstants::VARNEL_SUBTYPES && VARNEL_SUBTYPE_NAMES[subtype])
        out.print("%s:\n", VARNEL_SUBTYPE_NAMES[subtype]);
    else
        out.print("IE type 0x%02x:\n", subtype);
    int n = w + 2;
    if (length == 5 && subtype == 3) {
        out.print("%*sZorn version: %d\n", n, "", data[4]);
    } else if (length == 5 && subtype == 11) {
        out.print("%*sE2Ev1 support: %d\n", n, "", data[4] & 1);
        out.print("%*sHDv1  support: %d\n", n, "", (data[4] >> 1) & 1);
        out.print("%*sHDv2  support: %d\n", n, "", (data[4] >> 2) & 1);
        out.print("%*sE2Ev2 support: %d\n", n, "", (data[4] >> 3) & 1);
        out.print("%*sBCWv3 support: %d\n", n, "", (data[4] >> 4) & 1);
    } else if (length == 5 && subtype == 20) {
        out.print("%*sMFP (Zornv5, S67) support  : %d\n", n, "", data[4] & 1);
        out.print("%*sDiagnostic channel support: %d\n", n, "", (data[4] >> 1) & 1);
        out.print("%*sLocation services support : %d\n", n, "", (data[4] >> 2) & 1);
        out.print("%*sExpedited Bandwidth Requests support: %d\n", n, "", (data[4] >> 3) & 1);
    } else if (subtype == 21 && length > 4) {
        out.print("%*sLocation controller ID: ", n, "");
        PrintSsidCharacters(out, data + 4, length - 4u);
        out.print("\n");
    } else {
        HexDump(out, data, length, n);
    }
}

int DecodeVendorSpecific(ReportOutput& out, uint8_t, uint8_t length, const uint8_t* data, int w) {
    out.print("%*sVendor specific, ", w, "");
    if (length < 3) {
        out.print("element should be at least 3 bytes long.\n");
        return 0;
    }
    int n = w + 2;
    if (IsOui(data, 0x00, 0x40, 0x96) && length > 3) {
        DecodeVarnelVendor(out, length, data, w);
    } else if (IsOui(data, 0x00, 0x50, 0xF2) && length > 3 && data[3] == 1) {
        out.print("WPA IE: \n");
        if (!DecodeWpaElement(out, length, data + 4, n)) HexDump(out, data, length, n);
    } else if (IsOui(data, 0x00, 0x50, 0xF2) && length >= 5 && data[3] == 2) {
        if (data[4] == 0)
            out.print("Wireless Multimedia Enhancements (WME) IE:\n");
        else if (data[4] == 1)
            out.print("Wireless Multimedia Enhancements (WME) parameters IE:\n");
        else if (data[4] == 2)
            out.print("Wireless Multimedia Enhancements (WME) TSPEC IE:\n");
        HexDump(out, data, length, n);
    } else if (IsOui(data, 0x00, 0x50, 0xF2) && length >= 4 && data[3] == 5) {
        out.print("Microsoft WPS IE:\n");
        if (!DecodeWpsSsidList(out, length, data + 4, n)) HexDump(out, data, length, n);
    } else {
        out.print("OUI(0x%02x,0x%02x,0x%02x):\n", data[0], data[1], data[2]);
        HexDump(out, data, length, n);
    }
    return 1;
}

void PrintWpsEntry(ReportOutput& out, const uint8_t* entry, int w) {
    out.print("%*sWPS SSID: <", w, "");
    PrintSsidCharacters(out, entry + 6, entry[5]);
    out.print("> Caps(%02x %02x %02x %02x) Ext.caps(0x%02x)\n", entry[1], entry[2], entry[3], entry[4],
              entry[0]);
    unsigned group = entry[4] & 0x0F;
    if (group == 0) return;
    static const char* const GROUP_NAMES[] = {nullptr,      "WEP40\n",    "WEP104\n", "TKIP\n",
                                              "AES/CCMP\n", "ZKIP+MMH\n", "ZKIP\n"};
    out.print("%*s  Group cipher           : %s", w, "", group < 7 ? GROUP_NAMES[group] : "UNKNOWN\n");

    unsigned pairwise = ((unsigned(entry[2]) << 12) & 0x7FFF) | ((unsigned(entry[3]) << 4) & 0xFFF) |
                        (unsigned(entry[4]) >> 4);
    static const struct {
        unsigned bit;
        const char* name;
    } PAIRWISE[] = {{0x2, "WPA-WEP40"},       {0x4, "WPA-WEP104"},         {0x8, "WPA-TKIP"},
                    {0x10, "WPA-AES/CCMP"},   {0x20, "WPA-ZKIP+MMH"},      {0x40, "WPA-ZKIP"},
                    {0x80, "WPA-UNKNOWN"},    {0x100, "802.11i-WEP40"},    {0x200, "802.11i-WEP104"},
                    {0x400, "802.11i-TKIP"},  {0x800, "802.11i-AES/CCMP"}, {0x1000, "802.11i-ZKIP+MMH"},
                    {0x2000, "802.11i-ZKIP"}, {0x4000, "802.11i-UNKNOWN"}};
    out.print("%*s  Pairwise cipher(s)     :", w, "");
    for (const auto& row : PAIRWISE)
        if (pairwise & row.bit) out.print(" %s", row.name);
    out.print("\n");

    unsigned keys = entry[1] & 0x7F;
    static const struct {
        unsigned bit;
        const char* name;
    } KEYS[] = {{0x2, "WPA-802.1x"},     {0x4, "WPA-PSK"},      {0x20, "WPA-Quillan"},
                {0x8, "802.11i-802.1x"}, {0x10, "802.11i-PSK"}, {0x40, "802.11i-Quillan"}};
    out.print("%*s  Key manegement suite(s):", w, "");
    for (const auto& row : KEYS)
        if (keys & row.bit) out.print(" %s", row.name);
    out.print("\n");
}

}  // namespace

const uint8_t* ByteView::at(size_t offset, size_t length) const {
    if (offset > size_ || length > size_ - offset) throw BssidListException("read past the list");
    return data_ + offset;
}

uint16_t ByteView::u16(size_t offset) const {
    const uint8_t* p = at(offset, 2);
    return uint16_t(p[0] | p[1] << 8);
}

uint32_t ByteView::u32(size_t offset) const {
    const uint8_t* p = at(offset, 4);
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

const ElementDispatchRow ELEMENT_DISPATCH[InformationElementConstants::DISPATCH_ROWS] = {
    {0x00, DecodeSsid},
    {0x01, DecodeRates},
    {0x03, DecodeDsss},
    {0x04, DecodeCf},
    {0x05, DecodeTim},
    {0x06, DecodeIbss},
    {0x07, DecodeCountry},
    {0x0B, DecodeQbssLoad},
    {0x0C, DecodeEdca},
    {0x20, DecodePowerConstraint},
    {0x23, DecodeTpcReport},
    {0x25, DecodeChannelSwitch},
    {0x28, DecodeQuiet},
    {0x29, DecodeAdHocDfs},
    {0x2A, DecodeErp},
    {0x2D, DecodeHtCapability},
    {0x2E, DecodeQosCapability},
    {0x2F, DecodeErp},
    {0x30, DecodeRsn},
    {0x32, DecodeExtendedRates},
    {0x3D, DecodeHtInformation},
    {0x80, DecodeAgere},
    {0x85, DecodeSkyrill},
    {0x96, DecodeCellPowerLimit},
    {0xDD, DecodeVendorSpecific},
    {0xAD, DecodeSymbol},
};

ElementDecoder FindElementDecoder(uint8_t id) {
    for (const ElementDispatchRow& row : ELEMENT_DISPATCH)
        if (row.id == id) return row.decoder;
    return nullptr;
}

void HexDump(ReportOutput& out, const uint8_t* data, size_t length, int indent) {
    for (size_t line = 0; line < length; line += 16) {
        std::string text;
        char group[4];
        size_t count = length - line < 16 ? length - line : 16;
        for (size_t i = 0; i < 16; ++i) {
            if (i < count) {
                std::snprintf(group, sizeof group, "%02x ", data[line + i]);
                text += group;
            } else {
                text += "   ";
            }
        }
        text += "  ";
        for (size_t i = 0; i < count; ++i) {
            uint8_t c = data[line + i];
            text.push_back(c >= 32 && c <= 126 ? char(c) : '.');
        }
        out.print("%*s%s\n", indent, "", text.c_str());
    }
}

void PrintSsidCharacters(ReportOutput& out, const uint8_t* data, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (data[i] >= 32 && data[i] <= 126)
            out.print("%c", data[i]);
        else
            out.print("\\%02x", data[i]);
    }
}

void PrintCipherSuite(ReportOutput& out, const uint8_t* suite) {
    uint8_t type = suite[3];
    if (IsOui(suite, 0x00, 0x0F, 0xAC) || IsOui(suite, 0x00, 0x50, 0xF2)) {
        bool wpa = suite[1] == 0x50;
        out.print(wpa ? "WPA-" : "802.11i-");
        if (type == 0)
            out.print(wpa ? "None" : "Unknown/GroupCipher");
        else if (const char* name = CipherTypeName(type))
            out.print("%s", name);
        else
            out.print("Reserved(%d)", type);
    } else if (IsOui(suite, 0x00, 0x40, 0x96)) {
        out.print("Varnel-");
        switch (type) {
            case 0:
                out.print("ZKIP");
                break;
            case 1:
                out.print("ZKIP+MMH");
                break;
            case 2:
                out.print("WEP104+MMH");
                break;
            case 5:
                out.print("CCMP/AES");
                break;
            default:
                out.print("Unknown(%d)", type);
        }
    } else {
        PrintOtherSuite(out, suite);
    }
}

void PrintKeyManagementSuite(ReportOutput& out, const uint8_t* suite) {
    uint8_t type = suite[3];
    if (IsOui(suite, 0x00, 0x0F, 0xAC) || IsOui(suite, 0x00, 0x50, 0xF2)) {
        out.print(suite[1] == 0x50 ? "WPA-" : "802.11i-");
        if (type == 1)
            out.print("802.1x");
        else if (type == 2)
            out.print("PSK");
        else
            out.print("Reserved(%d)", type);
    } else if (IsOui(suite, 0x00, 0x40, 0x96)) {
        if (type == 0)
            out.print("Varnel-Quillan");
        else
            out.print("Varnel-Unknown(%d)", type);
    } else {
        PrintOtherSuite(out, suite);
    }
}

int DecodeWpaElement(ReportOutput& out, uint8_t length, const uint8_t* data, int w) {
    size_t n = length - 4u;
    if (n < 2) {
        out.print("%*sElement length should be at least 6 bytes.\n", w, "");
        return 0;
    }
    ByteView v(data, n);
    out.print("%*sVersion: 0x%02x%02x\n", w, "", data[1], data[0]);
    if (n >= 6) {
        out.print("%*sGroup cipher: ", w, "");
        PrintCipherSuite(out, v.at(2, 4));
        out.print("\n");
    }
    if (n < 8) return 1;
    out.print("%*sPairwise cipher(s):", w, "");
    size_t at = 8 + 4 * size_t(v.u16(6));
    PrintSuiteList(out, v, 6, PrintCipherSuite);
    if (at + 2 > n) return 1;
    out.print("%*sKey management suite(s):", w, "");
    size_t next = at + 2 + 4 * size_t(v.u16(at));
    PrintSuiteList(out, v, at, PrintKeyManagementSuite);
    if (next + 2 > n) return 1;
    out.print("%*sWPA capabilities (0x%02x%02x):\n", w, "", data[next + 1], data[next]);
    return 1;
}

int DecodeWpsSsidList(ReportOutput& out, uint8_t length, const uint8_t* data, int w) {
    size_t n = length - 4u;
    if (n < 2) {
        out.print("%*sElement length should be at least 6 bytes.\n", w, "");
        return 0;
    }
    out.print("%*sPrimary SSID ext.caps : 0x%02x\n", w, "", data[0]);
    out.print("%*sSecondary SSIDs listed: %d\n", w, "", data[1]);
    size_t at = 2;
    for (unsigned listed = 0; listed < data[1] && n - at > 6; ++listed) {
        const uint8_t* entry = data + at;
        size_t ssidLength = entry[5];
        if (ssidLength == 0 || ssidLength > 32 || 6 + ssidLength > n - at) break;
        PrintWpsEntry(out, entry, w + 2);
        at += 6 + ssidLength;
    }
    return 1;
}

void DecodeElement(ReportOutput& out, uint8_t id, uint8_t length, const uint8_t* data) {
    const int w = InformationElementConstants::ELEMENT_INDENT;
    out.print("    ID: 0x%02x Length: %d\n", id, length);
    ElementDecoder decoder = FindElementDecoder(id);
    if (!decoder || !decoder(out, id, length, data, w)) HexDump(out, data, length, w);
}

}  // namespace report
