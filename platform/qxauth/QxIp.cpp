// The IP functions of the library: DHCP as the lab's <dhcp> elements describe it. An element
// applies to the network a port of the adapter is associated with (by SSID), else to the adapter
// it names (by name or friendly name). A reconnect blocks for the element's delay on the lab
// clock, fails `failures` times first, and then gives the address, but only while the adapter
// passes traffic; without an element nobody answers. Each change of an address sends the IP
// configuration event.
#include <condition_variable>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/lab/Lab.h"
#include "platform/qxauth/QxLibrary.h"
#include "platform/qxauth/QxPorts.h"

namespace {

// What the stand-in remembers of one adapter's DHCP since qxInit.
struct IpState {
    bool hasAddress = false;
    long long failuresGiven = 0;
};

// Emptied by qxExit, so that nothing of a run is left in a heap the program checks at its end.
std::map<std::string, IpState>& ipStates() {
    static std::map<std::string, IpState> states;
    return states;
}

lab::Lab& theLab() {
    return lab::Lab::instance();
}

const lab::Element* dhcpOn(const std::string& key) {
    for (const lab::Element& dhcp : theLab().world().all("dhcp"))
        if (dhcp.text("on") == key) return &dhcp;
    return nullptr;
}

// The <dhcp> element for the adapter of a symbolic name, or null: the one of the SSID a port of the
// adapter is associated with before the adapter's own. Under the lab's lock.
const lab::Element* dhcpOf(const char* portName) {
    const lab::Element* adapter = qxauth::adapterOf(portName);
    if (adapter == nullptr) return nullptr;
    for (const qxauth::PortPtr& port : qxauth::portsOf(adapter->text("name"))) {
        const lab::Element* point = qxauth::accessPointOf(*port);
        if (point == nullptr) continue;
        if (const lab::Element* dhcp = dhcpOn(point->text("ssid"))) return dhcp;
    }
    if (const lab::Element* dhcp = dhcpOn(adapter->text("name"))) return dhcp;
    if (adapter->has("friendly")) return dhcpOn(adapter->text("friendly"));
    return nullptr;
}

// Whether a DHCP server could hear the adapter: a port with a link that is open or authenticated;
// with no port attached nothing holds a wired adapter's traffic back, and a wireless one has no
// network. Under the lab's lock.
bool passesTraffic(const char* portName) {
    const lab::Element* adapter = qxauth::adapterOf(portName);
    if (adapter == nullptr) return false;
    std::vector<qxauth::PortPtr> ports = qxauth::portsOf(adapter->text("name"));
    if (ports.empty()) return !qxauth::isWireless(*adapter) && adapter->text("link") == "up";
    for (const qxauth::PortPtr& port : ports) {
        if (!port->linkUp) continue;
        if (port->authMode == QX_PORT_AUTH_OPEN || port->state == QX_PORT_STATE_AUTHENTICATED) return true;
    }
    return false;
}

bool parseAddress(const std::string& text, uint8_t bytes[4]) {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (std::sscanf(text.c_str(), "%u.%u.%u.%u", &a, &b, &c, &d) != 4) return false;
    bytes[0] = static_cast<uint8_t>(a);
    bytes[1] = static_cast<uint8_t>(b);
    bytes[2] = static_cast<uint8_t>(c);
    bytes[3] = static_cast<uint8_t>(d);
    return true;
}

// Reconnects waiting for the lab clock. qxExit ends the run they wait in, since the lab drops the
// actions that would have woken them.
struct ClockWaits {
    std::mutex mutex;
    std::condition_variable changed;
    uint64_t run = 0;
};

ClockWaits& clockWaits() {
    static ClockWaits waits;
    return waits;
}

// The run of the library a caller saw initialized; read after that check.
uint64_t currentRun() {
    ClockWaits& waits = clockWaits();
    std::lock_guard<std::mutex> lock(waits.mutex);
    return waits.run;
}

// Waits until the lab clock has moved on by delayMs: an action due then on the lab's clock wakes
// the caller, so that in manual mode the test's advance() lets it go and nothing polls. False when
// the library exited since the run began.
bool waitOnLabClock(long long delayMs, uint64_t run) {
    if (delayMs <= 0) return true;
    ClockWaits& waits = clockWaits();
    auto due = std::make_shared<bool>(false);
    theLab().schedule(delayMs, [due] {
        ClockWaits& waits = clockWaits();
        std::lock_guard<std::mutex> lock(waits.mutex);
        *due = true;
        waits.changed.notify_all();
    });
    std::unique_lock<std::mutex> lock(waits.mutex);
    waits.changed.wait(lock, [&] { return *due || waits.run != run; });
    return *due && qxauth::initialized();
}

// The adapter got the address of a DHCP answer (lease: its <dhcp> element) or, with none, lost it.
void setAddress(const std::string& name, const lab::Element* lease) {
    IpState& state = ipStates()[name];
    const bool hasAddress = lease != nullptr;
    if (state.hasAddress == hasAddress) return;
    state.hasAddress = hasAddress;
    if (lease != nullptr)
        qxauth::keepDhcpLease(name, *lease);
    else
        qxauth::releaseDhcpLease(name);
    qxauth::sendGlobalEvent(QX_EVENT_IP_CONFIG_CHANGED, {});
}

// The common start of every IP call: the arguments, the library's state and the adapter.
int checkPort(const char* portName, const void* out) {
    if (portName == nullptr || out == nullptr) return QX_ERR_INV_PARAM;
    if (!qxauth::initialized()) return QX_ERR_NOT_INITIALIZED;
    if (qxauth::adapterOf(portName) == nullptr) return QX_ERR_NOT_FOUND;
    return QX_OK;
}

}  // namespace

namespace qxauth {

void resetIp() {
    std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
    ipStates().clear();
}

void stopIp() {
    {
        ClockWaits& waits = clockWaits();
        std::lock_guard<std::mutex> lock(waits.mutex);
        ++waits.run;
        waits.changed.notify_all();
    }
    resetIp();
}

}  // namespace qxauth

int qxIpDhcpIsEnabled(const char* portName, int* enabled) {
    lab::Call call("qxIpDhcpIsEnabled", lab::quoted(portName) + ", &enabled");
    if (call.injected()) return call.result();
    std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
    int checked = checkPort(portName, enabled);
    if (checked != QX_OK) return call.finish(checked);
    const lab::Element* dhcp = dhcpOf(portName);
    *enabled = dhcp == nullptr || dhcp->flag("enabled") ? 1 : 0;
    return call.finish(QX_OK);
}

int qxIpReconnect(const char* portName) {
    lab::Call call("qxIpReconnect", lab::quoted(portName));
    if (call.injected()) return call.result();
    long long delayMs = 0;
    uint64_t run = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
        int checked = checkPort(portName, portName);
        if (checked != QX_OK) return call.finish(checked);
        run = currentRun();
        setAddress(portName, nullptr);
        const lab::Element* dhcp = dhcpOf(portName);
        if (dhcp != nullptr) delayMs = dhcp->integer("delayMs");
    }
    // The lab's lock is not held while the request is on its way.
    if (!waitOnLabClock(delayMs, run)) return call.finish(QX_ERR_NOT_INITIALIZED);
    std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
    const lab::Element* dhcp = dhcpOf(portName);
    if (dhcp == nullptr || !dhcp->has("address") || !passesTraffic(portName))
        return call.finish(QX_ERR_FAILURE);
    IpState& state = ipStates()[portName];
    if (state.failuresGiven < dhcp->integer("failures")) {
        ++state.failuresGiven;
        return call.finish(QX_ERR_FAILURE);
    }
    setAddress(portName, dhcp);
    return call.finish(QX_OK);
}

int qxIpDhcpRenew(const char* portName) {
    lab::Call call("qxIpDhcpRenew", lab::quoted(portName));
    if (call.injected()) return call.result();
    std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
    int checked = checkPort(portName, portName);
    if (checked != QX_OK) return call.finish(checked);
    const lab::Element* dhcp = dhcpOf(portName);
    // A renewal needs a lease to renew and a server to answer.
    if (dhcp == nullptr || !dhcp->has("address") || !ipStates()[portName].hasAddress)
        return call.finish(QX_ERR_FAILURE);
    // The server extends the lease from now.
    qxauth::keepDhcpLease(portName, *dhcp);
    return call.finish(QX_OK);
}

int qxIpDhcpRelease(const char* portName) {
    lab::Call call("qxIpDhcpRelease", lab::quoted(portName));
    if (call.injected()) return call.result();
    std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
    int checked = checkPort(portName, portName);
    if (checked != QX_OK) return call.finish(checked);
    setAddress(portName, nullptr);
    return call.finish(QX_OK);
}

int qxIpIsConnected(const char* portName, int* connected) {
    lab::Call call("qxIpIsConnected", lab::quoted(portName) + ", &connected");
    if (call.injected()) return call.result();
    std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
    int checked = checkPort(portName, connected);
    if (checked != QX_OK) return call.finish(checked);
    *connected = ipStates()[portName].hasAddress ? 1 : 0;
    return call.finish(QX_OK);
}

int qxIpGetConfig(const char* portName, QX_IP_CONFIG* config) {
    lab::Call call("qxIpGetConfig", lab::quoted(portName) + ", &config");
    if (call.injected()) return call.result();
    std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
    int checked = checkPort(portName, config);
    if (checked != QX_OK) return call.finish(checked);
    *config = {};
    const lab::Element* dhcp = dhcpOf(portName);
    config->dhcpEnabled = dhcp == nullptr || dhcp->flag("enabled") ? 1 : 0;
    if (dhcp == nullptr) return call.finish(QX_OK);
    // A static address is always there; a DHCP one only after a reconnect gave it.
    if (!config->dhcpEnabled || ipStates()[portName].hasAddress) {
        parseAddress(dhcp->text("address"), config->address);
        parseAddress(dhcp->text("mask"), config->mask);
        parseAddress(dhcp->text("gateway"), config->gateway);
        parseAddress(dhcp->text("server"), config->server);
        config->leaseSec = static_cast<int32_t>(dhcp->integer("leaseSec"));
    }
    return call.finish(QX_OK);
}
