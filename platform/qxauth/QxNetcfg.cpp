// The lab's adapters in the network configuration: each adapter a net component with the protocol
// of the operating system's wireless configuration bound over it, where the configuration does not
// have them yet, so that switching that configuration off and on finds its path.
#include <mutex>

#include "platform/base/Win32Error.h"
#include "platform/lab/Lab.h"
#include "platform/netcfg/NetworkState.h"
#include "platform/qxauth/QxPorts.h"

namespace qxauth {

namespace {

constexpr const char* PROTOCOL_BIND_NAME = "Ndisuio";
constexpr const char* PROTOCOL_ID = "ms_ndisuio";

int componentIndex(const netcfg::NetworkState& state, const std::string& bindName) {
    return state.findByBindName(bindName);
}

}  // namespace

void addAdaptersToNetworkConfiguration() {
    std::vector<std::string> adapters;
    {
        std::lock_guard<std::recursive_mutex> lock(lab::Lab::instance().mutex());
        for (const lab::Element& adapter : lab::Lab::instance().world().all("adapter"))
            adapters.push_back(adapter.text("name"));
    }
    if (adapters.empty()) return;
    netcfg::NetworkStateFile::update([&](netcfg::NetworkState& state, bool& changed) -> long {
        if (componentIndex(state, PROTOCOL_BIND_NAME) < 0) {
            netcfg::ComponentRecord protocol;
            protocol.bindName = PROTOCOL_BIND_NAME;
            protocol.id = PROTOCOL_ID;
            protocol.className = "nettrans";
            state.components.push_back(protocol);
            changed = true;
        }
        for (const std::string& name : adapters) {
            if (componentIndex(state, name) < 0) {
                netcfg::ComponentRecord adapter;
                adapter.bindName = name;
                adapter.id = "lab\\" + name;
                adapter.className = "net";
                adapter.characteristics = 0x4;
                state.components.push_back(adapter);
                changed = true;
            }
            bool bound = false;
            for (const netcfg::BindingRecord& binding : state.bindings)
                bound = bound || (binding.path.size() == 2 && binding.path[0] == PROTOCOL_BIND_NAME &&
                                  binding.path[1] == name);
            if (!bound) {
                state.bindings.push_back(netcfg::BindingRecord{{PROTOCOL_BIND_NAME, name}, true});
                changed = true;
            }
        }
        return base::win32::ERROR_SUCCESS;
    });
}

}  // namespace qxauth
