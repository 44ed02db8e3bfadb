// The IP functions of the library: DHCP as the lab's <dhcp> elements describe it. An element
// applies to the adapter it names (by name or friendly name). A reconnect blocks for the
// element's delay on the lab clock, fails `failures` times first, and then gives the address;
// without an element nobody answers. Each change of an address sends the IP configuration event.
#include <chrono>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "platform/lab/Lab.h"
#include "platform/qxauth/QxLibrary.h"

namespace {

// What the stand-in remembers of one adapter's DHCP since qxInit.
struct IpState {
    bool hasAddress = false;
    long long failuresGiven = 0;
};

std::map<std::string, IpState>& ipStates() {
    static auto* states = new std::map<std::string, IpState>();
    return *states;
}

lab::Lab& theLab() {
    return lab::Lab::instance();
}

// The <dhcp> element for the adapter of a symbolic name, or null; under the lab's lock.
const lab::Element* dhcpOf(const char* portName) {
    const lab::Element* adapter = qxauth::adapterOf(portName);
    if (adapter == nullptr) return nullptr;
    for (const lab::Element& dhcp : theLab().world().all("dhcp")) {
        const std::string on = dhcp.text("on");
        if (on == adapter->text("name") || (adapter->has("friendly") && on == adapter->text("friendly")))
            return &dhcp;
    }
    return nullptr;
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

// Waits until the lab clock has moved on by delayMs (in manual mode the test moves it); false when
// the lab stopped meanwhile.
bool waitOnLabClock(long long delayMs) {
    if (delayMs <= 0) return true;
    const int64_t until = theLab().now() + delayMs;
    while (theLab().now() < until) {
        if (!qxauth::initialized()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return qxauth::initialized();
}

void setAddress(const std::string& name, bool hasAddress) {
    IpState& state = ipStates()[name];
    if (state.hasAddress == hasAddress) return;
    state.hasAddress = hasAddress;
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
    {
        std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
        int checked = checkPort(portName, portName);
        if (checked != QX_OK) return call.finish(checked);
        setAddress(portName, false);
        const lab::Element* dhcp = dhcpOf(portName);
        if (dhcp != nullptr) delayMs = dhcp->integer("delayMs");
    }
    // The lab's lock is not held while the request is on its way.
    if (!waitOnLabClock(delayMs)) return call.finish(QX_ERR_NOT_INITIALIZED);
    std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
    const lab::Element* dhcp = dhcpOf(portName);
    if (dhcp == nullptr || !dhcp->has("address")) return call.finish(QX_ERR_FAILURE);
    IpState& state = ipStates()[portName];
    if (state.failuresGiven < dhcp->integer("failures")) {
        ++state.failuresGiven;
        return call.finish(QX_ERR_FAILURE);
    }
    setAddress(portName, true);
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
    return call.finish(QX_OK);
}

int qxIpDhcpRelease(const char* portName) {
    lab::Call call("qxIpDhcpRelease", lab::quoted(portName));
    if (call.injected()) return call.result();
    std::lock_guard<std::recursive_mutex> lock(theLab().mutex());
    int checked = checkPort(portName, portName);
    if (checked != QX_OK) return call.finish(checked);
    setAddress(portName, false);
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
