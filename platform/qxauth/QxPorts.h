#pragma once
// Inside the authentication library stand-in: ports and EAP instances. A handle is the address of
// its record; the records live in one table and are looked up there, so that a destroyed or foreign
// handle is refused. Everything a record holds is read and changed under the lab's lock; callbacks
// go out on the lab thread through the record's gate, never under that lock.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/lab/LabCallbackGate.h"
#include "platform/lab/LabWorld.h"
#include "platform/qxauth/qxAuth.h"

namespace qxauth {

struct Conversation;

struct EapRecord {
    void* context = nullptr;
    QX_EAP_CALLBACK callback = nullptr;
    lab::CallbackGate gate;
    QX_PORT port = nullptr;
    std::vector<QX_HANDLE> stores;
};

struct PortRecord {
    std::string name;  // the adapter's symbolic name
    void* context = nullptr;
    QX_PORT_CALLBACK callback = nullptr;
    lab::CallbackGate gate;
    QX_EAP eap = nullptr;
    bool radioOn = true;
    int authMode = QX_PORT_AUTH_OPEN;
    QX_8021X_CFG config = {30, 60, 30, 3};
    QX_HANDLE psk = 0;
    int probeVerify = 1;
    // The access point or cell the port is associated with (its bssid); empty when none.
    std::string associated;
    bool linkUp = false;
    int state = QX_PORT_STATE_DISCONNECTED;
    int status = QX_PORT_STATUS_LINK_DOWN;
    // Counts link changes and authentication starts, so that an action scheduled for an earlier
    // one does nothing.
    uint64_t epoch = 0;
    std::shared_ptr<Conversation> conversation;
};

using PortPtr = std::shared_ptr<PortRecord>;
using EapPtr = std::shared_ptr<EapRecord>;

// Under the lab's lock: the record of a live handle, else null.
PortPtr portOf(QX_PORT port);
EapPtr eapOf(QX_EAP eap);
// The live ports of an adapter.
std::vector<PortPtr> portsOf(const std::string& adapterName);

// The lab adapter of a port; null when it has gone. Under the lab's lock.
const lab::Element* adapterOfPort(const PortRecord& port);
bool isWireless(const lab::Element& adapter);
// The access point the port is associated with, null when none. Under the lab's lock.
const lab::Element* accessPointOf(const PortRecord& port);
// The authenticator for the port's current network: by SSID for a wireless port, by adapter name
// or friendly name for a wired one. Under the lab's lock.
const lab::Element* authenticatorOf(const PortRecord& port);

// Port notifications and EAP callbacks, copied and sent on the lab thread after delayMs.
void notifyPort(const PortPtr& port, int type, std::vector<uint8_t> record, int64_t delayMs = 0);
void notifyLinkMode(const PortPtr& port, int mode, int value, int64_t delayMs = 0);
// Sets and sends a port state with its status.
void setPortState(const PortPtr& port, int state, int status, int64_t delayMs = 0);
void notifyEapStatus(const PortPtr& port, int status);

// Link speed in kbit/s of an adapter's current link.
int linkSpeedOf(const lab::Element& adapter);

// Authentication (QxAuthentication.cpp): starts it when the port is in 802.1X mode with a link;
// stops it, cancelling an open request.
void startAuthentication(const PortPtr& port);
void stopAuthentication(const PortPtr& port, bool cancelRequest);

// Link changes of the lab (link <adapter> up|down, access points removed).
void linkChanged(const PortPtr& port, bool up);

// run/lab's "link <adapter> up|down", added when the library starts.
void addPortCommands();
// After a change of the world's access points: a radio whose point is gone or no longer seen by it
// loses its link, as when the point is switched off. The caller holds the lab's lock.
void accessPointsChanged();

// Adds the lab's adapters, the wireless-configuration protocol and its enabled binding over each
// adapter to the network configuration where they are missing (QxNetcfg.cpp), at the start.
void addAdaptersToNetworkConfiguration();

// Capture (QxCapture.cpp): an EAPOL frame of the simulated exchange into the port's capture file.
void captureFrame(const std::string& portName, const std::vector<uint8_t>& frame);

}  // namespace qxauth
