// The lab's adapters in the network configuration: each adapter a net component with the protocol
// of the operating system's wireless configuration bound over it, where the configuration does not
// have them yet, so that switching that configuration off and on finds its path. An adapter's
// component carries what a machine's configuration holds for a working card, its name and a started
// device's status, since readers of the configuration (the diagnostic report) pass over a component
// whose device status cannot be read; a record written before it had them is completed in place.
#include <mutex>
#include <optional>

#include "platform/base/Win32Error.h"
#include "platform/lab/Lab.h"
#include "platform/netcfg/NetworkState.h"
#include "platform/qxauth/QxLibrary.h"
#include "platform/qxauth/QxPorts.h"

namespace qxauth {

namespace {

constexpr const char* PROTOCOL_BIND_NAME = "Ndisuio";
constexpr const char* PROTOCOL_ID = "ms_ndisuio";
constexpr const char* PROTOCOL_DISPLAY_NAME = "NDIS Usermode I/O Protocol";
// A present device whose driver is loaded and started, as the system enumerates a card it runs.
constexpr com::ULONG STARTED_DEVICE_STATUS = 0x0180200a;

struct LabAdapter {
    std::string name;
    std::string description;
};

// Sets a field the record lacks; true when it did.
template <typename T>
bool fillMissing(std::optional<T>& field, const T& value) {
    if (field) return false;
    field = value;
    return true;
}

// The component of the bind name, added with the fixed fields when missing.
netcfg::ComponentRecord& componentOf(netcfg::NetworkState& state, const std::string& bindName,
                                     const netcfg::ComponentRecord& added, bool& changed) {
    int index = state.findByBindName(bindName);
    if (index >= 0) return state.components[size_t(index)];
    state.components.push_back(added);
    changed = true;
    return state.components.back();
}

}  // namespace

void addAdaptersToNetworkConfiguration() {
    std::vector<LabAdapter> adapters;
    {
        std::lock_guard<std::recursive_mutex> lock(lab::Lab::instance().mutex());
        for (const lab::Element& adapter : lab::Lab::instance().world().all("adapter"))
            adapters.push_back({adapter.text("name"), descriptionOf(adapter)});
    }
    if (adapters.empty()) return;
    netcfg::NetworkStateFile::update([&](netcfg::NetworkState& state, bool& changed) -> long {
        netcfg::ComponentRecord protocol;
        protocol.bindName = PROTOCOL_BIND_NAME;
        protocol.id = PROTOCOL_ID;
        protocol.className = "nettrans";
        netcfg::ComponentRecord& protocolComponent =
            componentOf(state, PROTOCOL_BIND_NAME, protocol, changed);
        changed |= fillMissing(protocolComponent.displayName, std::string(PROTOCOL_DISPLAY_NAME));
        for (const LabAdapter& adapter : adapters) {
            netcfg::ComponentRecord added;
            added.bindName = adapter.name;
            added.id = "lab\\" + adapter.name;
            added.className = "net";
            added.characteristics = 0x4;
            // No Linux interface is named: restarting a lab adapter must not bounce a real one.
            netcfg::ComponentRecord& component = componentOf(state, adapter.name, added, changed);
            changed |= fillMissing(component.displayName, adapter.description);
            changed |= fillMissing(component.deviceStatus, STARTED_DEVICE_STATUS);
            bool bound = false;
            for (const netcfg::BindingRecord& binding : state.bindings)
                bound = bound || (binding.path.size() == 2 && binding.path[0] == PROTOCOL_BIND_NAME &&
                                  binding.path[1] == adapter.name);
            if (!bound) {
                state.bindings.push_back(netcfg::BindingRecord{{PROTOCOL_BIND_NAME, adapter.name}, true});
                changed = true;
            }
        }
        return base::win32::ERROR_SUCCESS;
    });
}

}  // namespace qxauth
