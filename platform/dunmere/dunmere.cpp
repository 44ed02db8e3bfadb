// The library's entry points: each hands its call to the process's VPN service. Every call can be
// made to fail and is recorded by the lab of the program that loaded the library; a pump that ran
// no callback is left out of the record, as the tracker pumps every 50 ms.
#include "platform/dunmere/dunmere.h"

#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "platform/dunmere/VpnService.h"
#include "platform/lab/PluginCall.h"

#define DUNMERE_EXPORT __attribute__((visibility("default")))

using dunmere::VpnService;
using lab::PluginCall;

namespace {

std::string channelName(VpnChannel channel) {
    return "channel#" + std::to_string(channel);
}

std::string hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

// The lab of the program serves the VPN while the API is initialised: its gateways, clock and
// commands. False (with the reason on standard error) when the lab cannot be used.
bool attachLab() {
    using Attach = int (*)(char*, int);
    auto attach = reinterpret_cast<Attach>(::dlsym(RTLD_DEFAULT, "tamsel_lab_vpn_attach"));
    if (attach == nullptr) return true;
    char error[512] = "";
    if (attach(error, sizeof error)) return true;
    std::fprintf(stderr, "%s\n", error);
    return false;
}

void detachLab() {
    using Detach = void (*)();
    auto detach = reinterpret_cast<Detach>(::dlsym(RTLD_DEFAULT, "tamsel_lab_vpn_detach"));
    if (detach != nullptr) detach();
}

}  // namespace

extern "C" {

DUNMERE_EXPORT int vpn_api_init(std::uint32_t* version) {
    PluginCall call("vpn_api_init", version ? hex(*version) : "NULL");
    if (call.injected()) return call.result();
    if (version != nullptr && !attachLab()) return call.finish(VPN_ERROR);
    int rc = VpnService::instance().apiInit(version);
    if (rc != VPN_OK && version != nullptr) detachLab();
    return call.finish(rc);
}

DUNMERE_EXPORT int vpn_api_destroy() {
    PluginCall call("vpn_api_destroy", "");
    if (call.injected()) return call.result();
    int rc = VpnService::instance().apiDestroy();
    if (rc == VPN_OK) detachLab();
    return call.finish(rc);
}

DUNMERE_EXPORT int vpn_channel_init(VpnChannel* channel, std::uint32_t* permissions,
                                    const VpnCallbacks* callbacks) {
    std::string asked = permissions ? hex(*permissions) : "NULL";
    PluginCall call("vpn_channel_init", "&channel, " + asked + ", " + (callbacks ? "&callbacks" : "NULL"));
    if (call.injected()) return call.result();
    int rc = VpnService::instance().channelInit(channel, permissions, callbacks);
    if (rc == VPN_OK) {
        call.setArguments(channelName(*channel) + ", " + asked + " -> " + hex(*permissions) + ", &callbacks");
    }
    return call.finish(rc);
}

DUNMERE_EXPORT int vpn_channel_destroy(VpnChannel channel) {
    PluginCall call("vpn_channel_destroy", channelName(channel));
    if (call.injected()) return call.result();
    return call.finish(VpnService::instance().channelDestroy(channel));
}

DUNMERE_EXPORT int vpn_process_events(VpnChannel channel, int count) {
    PluginCall call("vpn_process_events", channelName(channel) + ", " + std::to_string(count));
    if (call.injected()) return call.result();
    int delivered = 0;
    int rc = VpnService::instance().processEvents(channel, count, &delivered);
    if (rc == VPN_OK && delivered == 0) call.unrecorded();
    return call.finish(rc);
}

DUNMERE_EXPORT int vpn_connect(VpnChannel channel, const char* entry, const char* user, const char* password,
                               std::uint32_t flags) {
    PluginCall call("vpn_connect", channelName(channel) + ", " + PluginCall::quoted(entry) + ", " +
                                       PluginCall::quoted(user) + ", " + PluginCall::secret(password) + ", " +
                                       std::to_string(flags));
    if (call.injected()) return call.result();
    return call.finish(VpnService::instance().connect(channel, entry, user, password, flags));
}

DUNMERE_EXPORT int vpn_disconnect(VpnChannel channel) {
    PluginCall call("vpn_disconnect", channelName(channel));
    if (call.injected()) return call.result();
    return call.finish(VpnService::instance().disconnect(channel));
}

DUNMERE_EXPORT int vpn_acknowledge_banner(VpnChannel channel, int accepted) {
    PluginCall call("vpn_acknowledge_banner", channelName(channel) + ", " + std::to_string(accepted));
    if (call.injected()) return call.result();
    return call.finish(VpnService::instance().acknowledgeBanner(channel, accepted));
}

DUNMERE_EXPORT int vpn_auth_set_attribute(VpnAuthHandle auth, int attribute, const char* text) {
    std::string value =
        attribute == VPN_AUTH_ATTRIBUTE_PASSWORD ? PluginCall::secret(text) : PluginCall::quoted(text);
    PluginCall call("vpn_auth_set_attribute",
                    "auth#" + std::to_string(auth) + ", " + std::to_string(attribute) + ", " + value);
    if (call.injected()) return call.result();
    return call.finish(VpnService::instance().authSetAttribute(auth, attribute, text));
}

DUNMERE_EXPORT int vpn_auth_respond(VpnChannel channel, VpnAuthHandle auth, int flags) {
    PluginCall call("vpn_auth_respond",
                    channelName(channel) + ", auth#" + std::to_string(auth) + ", " + std::to_string(flags));
    if (call.injected()) return call.result();
    return call.finish(VpnService::instance().authRespond(channel, auth, flags));
}
}
