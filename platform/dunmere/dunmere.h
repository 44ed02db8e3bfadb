#pragma once
// The VPN client library "dunmere.dll" (libdunmere.so here): what the service calls, the callbacks
// it gives, and every code, state and bit both sides rely on. The service looks each entry point up
// by name, so the types of the entry points are declared beside them.
//
// Callbacks come only from inside vpn_process_events, on the thread that calls it, and never for a
// channel after its vpn_channel_destroy. Every entry point returns a DunmereResult.
#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" {

using VpnChannel = std::uint32_t;  // 0: no channel
using VpnAuthHandle = std::uint32_t;

enum DunmereResult : int {
    VPN_OK = 0,
    VPN_ERROR = 1,
    VPN_ERROR_BAD_PARAM = 2,
    VPN_ERROR_NOT_A_PROFILE = 3,
    VPN_ERROR_IPC_FAILURE = 4,
    VPN_ERROR_OUT_OF_MEMORY = 5,
    VPN_ERROR_SERVICE_NOT_RUNNING = 6,
    VPN_ERROR_SERVICE_SHUTTING_DOWN = 7,
    VPN_ERROR_NOT_CONNECTED = 8,
    VPN_ERROR_ALREADY_CONNECTING = 9,
    VPN_ERROR_ALREADY_CONNECTED = 10,
    VPN_ERROR_CONNECT_ABORTED = 11,
    VPN_ERROR_NO_PPPTOOL = 12,
    VPN_ERROR_DRIVER_FAIL = 13,
    VPN_ERROR_NO_MORE_BACKUPS = 14,
    VPN_ERROR_PPP_FAIL = 15,
    VPN_ERROR_CTCP_FAIL = 16,
    VPN_ERROR_IKE_FAIL = 17,
    VPN_ERROR_HOSTNAME_LOOKUP_FAIL = 18,
    VPN_ERROR_USER_CANCELLED_AUTH = 19,
    VPN_ERROR_SA_EXPIRED = 20,
    VPN_ERROR_PEER_NOT_RESPONDING = 21,
    VPN_ERROR_LOAD_BALANCING = 22,
    VPN_ERROR_IKE_NEG_FAILED = 23,
    VPN_ERROR_DUPLICATE_EXISTS = 24,
    VPN_ERROR_NO_CLIENT_EXTENSIONS = 25,
    VPN_ERROR_USER_AUTH_FAILED = 26,
    VPN_ERROR_FIREWALL_NO_LONGER_RUNNING = 27,
    VPN_ERROR_UNABLE_TO_CONFIGURE_FIREWALL = 28,
    VPN_ERROR_UPDATE_CERT_FAILED = 29,
    VPN_ERROR_ADDRESS_CHANGE = 30,
    VPN_ERROR_AUTH_PHASE_ERROR = 31,
    VPN_ERROR_BY_ERROR = 32,
    VPN_ERROR_BY_ADMIN_COMMAND = 33,
    // 34 is not used.
    VPN_ERROR_SERVER_SHUTDOWN = 35,
    VPN_ERROR_SERVER_IN_FLAMES = 36,
    VPN_ERROR_MAX_CONNECT_TIME = 37,
    VPN_ERROR_IDLE_TIMEOUT = 38,
    VPN_ERROR_SERVER_REBOOT = 39,
    VPN_ERROR_PHASE2_PROPOSAL_MISMATCH = 40,
    VPN_ERROR_FIREWALL_MISMATCH = 41,
    VPN_ERROR_CERT_EXPIRED = 42,
    VPN_ERROR_PLATFORM_VERSION_MISMATCH = 43,
    VPN_ERROR_ZONE_FIREWALL_SERVER_FAIL = 44,
    VPN_ERROR_NO_ERROR = 45,
    VPN_ERROR_DEL_REASON_UNSPECIFIED = 46,
    VPN_ERROR_AUTOUPDATE_SHUTDOWN = 47,
    VPN_ERROR_VA_ENABLE_FAILED = 48,
};

// The tunnel's states, as the state-change callback reports them.
enum DunmereState : int {
    VPN_STATE_IDLE = 0,
    VPN_STATE_WAIT_PPP = 1,
    VPN_STATE_WAIT_CTCP = 2,
    VPN_STATE_WAIT_PHASE1 = 3,
    VPN_STATE_WAIT_AUTH = 4,
    VPN_STATE_WAIT_MODECFG = 5,
    VPN_STATE_WAIT_PHASE2 = 6,
    VPN_STATE_CONNECTED = 7,
};

// Permission bits: asked for and granted through vpn_channel_init's second argument.
constexpr std::uint32_t VPN_PERMISSION_AUTH = 0x2;
constexpr std::uint32_t VPN_PERMISSION_STATE_CHANGE = 0x4;

// Fields an authentication callback asks for (its mask).
constexpr std::uint32_t VPN_AUTH_FIELD_USERNAME = 0x2;
constexpr std::uint32_t VPN_AUTH_FIELD_PASSWORD = 0x4;
constexpr std::uint32_t VPN_AUTH_FIELD_PASSCODE = 0x8;
constexpr std::uint32_t VPN_AUTH_FIELD_ANSWER = 0x10;
constexpr std::uint32_t VPN_AUTH_FIELD_NEXT_PIN = 0x20;
constexpr std::uint32_t VPN_AUTH_FIELD_NEXT_PASSWORD = 0x40;
constexpr std::uint32_t VPN_AUTH_FIELD_DOMAIN = 0x80;
constexpr std::uint32_t VPN_AUTH_FIELD_PIN = 0x100;
constexpr std::uint32_t VPN_AUTH_FIELD_TOKEN_CODE = 0x200;

// Attributes vpn_auth_set_attribute sets. A passcode goes in as the password.
constexpr int VPN_AUTH_ATTRIBUTE_USERNAME = 2;
constexpr int VPN_AUTH_ATTRIBUTE_PASSWORD = 4;

// The version the caller asks for in vpn_api_init; the library answers with its own.
constexpr std::uint32_t VPN_API_VERSION = 0x10000;

// Connect and banner: a non-zero *result ends the attempt with that error; otherwise the banner is
// the login banner (null: none), to be answered with vpn_acknowledge_banner.
using VpnConnectCallback = void (*)(const int* result, const char* banner);
// The tunnel is down: 0, or the error that ended it.
using VpnDisconnectCallback = void (*)(int error);
// A new state; error is null or the error that led to it.
using VpnStateChangeCallback = void (*)(int state, const int* error);
using VpnReservedCallback = void (*)();
// The gateway asks for the fields of the mask; answered with vpn_auth_set_attribute and
// vpn_auth_respond on this handle.
using VpnAuthCallback = void (*)(VpnAuthHandle auth, std::uint32_t fields);
// The VPN service stops.
using VpnStopCallback = void (*)();

struct VpnCallbacks {
    VpnConnectCallback connect;
    VpnDisconnectCallback disconnect;
    VpnStateChangeCallback stateChange;
    VpnReservedCallback reserved;  // left null
    VpnAuthCallback auth;
    VpnStopCallback stop;
};

// *version: the version asked for in, the library's out.
int vpn_api_init(std::uint32_t* version);
int vpn_api_destroy();
// *permissions: the bits asked for in, those granted out.
int vpn_channel_init(VpnChannel* channel, std::uint32_t* permissions, const VpnCallbacks* callbacks);
int vpn_channel_destroy(VpnChannel channel);
// Runs the channel's due callbacks, waiting at most count x 10 ms for one.
int vpn_process_events(VpnChannel channel, int count);
// entry: a profile's name; the other arguments are 0.
int vpn_connect(VpnChannel channel, const char* entry, const char* user, const char* password,
                std::uint32_t flags);
int vpn_disconnect(VpnChannel channel);
int vpn_acknowledge_banner(VpnChannel channel, int accepted);
int vpn_auth_set_attribute(VpnAuthHandle auth, int attribute, const char* text);
int vpn_auth_respond(VpnChannel channel, VpnAuthHandle auth, int flags);

using VpnApiInitFunction = int (*)(std::uint32_t*);
using VpnApiDestroyFunction = int (*)();
using VpnChannelInitFunction = int (*)(VpnChannel*, std::uint32_t*, const VpnCallbacks*);
using VpnChannelDestroyFunction = int (*)(VpnChannel);
using VpnProcessEventsFunction = int (*)(VpnChannel, int);
using VpnConnectFunction = int (*)(VpnChannel, const char*, const char*, const char*, std::uint32_t);
using VpnDisconnectFunction = int (*)(VpnChannel);
using VpnAcknowledgeBannerFunction = int (*)(VpnChannel, int);
using VpnAuthSetAttributeFunction = int (*)(VpnAuthHandle, int, const char*);
using VpnAuthRespondFunction = int (*)(VpnChannel, VpnAuthHandle, int);
}

// The names of the results and states, as logs and the lab write them.
struct DunmereName {
    int value;
    const char* name;
};

inline constexpr DunmereName DUNMERE_RESULT_NAMES[] = {
    {VPN_OK, "VPN_OK"},
    {VPN_ERROR, "VPN_ERROR"},
    {VPN_ERROR_BAD_PARAM, "VPN_ERROR_BAD_PARAM"},
    {VPN_ERROR_NOT_A_PROFILE, "VPN_ERROR_NOT_A_PROFILE"},
    {VPN_ERROR_IPC_FAILURE, "VPN_ERROR_IPC_FAILURE"},
    {VPN_ERROR_OUT_OF_MEMORY, "VPN_ERROR_OUT_OF_MEMORY"},
    {VPN_ERROR_SERVICE_NOT_RUNNING, "VPN_ERROR_SERVICE_NOT_RUNNING"},
    {VPN_ERROR_SERVICE_SHUTTING_DOWN, "VPN_ERROR_SERVICE_SHUTTING_DOWN"},
    {VPN_ERROR_NOT_CONNECTED, "VPN_ERROR_NOT_CONNECTED"},
    {VPN_ERROR_ALREADY_CONNECTING, "VPN_ERROR_ALREADY_CONNECTING"},
    {VPN_ERROR_ALREADY_CONNECTED, "VPN_ERROR_ALREADY_CONNECTED"},
    {VPN_ERROR_CONNECT_ABORTED, "VPN_ERROR_CONNECT_ABORTED"},
    {VPN_ERROR_NO_PPPTOOL, "VPN_ERROR_NO_PPPTOOL"},
    {VPN_ERROR_DRIVER_FAIL, "VPN_ERROR_DRIVER_FAIL"},
    {VPN_ERROR_NO_MORE_BACKUPS, "VPN_ERROR_NO_MORE_BACKUPS"},
    {VPN_ERROR_PPP_FAIL, "VPN_ERROR_PPP_FAIL"},
    {VPN_ERROR_CTCP_FAIL, "VPN_ERROR_CTCP_FAIL"},
    {VPN_ERROR_IKE_FAIL, "VPN_ERROR_IKE_FAIL"},
    {VPN_ERROR_HOSTNAME_LOOKUP_FAIL, "VPN_ERROR_HOSTNAME_LOOKUP_FAIL"},
    {VPN_ERROR_USER_CANCELLED_AUTH, "VPN_ERROR_USER_CANCELLED_AUTH"},
    {VPN_ERROR_SA_EXPIRED, "VPN_ERROR_SA_EXPIRED"},
    {VPN_ERROR_PEER_NOT_RESPONDING, "VPN_ERROR_PEER_NOT_RESPONDING"},
    {VPN_ERROR_LOAD_BALANCING, "VPN_ERROR_LOAD_BALANCING"},
    {VPN_ERROR_IKE_NEG_FAILED, "VPN_ERROR_IKE_NEG_FAILED"},
    {VPN_ERROR_DUPLICATE_EXISTS, "VPN_ERROR_DUPLICATE_EXISTS"},
    {VPN_ERROR_NO_CLIENT_EXTENSIONS, "VPN_ERROR_NO_CLIENT_EXTENSIONS"},
    {VPN_ERROR_USER_AUTH_FAILED, "VPN_ERROR_USER_AUTH_FAILED"},
    {VPN_ERROR_FIREWALL_NO_LONGER_RUNNING, "VPN_ERROR_FIREWALL_NO_LONGER_RUNNING"},
    {VPN_ERROR_UNABLE_TO_CONFIGURE_FIREWALL, "VPN_ERROR_UNABLE_TO_CONFIGURE_FIREWALL"},
    {VPN_ERROR_UPDATE_CERT_FAILED, "VPN_ERROR_UPDATE_CERT_FAILED"},
    {VPN_ERROR_ADDRESS_CHANGE, "VPN_ERROR_ADDRESS_CHANGE"},
    {VPN_ERROR_AUTH_PHASE_ERROR, "VPN_ERROR_AUTH_PHASE_ERROR"},
    {VPN_ERROR_BY_ERROR, "VPN_ERROR_BY_ERROR"},
    {VPN_ERROR_BY_ADMIN_COMMAND, "VPN_ERROR_BY_ADMIN_COMMAND"},
    {VPN_ERROR_SERVER_SHUTDOWN, "VPN_ERROR_SERVER_SHUTDOWN"},
    {VPN_ERROR_SERVER_IN_FLAMES, "VPN_ERROR_SERVER_IN_FLAMES"},
    {VPN_ERROR_MAX_CONNECT_TIME, "VPN_ERROR_MAX_CONNECT_TIME"},
    {VPN_ERROR_IDLE_TIMEOUT, "VPN_ERROR_IDLE_TIMEOUT"},
    {VPN_ERROR_SERVER_REBOOT, "VPN_ERROR_SERVER_REBOOT"},
    {VPN_ERROR_PHASE2_PROPOSAL_MISMATCH, "VPN_ERROR_PHASE2_PROPOSAL_MISMATCH"},
    {VPN_ERROR_FIREWALL_MISMATCH, "VPN_ERROR_FIREWALL_MISMATCH"},
    {VPN_ERROR_CERT_EXPIRED, "VPN_ERROR_CERT_EXPIRED"},
    {VPN_ERROR_PLATFORM_VERSION_MISMATCH, "VPN_ERROR_PLATFORM_VERSION_MISMATCH"},
    {VPN_ERROR_ZONE_FIREWALL_SERVER_FAIL, "VPN_ERROR_ZONE_FIREWALL_SERVER_FAIL"},
    {VPN_ERROR_NO_ERROR, "VPN_ERROR_NO_ERROR"},
    {VPN_ERROR_DEL_REASON_UNSPECIFIED, "VPN_ERROR_DEL_REASON_UNSPECIFIED"},
    {VPN_ERROR_AUTOUPDATE_SHUTDOWN, "VPN_ERROR_AUTOUPDATE_SHUTDOWN"},
    {VPN_ERROR_VA_ENABLE_FAILED, "VPN_ERROR_VA_ENABLE_FAILED"},
};

inline constexpr DunmereName DUNMERE_STATE_NAMES[] = {
    {VPN_STATE_IDLE, "VPN_STATE_IDLE"},
    {VPN_STATE_WAIT_PPP, "VPN_STATE_WAIT_PPP"},
    {VPN_STATE_WAIT_CTCP, "VPN_STATE_WAIT_CTCP"},
    {VPN_STATE_WAIT_PHASE1, "VPN_STATE_WAIT_PHASE1"},
    {VPN_STATE_WAIT_AUTH, "VPN_STATE_WAIT_AUTH"},
    {VPN_STATE_WAIT_MODECFG, "VPN_STATE_WAIT_MODECFG"},
    {VPN_STATE_WAIT_PHASE2, "VPN_STATE_WAIT_PHASE2"},
    {VPN_STATE_CONNECTED, "VPN_STATE_CONNECTED"},
};

// The name of a value; null for one the library does not define.
template <std::size_t N>
constexpr const char* dunmereName(const DunmereName (&names)[N], int value) {
    for (const DunmereName& n : names) {
        if (n.value == value) return n.name;
    }
    return nullptr;
}

// The value of a name; false for a name the library does not define.
template <std::size_t N>
bool dunmereValue(const DunmereName (&names)[N], const char* name, int* value) {
    for (const DunmereName& n : names) {
        if (std::strcmp(n.name, name) == 0) {
            *value = n.value;
            return true;
        }
    }
    return false;
}
