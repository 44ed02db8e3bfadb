// The library's entry points: each hands its call to the process's VPN service.
#include "platform/dunmere/dunmere.h"

#include "platform/dunmere/VpnService.h"

#define DUNMERE_EXPORT __attribute__((visibility("default")))

using dunmere::VpnService;

extern "C" {

DUNMERE_EXPORT int vpn_api_init(std::uint32_t* version) {
    return VpnService::instance().apiInit(version);
}

DUNMERE_EXPORT int vpn_api_destroy() {
    return VpnService::instance().apiDestroy();
}

DUNMERE_EXPORT int vpn_channel_init(VpnChannel* channel, std::uint32_t* permissions,
                                    const VpnCallbacks* callbacks) {
    return VpnService::instance().channelInit(channel, permissions, callbacks);
}

DUNMERE_EXPORT int vpn_channel_destroy(VpnChannel channel) {
    return VpnService::instance().channelDestroy(channel);
}

DUNMERE_EXPORT int vpn_process_events(VpnChannel channel, int count) {
    return VpnService::instance().processEvents(channel, count);
}

DUNMERE_EXPORT int vpn_connect(VpnChannel channel, const char* entry, const char* user, const char* password,
                               std::uint32_t flags) {
    return VpnService::instance().connect(channel, entry, user, password, flags);
}

DUNMERE_EXPORT int vpn_disconnect(VpnChannel channel) {
    return VpnService::instance().disconnect(channel);
}

DUNMERE_EXPORT int vpn_acknowledge_banner(VpnChannel channel, int accepted) {
    return VpnService::instance().acknowledgeBanner(channel, accepted);
}

DUNMERE_EXPORT int vpn_auth_set_attribute(VpnAuthHandle auth, int attribute, const char* text) {
    return VpnService::instance().authSetAttribute(auth, attribute, text);
}

DUNMERE_EXPORT int vpn_auth_respond(VpnChannel channel, VpnAuthHandle auth, int flags) {
    return VpnService::instance().authRespond(channel, auth, flags);
}
}
