#include "driver/host/LabBssidList.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/lab/LabSchema.h"

namespace {

using Bytes = std::vector<uint8_t>;

// NDIS_WLAN_BSSID_EX: the fixed part up to the information elements, and their fixed 12 bytes.
constexpr size_t FIXED_SIZE = 116;
constexpr size_t FIXED_ELEMENTS = 12;
constexpr uint32_t CONFIGURATION_SIZE = 32;
constexpr uint32_t BEACON_PERIOD = 100;
// Network types in use; infrastructure modes.
constexpr uint32_t OFDM5 = 2;
constexpr uint32_t OFDM24 = 3;
constexpr uint32_t IBSS = 0;
constexpr uint32_t INFRASTRUCTURE = 1;
// Capability bits.
constexpr uint16_t CAPABILITY_ESS = 0x0001;
constexpr uint16_t CAPABILITY_IBSS = 0x0002;
constexpr uint16_t CAPABILITY_PRIVACY = 0x0010;
constexpr uint16_t CAPABILITY_SHORT_SLOT = 0x0400;
// Element ids.
constexpr uint8_t ELEMENT_SSID = 0;
constexpr uint8_t ELEMENT_RATES = 1;
constexpr uint8_t ELEMENT_DS = 3;
constexpr uint8_t ELEMENT_RSN = 0x30;
constexpr uint8_t ELEMENT_VENDOR = 0xdd;
// Cipher and key-management suite types of the RSN and WPA elements.
constexpr uint8_t SUITE_TKIP = 2;
constexpr uint8_t SUITE_CCMP = 4;
constexpr uint8_t KEY_8021X = 1;
constexpr uint8_t KEY_PSK = 2;

const uint8_t RATES[] = {0x82, 0x84, 0x8b, 0x96, 0x0c, 0x12, 0x18, 0x24};
const uint8_t RSN_OUI[] = {0x00, 0x0f, 0xac};
const uint8_t WPA_OUI[] = {0x00, 0x50, 0xf2};

void put32(Bytes& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(value >> (8 * i));
}

void element(Bytes& out, uint8_t id, const Bytes& body) {
    out.push_back(id);
    out.push_back(uint8_t(body.size()));
    out.insert(out.end(), body.begin(), body.end());
}

void suite(Bytes& body, const uint8_t (&oui)[3], uint8_t type) {
    body.insert(body.end(), oui, oui + 3);
    body.push_back(type);
}

// Version 1, one group and one pairwise cipher, one key management.
Bytes suites(const uint8_t (&oui)[3], uint8_t cipher, uint8_t keys) {
    Bytes body = {0x01, 0x00};
    suite(body, oui, cipher);
    body.insert(body.end(), {0x01, 0x00});
    suite(body, oui, cipher);
    body.insert(body.end(), {0x01, 0x00});
    suite(body, oui, keys);
    return body;
}

// The RSN or WPA element of each of the point's association modes that has one.
void securityElements(const lab::Element& point, Bytes& out, bool* privacy) {
    for (const std::string& word : lab::splitWords(point.text("security"))) {
        int association = 0;
        int encryption = 0;
        if (!lab::securityMode(word, &association, &encryption)) continue;
        if (encryption != 1) *privacy = true;
        uint8_t cipher = encryption == 3 ? SUITE_TKIP : SUITE_CCMP;
        bool personal = association == 5 || association == 7;
        if (association == 7 || association == 8) {
            Bytes body = suites(RSN_OUI, cipher, personal ? KEY_PSK : KEY_8021X);
            body.insert(body.end(), {0x00, 0x00});  // RSN capabilities
            element(out, ELEMENT_RSN, body);
        } else if (association == 5 || association == 6) {
            Bytes body(WPA_OUI, WPA_OUI + 3);
            body.push_back(0x01);  // the WPA element's type
            Bytes rest = suites(WPA_OUI, cipher, personal ? KEY_PSK : KEY_8021X);
            body.insert(body.end(), rest.begin(), rest.end());
            element(out, ELEMENT_VENDOR, body);
        }
    }
}

uint32_t frequencyKhz(long long channel) {
    if (channel == 14) return 2484000;
    if (channel < 14) return uint32_t(2407 + 5 * channel) * 1000;
    return uint32_t(5000 + 5 * channel) * 1000;
}

bool seenBy(const lab::Element& point, const lab::Element& adapter) {
    if (!point.has("adapter")) return true;
    std::string only = point.text("adapter");
    return only == adapter.text("name") || (adapter.has("friendly") && only == adapter.text("friendly"));
}

Bytes entryOf(const lab::Element& point) {
    std::string ssid = point.flag("hidden") ? std::string() : point.text("ssid");
    ssid.resize(std::min<size_t>(ssid.size(), 32));
    long long channel = point.integer("channel");
    bool ibss = point.flag("ibss");

    bool privacy = false;
    Bytes variable;
    element(variable, ELEMENT_SSID, Bytes(ssid.begin(), ssid.end()));
    element(variable, ELEMENT_RATES, Bytes(std::begin(RATES), std::end(RATES)));
    element(variable, ELEMENT_DS, {uint8_t(channel)});
    securityElements(point, variable, &privacy);

    Bytes entry(FIXED_SIZE + FIXED_ELEMENTS + variable.size(), 0);
    put32(entry, 0, uint32_t(entry.size()));
    Bytes bssid = point.bytes("bssid");
    std::memcpy(&entry[4], bssid.data(), std::min<size_t>(bssid.size(), 6));
    put32(entry, 12, uint32_t(ssid.size()));
    std::memcpy(&entry[16], ssid.data(), ssid.size());
    put32(entry, 48, privacy ? 1 : 0);
    put32(entry, 52, uint32_t(int32_t(point.integer("signal"))));
    put32(entry, 56, channel > 14 ? OFDM5 : OFDM24);
    put32(entry, 60, CONFIGURATION_SIZE);
    put32(entry, 64, BEACON_PERIOD);
    put32(entry, 72, frequencyKhz(channel));
    put32(entry, 92, ibss ? IBSS : INFRASTRUCTURE);
    std::memcpy(&entry[96], RATES, sizeof RATES);
    put32(entry, 112, uint32_t(FIXED_ELEMENTS + variable.size()));
    // Time stamp 0, then the beacon interval and the capabilities.
    entry[FIXED_SIZE + 8] = uint8_t(BEACON_PERIOD);
    uint16_t capabilities = uint16_t((ibss ? CAPABILITY_IBSS : CAPABILITY_ESS) |
                                     (privacy ? CAPABILITY_PRIVACY : 0) | CAPABILITY_SHORT_SLOT);
    entry[FIXED_SIZE + 10] = uint8_t(capabilities);
    entry[FIXED_SIZE + 11] = uint8_t(capabilities >> 8);
    std::copy(variable.begin(), variable.end(), entry.begin() + FIXED_SIZE + FIXED_ELEMENTS);
    return entry;
}

}  // namespace

std::vector<uint8_t> LabBssidList(const lab::World& world, const lab::Element& adapter) {
    Bytes list(4, 0);
    uint32_t count = 0;
    for (const lab::Element& point : world.all("accessPoint")) {
        if (!seenBy(point, adapter)) continue;
        Bytes entry = entryOf(point);
        list.insert(list.end(), entry.begin(), entry.end());
        ++count;
    }
    put32(list, 0, count);
    return list;
}
