#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/com/Com.h"

namespace netcfg {

// One component of the network configuration; for the net class also the device behind it.
// Absent optional fields are the ones whose read fails.
struct ComponentRecord {
    std::optional<std::string> bindName;
    std::optional<std::string> id;
    std::optional<std::string> displayName;
    std::string className = "net";  // net, nettrans, netservice or netclient
    com::DWORD characteristics = 0;
    std::optional<com::ULONG> deviceStatus;
    std::optional<std::string> paramKey;  // below HKEY_LOCAL_MACHINE
    // The class of the notify object registered for the component, which the configuration loads
    // and asks about the component's binding paths.
    std::optional<std::string> notifyObject;
    // The device: the Linux interface it is (if any), its ids, whether it is present, the Win32
    // error a restart is to fail with (0: none), and how many restarts were recorded rather than
    // carried out.
    std::string interfaceName;
    std::optional<std::vector<std::string>> hardwareIds;
    std::optional<std::vector<std::string>> compatibleIds;
    bool present = true;
    long restartError = 0;
    unsigned restarts = 0;

    com::GUID classGuid() const;
};

// A binding path: bind names from the owner at the top down to the lowest component.
struct BindingRecord {
    std::vector<std::string> path;
    bool enabled = true;

    std::string token() const;
};

// The network configuration as the state file "netcfg" below the program-data root holds it:
//
//   [component]
//   bind-name = {1D6A3B2C-0000-4000-8000-000000000001}
//   id = pci\ven_8086&dev_100e
//   display-name = Wired adapter
//   class = net
//   characteristics = 0x4
//   device-status = 0x0180200a
//   interface = eth0
//   hardware-ids = pci\ven_8086&dev_100e&subsys_001e8086, pci\ven_8086&dev_100e
//   compatible-ids = pci\cc_020000
//   param-key = SYSTEM\CurrentControlSet\Control\Class\{...}\0001
//   notify-object = {20DE2CCC-9E1D-4B43-9A2C-2BB85B2EDBA2}
//   present = yes
//   restart-error = 0
//   restarts = 0
//
//   [binding]
//   path = Tcpip {1D6A3B2C-0000-4000-8000-000000000001}
//   enabled = yes
class NetworkState {
public:
    std::vector<ComponentRecord> components;
    std::vector<BindingRecord> bindings;

    // Index of the component with this bind name (exact), or -1.
    int findByBindName(const std::string& bindName) const;

    std::string serialize() const;
    // False when the text is malformed or a binding names an unknown component.
    static bool parse(const std::string& text, NetworkState& out);
};

// The state file, shared by processes: readers take it as it stands, writers hold a lock while
// they read, change and replace it.
class NetworkStateFile {
public:
    using Change = std::function<long(NetworkState& state, bool& changed)>;

    // The file set here, else "netcfg" below the program-data root; empty restores the default.
    static void setPath(const std::string& path);
    static std::string path();

    // Win32 codes; a missing file is an empty configuration, a malformed one ERROR_BADDB.
    static long read(NetworkState& state);
    static long update(const Change& change);
};

}  // namespace netcfg
