// Ports and EAP instances of the stand-in: creation and teardown, association, ad-hoc cells, the
// radio, the port's settings and what it reports about its link.
#include "platform/qxauth/QxPorts.h"

#include <cstring>
#include <mutex>

#include "platform/lab/Lab.h"
#include "platform/lab/LabSchema.h"
#include "platform/qxauth/QxLibrary.h"

namespace qxauth {

namespace {

lab::Lab& theLab() {
    return lab::Lab::instance();
}

struct Table {
    std::map<QX_PORT, PortPtr> ports;
    std::map<QX_EAP, EapPtr> eaps;
};

// Under the lab's lock.
Table& table() {
    static Table t;
    return t;
}

// The project's association number of a library association mode (0 for an unknown one).
int associationOf(uint32_t mode, uint32_t encryption) {
    switch (mode) {
        case QX_ASSOC_SHARED:
            return 2;
        case QX_ASSOC_OPEN:
            return 1;
        case QX_ASSOC_WPA_ENTERPRISE:
            return 6;
        case QX_ASSOC_WPA_PERSONAL:
            return 5;
        case QX_ASSOC_WPA2_ENTERPRISE:
            return 8;
        case QX_ASSOC_WPA2_PERSONAL:
            return 7;
        case QX_ASSOC_WPA_QUILLAN:
        case QX_ASSOC_WPA2_QUILLAN:
            return encryption == QX_ENCRYPTION_NONE || encryption == QX_ENCRYPTION_WEP ? 0 : 9;
        default:
            return 0;
    }
}

// True when one of the access point's association-mode texts is this pair.
bool offers(const lab::Element& point, int association, int encryption) {
    for (const std::string& word : lab::splitWords(point.text("security"))) {
        int a = 0;
        int e = 0;
        if (lab::securityMode(word, &a, &e) && a == association && e == encryption) return true;
        // A shared-key cell also accepts open WEP association, as the cards do.
        if (lab::securityMode(word, &a, &e) && a == 2 && association == 1 && e == 2 && encryption == 2)
            return true;
    }
    return false;
}

// A point with a WEP key lets in only a record that carries that very key.
template <typename Record>
bool wepKeyFits(const lab::Element& point, const Record& record) {
    if (!point.has("wepKey")) return true;
    return record.wepKeyPresent == 1 && record.wepKeyLength <= sizeof record.wepKey &&
           point.bytes("wepKey") == std::vector<uint8_t>(record.wepKey, record.wepKey + record.wepKeyLength);
}

bool seenBy(const lab::Element& point, const lab::Element& adapter) {
    if (!point.has("adapter")) return true;
    std::string only = point.text("adapter");
    return only == adapter.text("name") || (adapter.has("friendly") && only == adapter.text("friendly"));
}

std::string portText(const PortPtr& port) {
    return port ? lab::quoted(port->name.c_str()) : std::string("NULL");
}

std::string ssidText(const uint8_t* ssid, uint32_t length) {
    return std::string(reinterpret_cast<const char*>(ssid), length > 32 ? 32 : length);
}

// Drops the association: link down, authentication stopped.
void dropAssociation(const PortPtr& port, bool notify) {
    bool was = !port->associated.empty() || port->linkUp;
    port->associated.clear();
    ++port->epoch;
    stopAuthentication(port, true);
    if (port->linkUp) {
        port->linkUp = false;
        if (notify) notifyLinkMode(port, QX_LINK_DOWN, 0);
    }
    if (was) {
        port->state = QX_PORT_STATE_DISCONNECTED;
        port->status = QX_PORT_STATUS_LINK_DOWN;
    }
}

// After the access point's association time: the link comes up and authentication starts.
void linkUpLater(const PortPtr& port, int64_t delayMs) {
    uint64_t epoch = port->epoch;
    theLab().schedule(delayMs, [port, epoch] {
        std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
        if (port->epoch != epoch || portOf(reinterpret_cast<QX_PORT>(port.get())) == nullptr) return;
        const lab::Element* adapter = adapterOfPort(*port);
        if (adapter == nullptr) return;
        port->linkUp = true;
        notifyLinkMode(port, QX_LINK_UP, linkSpeedOf(*adapter));
        if (port->authMode == QX_PORT_AUTH_8021X) startAuthentication(port);
    });
}

// The port of a handle, or an argument error; the caller holds the lab's lock.
PortPtr livePort(lab::Call& call, QX_PORT handle, int* result) {
    if (!initialized()) {
        *result = call.finish(QX_ERR_NOT_INITIALIZED);
        return nullptr;
    }
    PortPtr port = portOf(handle);
    if (!port) *result = call.finish(QX_ERR_INV_PARAM);
    return port;
}

// A call on a live port: recorded, refused before qxInit or for a handle that is not a live port,
// else made by the body under the lab's lock.
template <typename Body>
int portCall(const char* function, QX_PORT handle, Body body) {
    lab::Call call(function);
    if (call.injected()) return call.result();
    std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
    int result = 0;
    PortPtr port = livePort(call, handle, &result);
    if (!port) return result;
    return body(call, port);
}

}  // namespace

PortPtr portOf(QX_PORT port) {
    auto it = table().ports.find(port);
    return it == table().ports.end() ? nullptr : it->second;
}

EapPtr eapOf(QX_EAP eap) {
    auto it = table().eaps.find(eap);
    return it == table().eaps.end() ? nullptr : it->second;
}

std::vector<PortPtr> portsOf(const std::string& adapterName) {
    std::vector<PortPtr> found;
    for (const auto& [handle, port] : table().ports)
        if (port->name == adapterName) found.push_back(port);
    return found;
}

const lab::Element* adapterOfPort(const PortRecord& port) {
    return adapterOf(port.name.c_str());
}

bool isWireless(const lab::Element& adapter) {
    return adapter.text("media") == "wireless";
}

const lab::Element* accessPointOf(const PortRecord& port) {
    if (port.associated.empty()) return nullptr;
    return theLab().world().find("accessPoint", port.associated);
}

const lab::Element* authenticatorOf(const PortRecord& port) {
    const lab::Element* adapter = adapterOfPort(port);
    if (adapter == nullptr) return nullptr;
    std::vector<std::string> keys;
    if (isWireless(*adapter)) {
        const lab::Element* point = accessPointOf(port);
        if (point == nullptr) return nullptr;
        keys.push_back(point->text("ssid"));
    } else {
        keys.push_back(adapter->text("name"));
        if (adapter->has("friendly")) keys.push_back(adapter->text("friendly"));
    }
    for (const lab::Element& authenticator : theLab().world().all("authenticator"))
        for (const std::string& key : keys)
            if (authenticator.text("on") == key) return &authenticator;
    return nullptr;
}

void notifyPort(const PortPtr& port, int type, std::vector<uint8_t> record, int64_t delayMs) {
    theLab().schedule(delayMs, [port, type, record = std::move(record)] {
        port->gate.deliver([&] {
            port->callback(port->context, type, record.empty() ? nullptr : record.data(),
                           static_cast<int>(record.size()));
        });
    });
}

void notifyLinkMode(const PortPtr& port, int mode, int value, int64_t delayMs) {
    QX_PORT_LINK_MODE record = {mode, value};
    const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
    notifyPort(port, QX_PORT_EVENT_LINK_MODE, std::vector<uint8_t>(bytes, bytes + sizeof record), delayMs);
}

void setPortState(const PortPtr& port, int state, int status, int64_t delayMs) {
    port->state = state;
    port->status = status;
    log(QX_LOG_PORT, "%s: %s, %s", port->name.c_str(), qxPortStateString(state), qxPortStatusString(status));
    QX_PORT_STATE_STATUS record = {state, status};
    const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
    notifyPort(port, QX_PORT_EVENT_STATE_STATUS, std::vector<uint8_t>(bytes, bytes + sizeof record), delayMs);
}

void notifyEapStatus(const PortPtr& port, int status) {
    EapPtr eap = eapOf(port->eap);
    if (!eap) return;
    theLab().schedule(0, [port, eap, status] {
        port->gate.deliver([&] {
            eap->gate.deliver([&] {
                int value = status;
                eap->callback(eap->context, QX_EAP_CB_STATUS, &value);
            });
        });
    });
}

int linkSpeedOf(const lab::Element& adapter) {
    if (adapter.has("speed")) return static_cast<int>(adapter.integer("speed") * 1000);
    if (!isWireless(adapter)) return 100000;
    std::string bands = adapter.has("bands") ? adapter.text("bands") : "bg";
    if (bands.find('n') != std::string::npos) return 144000;
    if (bands.find('a') != std::string::npos || bands.find('g') != std::string::npos) return 54000;
    return 11000;
}

void linkChanged(const PortPtr& port, bool up) {
    const lab::Element* adapter = adapterOfPort(*port);
    if (adapter == nullptr) return;
    if (!up) {
        dropAssociation(port, true);
        return;
    }
    if (isWireless(*adapter) || port->linkUp) return;
    ++port->epoch;
    port->linkUp = true;
    notifyLinkMode(port, QX_LINK_UP, linkSpeedOf(*adapter));
    if (port->authMode == QX_PORT_AUTH_8021X) startAuthentication(port);
}

void accessPointsChanged() {
    for (const auto& [handle, port] : table().ports) {
        if (port->associated.empty()) continue;
        const lab::Element* adapter = adapterOfPort(*port);
        const lab::Element* point = accessPointOf(*port);
        if (adapter == nullptr || point == nullptr || !seenBy(*point, *adapter)) dropAssociation(port, true);
    }
}

void addPortCommands() {
    theLab().addCommand("link", [](const std::vector<std::string>& words, std::string*) -> std::string {
        if (words.size() != 3 || (words[2] != "up" && words[2] != "down")) return "link <adapter> up|down";
        std::string reason;
        if (!theLab().world().set("adapter", words[1], {{"link", words[2]}}, &reason)) return reason;
        const lab::Element* adapter = theLab().world().find("adapter", words[1]);
        if (adapter == nullptr) return "no adapter " + words[1];
        for (const PortPtr& port : portsOf(adapter->text("name"))) linkChanged(port, words[2] == "up");
        return "";
    });
    // A radio moves to another access point of its network: the link comes up there without going
    // down first, and an 802.1X port authenticates again.
    theLab().addCommand("roam", [](const std::vector<std::string>& words, std::string*) -> std::string {
        if (words.size() != 3) return "roam <adapter> <bssid>";
        std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
        const lab::Element* adapter = theLab().world().find("adapter", words[1]);
        if (adapter == nullptr) return "no adapter " + words[1];
        const lab::Element* point = theLab().world().find("accessPoint", words[2]);
        if (point == nullptr || !seenBy(*point, *adapter)) return "no access point " + words[2] + " in range";
        for (const PortPtr& port : portsOf(adapter->text("name"))) {
            const lab::Element* current = theLab().world().find("accessPoint", port->associated);
            if (!port->linkUp || current == nullptr || current->text("ssid") != point->text("ssid"))
                return "not associated with " + point->text("ssid");
            ++port->epoch;
            stopAuthentication(port, true);
            port->associated = point->text("bssid");
            log(QX_LOG_ASSOCIATION, "%s: roaming to %s", port->name.c_str(), port->associated.c_str());
            notifyLinkMode(port, QX_LINK_UP, linkSpeedOf(*adapter));
            if (port->authMode == QX_PORT_AUTH_8021X) startAuthentication(port);
        }
        return "";
    });
}

}  // namespace qxauth

using namespace qxauth;

int qxEapCreate(QX_EAP* eap, void* context, QX_EAP_CALLBACK callback) {
    lab::Call call("qxEapCreate", "&eap, context, callback");
    if (call.injected()) return call.result();
    if (eap == nullptr || callback == nullptr) return call.finish(QX_ERR_INV_PARAM);
    if (!initialized()) return call.finish(QX_ERR_NOT_INITIALIZED);
    auto record = std::make_shared<EapRecord>();
    record->context = context;
    record->callback = callback;
    record->gate.open();
    std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
    QX_EAP handle = reinterpret_cast<QX_EAP>(record.get());
    table().eaps[handle] = record;
    *eap = handle;
    return call.finish(QX_OK);
}

int qxEapDestroy(QX_EAP* eap) {
    lab::Call call("qxEapDestroy", "&eap");
    if (call.injected()) return call.result();
    if (eap == nullptr) return call.finish(QX_ERR_INV_PARAM);
    EapPtr record;
    {
        std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
        record = eapOf(*eap);
        // An instance still attached to a port is refused: the port goes first.
        if (!record || (record->port != nullptr && portOf(record->port)))
            return call.finish(QX_ERR_INV_PARAM);
        table().eaps.erase(*eap);
    }
    record->gate.close();
    *eap = nullptr;
    return call.finish(QX_OK);
}

int qxPortAttach(QX_PORT* port, const char* portName, QX_EAP eap, void* context, QX_PORT_CALLBACK callback) {
    lab::Call call("qxPortAttach", "&port, " + lab::quoted(portName) + ", eap, context, callback");
    if (call.injected()) return call.result();
    if (port == nullptr || portName == nullptr || callback == nullptr) return call.finish(QX_ERR_INV_PARAM);
    if (!initialized()) return call.finish(QX_ERR_NOT_INITIALIZED);
    std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
    EapPtr eapRecord = eapOf(eap);
    if (!eapRecord || (eapRecord->port != nullptr && portOf(eapRecord->port)))
        return call.finish(QX_ERR_INV_PARAM);
    const lab::Element* adapter = adapterOf(portName);
    if (adapter == nullptr) return call.finish(QX_ERR_NOT_FOUND);
    auto record = std::make_shared<PortRecord>();
    record->name = portName;
    record->context = context;
    record->callback = callback;
    record->eap = eap;
    record->gate.open();
    QX_PORT handle = reinterpret_cast<QX_PORT>(record.get());
    table().ports[handle] = record;
    eapRecord->port = handle;
    *port = handle;
    if (!isWireless(*adapter) && adapter->text("link") == "up") {
        record->linkUp = true;
        notifyLinkMode(record, QX_LINK_UP, linkSpeedOf(*adapter));
    }
    return call.finish(QX_OK);
}

int qxPortDetach(QX_PORT* port) {
    lab::Call call("qxPortDetach", "&port");
    if (call.injected()) return call.result();
    if (port == nullptr) return call.finish(QX_ERR_INV_PARAM);
    PortPtr record;
    {
        std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
        record = portOf(*port);
        if (!record) return call.finish(QX_ERR_INV_PARAM);
        call.setArguments("&" + portText(record));
        ++record->epoch;
        stopAuthentication(record, false);
        table().ports.erase(*port);
    }
    // Waits for a callback of the port (or of its EAP instance) in progress, unless called from it.
    record->gate.close();
    *port = nullptr;
    return call.finish(QX_OK);
}

int qxPortAssociate(QX_PORT handle, const QX_ASSOCIATE* record) {
    return portCall("qxPortAssociate", handle, [&](lab::Call& call, const PortPtr& port) {
        if (record == nullptr || record->ssidLength < 1 || record->ssidLength > 32)
            return call.finish(QX_ERR_INV_PARAM);
        std::string ssid = ssidText(record->ssid, record->ssidLength);
        call.setArguments(lab::format("%s, %s, %u, %u", portText(port).c_str(),
                                      lab::quoted(ssid.c_str()).c_str(), record->mode, record->encryption));
        int association = associationOf(record->mode, record->encryption);
        if (association == 0 || record->encryption < QX_ENCRYPTION_NONE ||
            record->encryption > QX_ENCRYPTION_AES ||
            (record->wepKeyPresent == 1 && record->wepKeyLength != 5 && record->wepKeyLength != 13))
            return call.finish(QX_ERR_INV_PARAM);
        const lab::Element* adapter = adapterOfPort(*port);
        if (adapter == nullptr) return call.finish(QX_ERR_NOT_FOUND);
        if (!isWireless(*adapter) || !port->radioOn) return call.finish(QX_ERR_FAILURE);
        dropAssociation(port, true);
        for (const lab::Element& point : theLab().world().all("accessPoint")) {
            if (point.flag("ibss") || !seenBy(point, *adapter) || point.text("ssid") != ssid ||
                !offers(point, association, static_cast<int>(record->encryption)))
                continue;
            if (record->encryption == QX_ENCRYPTION_WEP && !wepKeyFits(point, *record)) continue;
            port->associated = point.text("bssid");
            log(QX_LOG_ASSOCIATION, "%s: associating with %s", port->name.c_str(), port->associated.c_str());
            linkUpLater(port, point.integer("delayMs"));
            return call.finish(QX_OK);
        }
        // Nobody answers: the link stays down.
        notifyLinkMode(port, QX_LINK_DOWN, 0);
        return call.finish(QX_OK);
    });
}

int qxPortAdhoc(QX_PORT handle, const QX_ADHOC* record) {
    return portCall("qxPortAdhoc", handle, [&](lab::Call& call, const PortPtr& port) {
        if (record == nullptr || record->ssidLength < 1 || record->ssidLength > 32 ||
            (record->mode != QX_ADHOC_OPEN && record->mode != QX_ADHOC_SHARED))
            return call.finish(QX_ERR_INV_PARAM);
        std::string ssid = ssidText(record->ssid, record->ssidLength);
        call.setArguments(lab::format("%s, %s, %u, %u", portText(port).c_str(),
                                      lab::quoted(ssid.c_str()).c_str(), record->mode, record->encryption));
        const lab::Element* adapter = adapterOfPort(*port);
        if (adapter == nullptr) return call.finish(QX_ERR_NOT_FOUND);
        if (!isWireless(*adapter) || !port->radioOn) return call.finish(QX_ERR_FAILURE);
        dropAssociation(port, true);
        // Joins the lab's cell of that name when its security and WEP key are the record's; starts
        // a cell of its own when the lab has none of that name; otherwise the link stays down.
        bool cellOfThatName = false;
        const int association = record->mode == QX_ADHOC_OPEN ? 1 : 2;
        for (const lab::Element& point : theLab().world().all("accessPoint")) {
            if (!point.flag("ibss") || point.text("ssid") != ssid || !seenBy(point, *adapter)) continue;
            cellOfThatName = true;
            if ((point.has("security") &&
                 !offers(point, association, static_cast<int>(record->encryption))) ||
                !wepKeyFits(point, *record))
                continue;
            port->associated = point.text("bssid");
        }
        if (cellOfThatName && port->associated.empty()) {
            notifyLinkMode(port, QX_LINK_DOWN, 0);
            return call.finish(QX_OK);
        }
        linkUpLater(port, 0);
        return call.finish(QX_OK);
    });
}

int qxPortDisassociate(QX_PORT handle) {
    return portCall("qxPortDisassociate", handle, [&](lab::Call& call, const PortPtr& port) {
        call.setArguments(portText(port));
        const lab::Element* adapter = adapterOfPort(*port);
        if (adapter == nullptr) return call.finish(QX_ERR_NOT_FOUND);
        if (isWireless(*adapter)) dropAssociation(port, true);
        // The library has no radio-on call: a disassociation is what switches the radio back on.
        port->radioOn = true;
        return call.finish(QX_OK);
    });
}

int qxPortRadioOff(QX_PORT handle) {
    return portCall("qxPortRadioOff", handle, [&](lab::Call& call, const PortPtr& port) {
        call.setArguments(portText(port));
        const lab::Element* adapter = adapterOfPort(*port);
        if (adapter == nullptr) return call.finish(QX_ERR_NOT_FOUND);
        if (!isWireless(*adapter)) return call.finish(QX_ERR_NOT_SUPPORTED);
        dropAssociation(port, true);
        port->radioOn = false;
        return call.finish(QX_OK);
    });
}

int qxPortSsidScan(QX_PORT handle) {
    return portCall("qxPortSsidScan", handle, [&](lab::Call& call, const PortPtr& port) {
        call.setArguments(portText(port));
        const lab::Element* adapter = adapterOfPort(*port);
        if (adapter == nullptr) return call.finish(QX_ERR_NOT_FOUND);
        // The lab's radios always hold a fresh scan; a switched-off radio has none.
        return call.finish(isWireless(*adapter) && port->radioOn ? QX_OK : QX_ERR_NOT_SUPPORTED);
    });
}

int qxRsnProbeIeVerifyEnable(QX_PORT handle, int enable) {
    return portCall("qxRsnProbeIeVerifyEnable", handle, [&](lab::Call& call, const PortPtr& port) {
        call.setArguments(portText(port) + ", " + std::to_string(enable));
        if (enable != 0 && enable != 1) return call.finish(QX_ERR_INV_PARAM);
        port->probeVerify = enable;
        return call.finish(QX_OK);
    });
}

int qx8021xCfg(QX_PORT handle, const QX_8021X_CFG* config) {
    return portCall("qx8021xCfg", handle, [&](lab::Call& call, const PortPtr& port) {
        if (config == nullptr) return call.finish(QX_ERR_INV_PARAM);
        call.setArguments(lab::format("%s, {%d, %d, %d, %d}", portText(port).c_str(), config->authPeriod,
                                      config->heldPeriod, config->startPeriod, config->maxStart));
        if (config->authPeriod < 0 || config->heldPeriod < 0 || config->startPeriod < 0 ||
            config->maxStart < 0)
            return call.finish(QX_ERR_INV_PARAM);
        port->config = *config;
        return call.finish(QX_OK);
    });
}

int qxCredRsnPsk(QX_PORT handle, QX_HANDLE psk) {
    return portCall("qxCredRsnPsk", handle, [&](lab::Call& call, const PortPtr& port) {
        call.setArguments(portText(port) + ", " + handleText(psk));
        if (!handleValue(psk, QX_HANDLE_PSK, nullptr)) return call.finish(QX_ERR_INV_PARAM);
        port->psk = psk;
        return call.finish(QX_OK);
    });
}

int qxPortAuth(QX_PORT handle, int mode) {
    return portCall("qxPortAuth", handle, [&](lab::Call& call, const PortPtr& port) {
        call.setArguments(portText(port) + ", " + std::to_string(mode));
        if (mode != QX_PORT_AUTH_8021X && mode != QX_PORT_AUTH_OPEN && mode != QX_PORT_AUTH_CLOSED)
            return call.finish(QX_ERR_INV_PARAM);
        port->authMode = mode;
        ++port->epoch;
        stopAuthentication(port, true);
        if (mode == QX_PORT_AUTH_8021X && port->linkUp) startAuthentication(port);
        return call.finish(QX_OK);
    });
}

int qxPortAuthReset(QX_PORT handle) {
    return portCall("qxPortAuthReset", handle, [&](lab::Call& call, const PortPtr& port) {
        call.setArguments(portText(port));
        ++port->epoch;
        stopAuthentication(port, true);
        // Stopped until the next qxPortAuth starts it again.
        if (port->authMode == QX_PORT_AUTH_8021X) port->authMode = QX_PORT_AUTH_CLOSED;
        setPortState(port, QX_PORT_STATE_DISCONNECTED, QX_PORT_STATUS_LOGOFF);
        return call.finish(QX_OK);
    });
}

int qxPortGetAssociationInfo(QX_PORT handle, QX_ASSOCIATION_INFO* info) {
    return portCall("qxPortGetAssociationInfo", handle, [&](lab::Call& call, const PortPtr& port) {
        call.setArguments(portText(port) + ", &info");
        if (info == nullptr) return call.finish(QX_ERR_INV_PARAM);
        const lab::Element* adapter = adapterOfPort(*port);
        if (adapter == nullptr) return call.finish(QX_ERR_NOT_FOUND);
        if (!port->linkUp) return call.finish(QX_ERR_NO_INFO);
        QX_ASSOCIATION_INFO out = {};
        out.linkSpeed = linkSpeedOf(*adapter);
        if (const lab::Element* point = accessPointOf(*port)) {
            std::string ssid = point->text("ssid");
            std::memcpy(out.ssid, ssid.data(), ssid.size());
            out.ssidLength = static_cast<uint32_t>(ssid.size());
            std::vector<uint8_t> bssid = point->bytes("bssid");
            std::memcpy(out.bssid, bssid.data(), std::min<size_t>(bssid.size(), 6));
            out.channel = static_cast<int32_t>(point->integer("channel"));
            out.signal = static_cast<int32_t>(point->integer("signal"));
        } else if (isWireless(*adapter)) {
            return call.finish(QX_ERR_NO_INFO);
        }
        *info = out;
        return call.finish(QX_OK);
    });
}

int qxPortGetLinkSpeed(QX_PORT handle, int32_t* kbps) {
    return portCall("qxPortGetLinkSpeed", handle, [&](lab::Call& call, const PortPtr& port) {
        call.setArguments(portText(port) + ", &kbps");
        if (kbps == nullptr) return call.finish(QX_ERR_INV_PARAM);
        const lab::Element* adapter = adapterOfPort(*port);
        if (adapter == nullptr) return call.finish(QX_ERR_NOT_FOUND);
        *kbps = port->linkUp ? linkSpeedOf(*adapter) : 0;
        return call.finish(QX_OK);
    });
}

int qxPortGetLinkState(QX_PORT handle, int32_t* state) {
    return portCall("qxPortGetLinkState", handle, [&](lab::Call& call, const PortPtr& port) {
        call.setArguments(portText(port) + ", &state");
        if (state == nullptr) return call.finish(QX_ERR_INV_PARAM);
        const lab::Element* adapter = adapterOfPort(*port);
        if (adapter == nullptr) return call.finish(QX_ERR_NOT_FOUND);
        *state = isWireless(*adapter) ? (port->linkUp ? 1 : 0) : (adapter->text("link") == "up" ? 1 : 0);
        return call.finish(QX_OK);
    });
}
