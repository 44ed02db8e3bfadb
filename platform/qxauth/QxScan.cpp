// What a radio of the stand-in sees and where it is: the scan list built from the lab's access
// points, and location answers from the associated point.
#include <cstring>
#include <mutex>

#include "platform/lab/Lab.h"
#include "platform/lab/LabSchema.h"
#include "platform/qxauth/QxLibrary.h"
#include "platform/qxauth/QxPorts.h"

namespace {

lab::Lab& theLab() {
    return lab::Lab::instance();
}

uint32_t suiteOf(int encryption) {
    if (encryption == 3) return QX_SUITE_TKIP;
    return encryption == 4 ? QX_SUITE_CCMP : 0u;
}

// The elements and privacy of an access point's association modes (one or two texts).
void describeSecurity(const lab::Element& point, QX_SSID_ENTRY* entry) {
    entry->flags |= point.flag("ibss") ? QX_SSID_IBSS : QX_SSID_ESS;
    for (const std::string& word : lab::splitWords(point.text("security"))) {
        int association = 0;
        int encryption = 0;
        if (!lab::securityMode(word, &association, &encryption)) continue;
        if (encryption != 1) entry->flags |= QX_SSID_PRIVACY;
        uint32_t suite = suiteOf(encryption);
        switch (association) {
            case 5:
            case 6:
                entry->flags |= QX_SSID_WPA;
                entry->wpa.version = 1;
                entry->wpa.bits |= suite | (association == 5 ? QX_AKM_PSK : QX_AKM_8021X);
                break;
            case 7:
            case 8:
                entry->flags |= QX_SSID_RSN;
                entry->rsn.version = 1;
                entry->rsn.bits |= suite | (association == 7 ? QX_AKM_PSK : QX_AKM_8021X);
                break;
            case 9:
                // The key management of its own rides the WPA element with TKIP, the RSN one with AES.
                if (encryption == 3) {
                    entry->flags |= QX_SSID_WPA;
                    entry->wpa.version = 1;
                    entry->wpa.bits |= suite | QX_AKM_QUILLAN;
                } else {
                    entry->flags |= QX_SSID_RSN;
                    entry->rsn.version = 1;
                    entry->rsn.bits |= suite | QX_AKM_QUILLAN;
                }
                break;
            default:
                break;
        }
    }
}

QX_SSID_ENTRY entryOf(const lab::Element& point) {
    QX_SSID_ENTRY entry = {};
    if (!point.flag("hidden")) {
        std::string ssid = point.text("ssid");
        std::memcpy(entry.ssid, ssid.data(), std::min<size_t>(ssid.size(), sizeof entry.ssid));
        entry.ssidLength = static_cast<uint32_t>(std::min<size_t>(ssid.size(), sizeof entry.ssid));
    }
    std::vector<uint8_t> bssid = point.bytes("bssid");
    std::memcpy(entry.bssid, bssid.data(), std::min<size_t>(bssid.size(), sizeof entry.bssid));
    describeSecurity(point, &entry);
    entry.locationBits = static_cast<uint32_t>(point.integer("locationCapabilities")) & 0x7FF8u;
    entry.channel = static_cast<uint32_t>(point.integer("channel"));
    entry.signal = static_cast<int32_t>(point.integer("signal"));
    entry.snr = static_cast<int32_t>(point.integer("signal") - point.integer("noise"));
    return entry;
}

bool seenBy(const lab::Element& point, const lab::Element& adapter) {
    if (!point.has("adapter")) return true;
    std::string only = point.text("adapter");
    return only == adapter.text("name") || (adapter.has("friendly") && only == adapter.text("friendly"));
}

int indexOf(const char* choices, const std::string& word) {
    int index = 0;
    for (const std::string& choice : lab::splitWords(choices)) {
        if (choice == word) return index;
        ++index;
    }
    return 0;
}

void append(std::vector<uint8_t>* bytes, const void* data, size_t length) {
    const auto* p = static_cast<const uint8_t*>(data);
    // Byte by byte: GCC 12 warns falsely about the range insert of an inlined vector.
    for (size_t i = 0; i < length; ++i) bytes->push_back(p[i]);
}

// The location answer of a point: the fixed part, then its items in the order of the offsets.
std::vector<uint8_t> locationRecord(const lab::Element& point, const QX_LOCATION_QUERY& query) {
    QX_LOC_RESPONSE fixed = {};
    fixed.sequence = query.sequence;
    // Formats count from 1, as the service and its tray programs number them.
    fixed.format = indexOf("CIVIC GEO Varnel", point.text("locationFormat")) + 1;
    fixed.encoding = query.encoding;
    std::vector<uint8_t> items;
    std::string data = point.text("location");
    uint16_t dataLength = static_cast<uint16_t>(std::min<size_t>(data.size(), 0xFFFF));
    fixed.dataOffset = 0;
    append(&items, &dataLength, sizeof dataLength);
    append(&items, data.data(), dataLength);
    if ((query.flags & QX_LOCATION_SIGNATURE) != 0 && point.has("locationSignature")) {
        std::vector<uint8_t> signature = point.bytes("locationSignature");
        uint8_t head[2] = {
            static_cast<uint8_t>(indexOf("sha1Dsa sha1Rsa sha256Rsa sha384Rsa sha512Rsa md5Rsa md2Rsa",
                                         point.text("locationSignatureType"))),
            static_cast<uint8_t>(std::min<size_t>(signature.size(), 255))};
        // The data item comes first, so no other item sits at offset 0, which means absent.
        fixed.signatureOffset = static_cast<uint32_t>(items.size());
        append(&items, head, sizeof head);
        append(&items, signature.data(), head[1]);
    }
    if ((query.flags & QX_LOCATION_ID) != 0 && point.has("locationId")) {
        std::string id = point.text("locationId");
        uint16_t idLength = static_cast<uint16_t>(std::min<size_t>(id.size(), 0xFFFF));
        fixed.idOffset = static_cast<uint32_t>(items.size());
        append(&items, &idLength, sizeof idLength);
        append(&items, id.data(), idLength);
    }
    int32_t accuracy = static_cast<int32_t>(point.integer("locationAccuracy"));
    fixed.accuracyOffset = static_cast<uint32_t>(items.size());
    append(&items, &accuracy, sizeof accuracy);
    std::vector<uint8_t> record;
    append(&record, &fixed, sizeof fixed);
    record.insert(record.end(), items.begin(), items.end());
    return record;
}

}  // namespace

using namespace qxauth;

int qxGetPortSsidList(const char* portName, void* buffer, int* length) {
    lab::Call call("qxGetPortSsidList", lab::quoted(portName) + (buffer != nullptr ? ", buffer" : ", NULL") +
                                            (length != nullptr ? lab::format(", %d", *length) : ", NULL"));
    if (call.injected()) return call.result();
    if (portName == nullptr || length == nullptr || *length < 0) return call.finish(QX_ERR_INV_PARAM);
    if (!initialized()) return call.finish(QX_ERR_NOT_INITIALIZED);
    std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
    const lab::Element* adapter = adapterOf(portName);
    if (adapter == nullptr) return call.finish(QX_ERR_NOT_FOUND);
    std::vector<QX_SSID_ENTRY> entries;
    bool radioOn = true;
    for (const PortPtr& port : portsOf(portName)) radioOn = radioOn && port->radioOn;
    if (isWireless(*adapter) && radioOn)
        for (const lab::Element& point : theLab().world().all("accessPoint"))
            if (seenBy(point, *adapter)) entries.push_back(entryOf(point));
    int needed = static_cast<int>(entries.size() * sizeof(QX_SSID_ENTRY));
    if (buffer == nullptr) {
        *length = needed;
        return call.finish(QX_OK);
    }
    if (*length < needed) {
        *length = needed;
        return call.finish(QX_ERR_BUFFER_TOO_SMALL);
    }
    if (needed > 0) std::memcpy(buffer, entries.data(), static_cast<size_t>(needed));
    *length = needed;
    return call.finish(QX_OK);
}

int qxPortGetLocation(QX_PORT handle, const QX_LOCATION_QUERY* query) {
    lab::Call call("qxPortGetLocation");
    if (call.injected()) return call.result();
    if (!initialized()) return call.finish(QX_ERR_NOT_INITIALIZED);
    std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
    PortPtr port = portOf(handle);
    if (!port || query == nullptr) return call.finish(QX_ERR_INV_PARAM);
    call.setArguments(lab::format("%s, {%u, 0x%x}", lab::quoted(port->name.c_str()).c_str(), query->sequence,
                                  query->flags));
    const lab::Element* point = accessPointOf(*port);
    if (point == nullptr || !port->linkUp) return call.finish(QX_ERR_NO_INFO);
    if (point->has("locationError")) {
        QX_LOC_ERR_RESPONSE error = {static_cast<int32_t>(point->integer("locationError")), query->sequence};
        const auto* bytes = reinterpret_cast<const uint8_t*>(&error);
        notifyPort(port, QX_PORT_EVENT_LOCATION_ERROR, std::vector<uint8_t>(bytes, bytes + sizeof error));
        return call.finish(QX_OK);
    }
    if (!point->has("location")) return call.finish(QX_ERR_NO_INFO);
    notifyPort(port, QX_PORT_EVENT_LOCATION, locationRecord(*point, *query));
    return call.finish(QX_OK);
}
