#include "driver/host/LabAdapters.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "platform/ndis/NdisEnvironment.h"
#include "platform/registry/Registry.h"

namespace {

constexpr uint32_t OID_802_3_PERMANENT_ADDRESS = 0x01010101;
constexpr uint32_t OID_802_3_CURRENT_ADDRESS = 0x01010102;
constexpr uint32_t OID_802_11_BSSID_LIST_SCAN = 0x0D01011A;

std::string Attribute(xmlNode* node, const char* name) {
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    if (!value) return {};
    std::string text(reinterpret_cast<char*>(value));
    xmlFree(value);
    return text;
}

bool ParseHex(const std::string& text, std::vector<uint8_t>* bytes) {
    std::string digits;
    for (char c : text)
        if (std::isxdigit(static_cast<unsigned char>(c)))
            digits.push_back(c);
        else if (c != ':' && c != ' ' && c != '-' && c != '\n' && c != '\t')
            return false;
    if (digits.size() % 2) return false;
    bytes->clear();
    for (size_t i = 0; i < digits.size(); i += 2)
        bytes->push_back(uint8_t(std::stoul(digits.substr(i, 2), nullptr, 16)));
    return true;
}

std::u16string Wide(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

}  // namespace

bool ReadLabAdapters(const std::string& path, std::vector<LabAdapter>* adapters, std::string* error) {
    adapters->clear();
    if (!std::filesystem::exists(path)) return true;
    xmlDoc* document =
        xmlReadFile(path.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!document) {
        *error = "cannot parse " + path;
        return false;
    }
    xmlNode* root = xmlDocGetRootElement(document);
    for (xmlNode* node = root ? root->children : nullptr; node; node = node->next) {
        if (node->type != XML_ELEMENT_NODE || xmlStrcmp(node->name, BAD_CAST "adapter") != 0) continue;
        LabAdapter adapter;
        adapter.name = Attribute(node, "name");
        if (adapter.name.empty()) continue;
        adapter.friendly = Attribute(node, "friendly");
        if (adapter.friendly.empty()) adapter.friendly = adapter.name;
        adapter.wireless = Attribute(node, "media") == "wireless";
        adapter.linkUp = Attribute(node, "link") != "down";
        if (!ParseHex(Attribute(node, "mac"), &adapter.mac) || adapter.mac.size() != 6)
            adapter.mac.assign(6, 0);
        for (xmlNode* child = node->children; child; child = child->next) {
            if (child->type != XML_ELEMENT_NODE || xmlStrcmp(child->name, BAD_CAST "oid") != 0) continue;
            std::vector<uint8_t> bytes;
            char* end = nullptr;
            std::string id = Attribute(child, "id");
            unsigned long oid = std::strtoul(id.c_str(), &end, 0);
            if (id.empty() || *end || !ParseHex(Attribute(child, "hex"), &bytes)) {
                *error = "bad <oid> of adapter " + adapter.name;
                xmlFreeDoc(document);
                return false;
            }
            adapter.answers[uint32_t(oid)] = bytes;
        }
        adapters->push_back(std::move(adapter));
    }
    xmlFreeDoc(document);
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
        if (adapter.wireless) lower.setAnswer(OID_802_11_BSSID_LIST_SCAN, {});
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
