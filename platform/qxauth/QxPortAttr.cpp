// The attributes of a lab adapter as the library reports them for its symbolic name.
#include <cstring>
#include <mutex>

#include "platform/lab/Lab.h"
#include "platform/qxauth/QxLibrary.h"
#include "platform/qxauth/QxPorts.h"

namespace {

constexpr uint32_t BAND_BITS[] = {QX_ATTR_80211A, QX_ATTR_80211B, QX_ATTR_80211G, QX_ATTR_80211N};
constexpr const char* BAND_LETTERS = "abgn";
// A lab radio knows every cipher and key management; what a network offers decides.
constexpr uint32_t WIRELESS_CAPABILITIES =
    QX_ATTR_ENC_NONE | QX_ATTR_ENC_WEP | QX_ATTR_ENC_TKIP | QX_ATTR_ENC_AES | QX_ATTR_AUTH_OPEN |
    QX_ATTR_AUTH_SHARED | QX_ATTR_AUTH_WPA_1X | QX_ATTR_AUTH_WPA_PSK | QX_ATTR_AUTH_WPA_QUILLAN |
    QX_ATTR_AUTH_11I_1X | QX_ATTR_AUTH_11I_PSK | QX_ATTR_AUTH_11I_QUILLAN;
constexpr const char* DEFAULT_BANDS = "bg";

QX_PORT_ATTR attributesOf(const lab::Element& adapter) {
    QX_PORT_ATTR attributes = {};
    bool wireless = adapter.text("media") == "wireless";
    std::string description = qxauth::descriptionOf(adapter);
    std::strncpy(attributes.description, description.c_str(), sizeof attributes.description - 1);
    std::vector<uint8_t> mac = adapter.bytes("mac");
    std::memcpy(attributes.macAddress, mac.data(), std::min(mac.size(), sizeof attributes.macAddress));
    attributes.mtu = static_cast<uint32_t>(adapter.integer("mtu"));
    if (!wireless) {
        attributes.flags = QX_ATTR_8023;
        return attributes;
    }
    std::string bands = adapter.has("bands") ? adapter.text("bands") : DEFAULT_BANDS;
    for (size_t i = 0; i < 4; ++i)
        if (bands.find(BAND_LETTERS[i]) != std::string::npos) attributes.flags |= BAND_BITS[i];
    attributes.flags |= WIRELESS_CAPABILITIES;
    if (adapter.flag("locationCapable")) attributes.flags |= QX_ATTR_LOCATION;
    return attributes;
}

}  // namespace

namespace qxauth {

std::string descriptionOf(const lab::Element& adapter) {
    if (adapter.has("description")) return adapter.text("description");
    return std::string("Lab ") + (isWireless(adapter) ? "wireless" : "wired") + " adapter " +
           (adapter.has("friendly") ? adapter.text("friendly") : adapter.text("name"));
}

}  // namespace qxauth

int qxGetPortAttr(const char* portName, QX_PORT_ATTR* attributes) {
    lab::Call call("qxGetPortAttr", lab::quoted(portName) + ", &attributes");
    if (call.injected()) return call.result();
    if (portName == nullptr || attributes == nullptr) return call.finish(QX_ERR_INV_PARAM);
    if (!qxauth::initialized()) return call.finish(QX_ERR_NOT_INITIALIZED);
    std::lock_guard<std::recursive_mutex> lock(lab::Lab::instance().mutex());
    const lab::Element* adapter = qxauth::adapterOf(portName);
    if (adapter == nullptr) return call.finish(QX_ERR_NOT_FOUND);
    *attributes = attributesOf(*adapter);
    return call.finish(QX_OK);
}
