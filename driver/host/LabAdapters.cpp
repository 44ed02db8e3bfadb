#include "driver/host/LabAdapters.h"

#include "driver/host/LabBssidList.h"
#include "platform/lab/LabReader.h"
#include "platform/ndis/NdisEnvironment.h"
#include "platform/registry/Registry.h"

namespace {

constexpr uint32_t OID_802_3_PERMANENT_ADDRESS = 0x01010101;
constexpr uint32_t OID_802_3_CURRENT_ADDRESS = 0x01010102;
constexpr uint32_t OID_802_11_BSSID_LIST_SCAN = 0x0D01011A;
constexpr uint32_t OID_802_11_BSSID_LIST = 0x0D010217;

std::u16string Wide(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

}  // namespace

bool ReadLabAdapters(const std::string& path, std::vector<LabAdapter>* adapters, std::string* error) {
    adapters->clear();
    lab::World world;
    if (!lab::readLabFile(path, &world, error)) return false;
    for (const lab::Element& element : world.all("adapter")) {
        LabAdapter adapter;
        adapter.name = element.text("name");
        adapter.friendly = element.has("friendly") ? element.text("friendly") : adapter.name;
        adapter.wireless = element.text("media") == "wireless";
        adapter.linkUp = element.text("link") != "down";
        adapter.mac = element.bytes("mac");
        if (adapter.wireless) adapter.bssidList = LabBssidList(world, element);
        for (const lab::Element& oid : element.children())
            adapter.answers[static_cast<uint32_t>(oid.integer("id"))] = oid.bytes("hex");
        adapters->push_back(std::move(adapter));
    }
    return true;
}

void InstallLabAdapters(const std::vector<LabAdapter>& adapters) {
    auto& env = ndissim::NdisEnvironment::instance();
    for (const auto& adapter : adapters) {
        std::u16string device = u"\\Device\\" + Wide(adapter.name);
        auto& lower = env.addLowerAdapter(device, Wide(adapter.friendly), NdisMedium802_3);
        lower.setAnswerU32(OID_GEN_MEDIA_CONNECT_STATUS,
                           adapter.linkUp ? NdisMediaStateConnected : NdisMediaStateDisconnected);
        lower.setAnswerU32(OID_GEN_PHYSICAL_MEDIUM, adapter.wireless ? NdisPhysicalMediumWirelessLan : 0);
        lower.setAnswer(OID_802_3_PERMANENT_ADDRESS, adapter.mac);
        lower.setAnswer(OID_802_3_CURRENT_ADDRESS, adapter.mac);
        lower.setAnswerU32(OID_GEN_CURRENT_PACKET_FILTER, 0);
        lower.setAnswer(OID_802_3_MULTICAST_LIST, {});
        lower.setAnswerU32(OID_802_3_MAXIMUM_LIST_SIZE, 32);
        if (adapter.wireless) {
            lower.setAnswer(OID_802_11_BSSID_LIST_SCAN, {});
            lower.setAnswer(OID_802_11_BSSID_LIST, adapter.bssidList);
        }
        for (const auto& [oid, bytes] : adapter.answers) lower.setAnswer(oid, bytes);

        registry::HKEY key = nullptr;
        std::string path = ndissim::BindingConfigurationPath(device);
        if (registry::RegCreateKeyEx(registry::HKEY_LOCAL_MACHINE, path.c_str(), 0, registry::KEY_ALL_ACCESS,
                                     &key, nullptr) != 0)
            continue;
        uint32_t size = 0;
        if (registry::RegQueryValueEx(key, "UpperBindings", nullptr, nullptr, &size) != 0) {
            std::string upper = "\\Device\\Pellodur_" + adapter.name;
            registry::RegSetValueEx(key, "UpperBindings", registry::REG_SZ,
                                    reinterpret_cast<const uint8_t*>(upper.c_str()),
                                    uint32_t(upper.size() + 1));
        }
        registry::RegCloseKey(key);
    }
}
