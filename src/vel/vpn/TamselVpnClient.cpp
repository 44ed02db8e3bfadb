#include "vel/vpn/TamselVpnClient.h"

#include "platform/dunmere/dunmere.h"
#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "runtime/multithread/RuntimeMutex.h"
#include "vel/exception/BaseException.h"
#include "vel/os/FileUtil.h"
#include "vel/string/Unicode.h"
#include "vel/vpn/IpSecError.h"
#include "vel/vpn/TamselBannerEvent.h"
#include "vel/vpn/TamselVpnEvent.h"

std::atomic<TamselVpnClientImpl*> TamselVpnClientImpl::Singleton{nullptr};

namespace {

// Written on the tracker thread (by the callbacks) and on the event-queue thread; the events the
// callbacks post order them.
std::atomic<VpnChannel> g_channel{0};
std::atomic<bool> g_trackerRunning{false};
std::atomic<int> g_lastState{VPN_STATE_IDLE};
std::atomic<VpnAuthHandle> g_auth{0};
std::atomic<std::uint32_t> g_authFields{0};

constexpr const char* PROFILES_PATTERN = "\\Varnel Systems\\VPN Client\\Profiles\\*.pcf";
constexpr int PROFILE_EXTENSION_LENGTH = 4;  // ".pcf"

void postMappedError(int error) {
    VpnClientEvent event = IpSecErrorToClientEvent(error);
    if (event != CLIENT_NONE) TamselVpnEventImpl::post(event);
}

void connectCallback(const int* result, const char* banner) {
    int error = result ? *result : VPN_OK;
    if (error != VPN_OK) {
        logError(0, "vpn_connect_cb err %s (%d)", IpSecErrorToText(error), error);
        postMappedError(error);
        return;
    }
    if (banner == nullptr) {
        logInfo(0, "-ConnectCB- No banner");
        return;
    }
    logInfo(0, "-ConnectCB- Banner request : %s", banner);
    TamselBannerEventImpl::post(Ascii(banner));
}

void disconnectCallback(int error) {
    logInfo(0, "in vpn DISCONNECT cb err %s (%d)", IpSecErrorToText(error), error);
    if (error == VPN_OK || error == VPN_ERROR_NOT_CONNECTED) TamselVpnEventImpl::post(CLIENT_DISCONNECTED);
}

void stateChangeCallback(int state, const int* error) {
    logInfo(0, "in vpn client STATE_CHANGE cb state %s ", IpSecStateToText(state));
    int previous = g_lastState.exchange(state);
    if (state == VPN_STATE_IDLE) {
        if (previous == VPN_STATE_CONNECTED && error != nullptr) {
            logError(0, "vpn client STATE_CHANGE cb err %s (%d)", IpSecErrorToText(*error), *error);
            postMappedError(*error);
        } else {
            TamselVpnEventImpl::post(CLIENT_DISCONNECTED);
        }
    } else if (state >= VPN_STATE_WAIT_PPP && state <= VPN_STATE_WAIT_PHASE2) {
        TamselVpnEventImpl::post(CLIENT_CONNECTING);
    } else if (state == VPN_STATE_CONNECTED) {
        TamselVpnEventImpl::post(CLIENT_CONNECTED);
    }
}

void authCallback(VpnAuthHandle auth, std::uint32_t fields) {
    logInfo(0, "in vpn AUTH cb");
    g_auth = auth;
    g_authFields = fields;
    TamselVpnEventImpl::post(CLIENT_CRED_REQUEST);
    static const struct {
        std::uint32_t bit;
        const char* name;
    } FIELDS[] = {{VPN_AUTH_FIELD_USERNAME, "UserName"},   {VPN_AUTH_FIELD_PASSWORD, "Password"},
                  {VPN_AUTH_FIELD_PASSCODE, "PassCode"},   {VPN_AUTH_FIELD_ANSWER, "Answer"},
                  {VPN_AUTH_FIELD_NEXT_PIN, "NextPin"},    {VPN_AUTH_FIELD_NEXT_PASSWORD, "NextPassword"},
                  {VPN_AUTH_FIELD_DOMAIN, "Domain"},       {VPN_AUTH_FIELD_PIN, "Pin"},
                  {VPN_AUTH_FIELD_TOKEN_CODE, "TokenCode"}};
    for (const auto& field : FIELDS) {
        if (fields & field.bit) logInfo(0, "%s", field.name);
    }
}

void stopCallback() {
    logInfo(0, "in vpn STOP cb");
}

const VpnCallbacks CALLBACKS = {connectCallback, disconnectCallback, stateChangeCallback,
                                nullptr,         authCallback,       stopCallback};

}  // namespace

TamselVpnClientImpl::TamselVpnClientImpl(int flag)
    : m_apiVersion(VPN_API_VERSION), m_library(IpSecDll::load()) {
    if (flag != VpnClientConstants::INITIALIZE_API || !m_library.isLoaded()) return;
    int rc = call<VpnApiInitFunction>("vpn_api_init", &m_apiVersion);
    if (rc != VPN_OK) {
        logError(0, "vpn_api_init error %s (%d)", IpSecErrorToText(rc), rc);
        return;
    }
    m_apiInitialized = true;
    logInfo(0, "VPN API initialized. Version %x", m_apiVersion);
}

TamselVpnClientImpl::~TamselVpnClientImpl() {
    LUM_ASSERT_TEXT(this == Singleton, "this == Singleton");
    releaseResources();
    Singleton = nullptr;
}

void TamselVpnClientImpl::clearReferences() {
    releaseResources();
}

void TamselVpnClientImpl::releaseResources() {
    try {
        if (g_channel != 0) closeChannel();
        if (m_apiInitialized && m_library.isLoaded()) {
            int rc = call<VpnApiDestroyFunction>("vpn_api_destroy");
            if (rc != VPN_OK) {
                logError(0, "vpn_api_destroy error %s (%d)", IpSecErrorToText(rc), rc);
            } else {
                logInfo(0, "VPN API destroyed");
                m_apiInitialized = false;
            }
        }
    } catch (const BaseException& e) {
        logError(0, "Failed to release all resources used by the TamselVpnClient when destroying it.");
        e.report();
    }
}

template <typename Function, typename... Args>
int TamselVpnClientImpl::call(const char* name, Args... args) {
    win::HMODULE module = m_library.handle();
    if (!LUM_ASSERT_TEXT(module != nullptr, "handle")) return VPN_ERROR;
    auto function = reinterpret_cast<Function>(win::GetProcAddress(module, name));
    if (function == nullptr) {
        logError(0, "GetProcAddress failed for %s", name);
        return VPN_ERROR;
    }
    return function(args...);
}

int TamselVpnClientImpl::openChannel() {
    if (!m_apiInitialized) return VpnClientConstants::API_NOT_INITIALIZED;
    if (g_channel != 0) return VpnClientConstants::DONE;
    if (!m_library.isLoaded()) return VpnClientConstants::LIBRARY_NOT_LOADED;
    VpnChannel channel = 0;
    std::uint32_t permissions = VPN_PERMISSION_AUTH | VPN_PERMISSION_STATE_CHANGE;
    int rc = call<VpnChannelInitFunction>("vpn_channel_init", &channel, &permissions, &CALLBACKS);
    if (rc != VPN_OK) {
        logError(0, "vpn_channel_init error %s (%d)", IpSecErrorToText(rc), rc);
        switch (rc) {
            case VPN_ERROR_IPC_FAILURE:
                return VpnClientConstants::IPC_FAILURE;
            case VPN_ERROR_SERVICE_NOT_RUNNING:
                return VpnClientConstants::SERVICE_NOT_RUNNING;
            case VPN_ERROR_SERVICE_SHUTTING_DOWN:
                return VpnClientConstants::SERVICE_SHUTTING_DOWN;
            default:
                return VpnClientConstants::CHANNEL_INIT_FAILED;
        }
    }
    g_channel = channel;
    if ((permissions & VPN_PERMISSION_STATE_CHANGE) == 0) {
        logError(0, "vpn_channel DENIED permission to get STATE_CHANGE notifications");
    }
    if ((permissions & VPN_PERMISSION_AUTH) == 0) {
        logError(0, "vpn_channel DENIED permission to get AUTH notifications");
        closeChannel();
        return VpnClientConstants::AUTH_DENIED;
    }
    logInfo(0, "Initialized vpnchannel ");
    g_trackerRunning = true;
    if (!started()) start();
    return VpnClientConstants::DONE;
}

int TamselVpnClientImpl::closeChannel() {
    if (!m_apiInitialized) return VpnClientConstants::API_NOT_INITIALIZED;
    if (g_channel == 0) return VpnClientConstants::DONE;
    if (g_trackerRunning) {
        g_trackerRunning = false;
        join();
    }
    if (!m_library.isLoaded()) return VpnClientConstants::LIBRARY_NOT_LOADED;
    int rc = call<VpnChannelDestroyFunction>("vpn_channel_destroy", g_channel.load());
    if (rc != VPN_OK) logError(0, "vpn_channel_destroy error %s (%d)", IpSecErrorToText(rc), rc);
    g_channel = 0;
    logInfo(0, "Destroyed vpn vpnchannel ");
    return VpnClientConstants::DONE;
}

int TamselVpnClientImpl::connect(const Ascii& entry) {
    if (!m_apiInitialized) return VpnClientConstants::API_NOT_INITIALIZED;
    if (g_channel == 0) return VpnClientConstants::NO_CHANNEL;
    if (!m_library.isLoaded()) return VpnClientConstants::LIBRARY_NOT_LOADED;
    logInfo(0, "Attempting connection to %s", entry.text());
    int rc = call<VpnConnectFunction>("vpn_connect", g_channel.load(), entry.text(),
                                      static_cast<const char*>(nullptr), static_cast<const char*>(nullptr),
                                      std::uint32_t{0});
    if (rc != VPN_OK) {
        logError(0, "vpn_connect failed with err %s (%d)", IpSecErrorToText(rc), rc);
        return VpnClientConstants::CALL_FAILED;
    }
    return VpnClientConstants::DONE;
}

int TamselVpnClientImpl::disconnect() {
    if (!m_apiInitialized) return VpnClientConstants::API_NOT_INITIALIZED;
    if (g_channel == 0) return VpnClientConstants::NO_CHANNEL;
    if (!m_library.isLoaded()) return VpnClientConstants::LIBRARY_NOT_LOADED;
    int rc = call<VpnDisconnectFunction>("vpn_disconnect", g_channel.load());
    if (rc != VPN_OK) {
        logError(0, "vpn_disconnect failed with err %s (%d) ", IpSecErrorToText(rc), rc);
        return VpnClientConstants::CALL_FAILED;
    }
    return VpnClientConstants::DONE;
}

int TamselVpnClientImpl::sendCredentials(const Ascii& user, const Ascii& secret) {
    logInfo(0, "In sendCredentials to vpn");
    VpnAuthHandle auth = g_auth;
    LUM_ASSERT_TEXT(auth != 0, "m_auth");
    if (!m_library.isLoaded()) return VpnClientConstants::LIBRARY_NOT_LOADED;
    int rc = call<VpnAuthSetAttributeFunction>("vpn_auth_set_attribute", auth, VPN_AUTH_ATTRIBUTE_USERNAME,
                                               user.text());
    if (rc == VPN_OK) {
        rc = call<VpnAuthSetAttributeFunction>("vpn_auth_set_attribute", auth, VPN_AUTH_ATTRIBUTE_PASSWORD,
                                               secret.text());
    }
    if (rc != VPN_OK) {
        logError(0, "vpn_auth_set_attribute err %d ", rc);
        return VpnClientConstants::SET_ATTRIBUTE_FAILED;
    }
    rc = call<VpnAuthRespondFunction>("vpn_auth_respond", g_channel.load(), auth, 0);
    if (rc != VPN_OK) {
        logError(0, "vpn_auth_respond err %d ", rc);
        return VpnClientConstants::RESPOND_FAILED;
    }
    logInfo(0, "Sent credentials successfully to vpn");
    return VpnClientConstants::DONE;
}

void TamselVpnClientImpl::acknowledgeBanner(bool accepted) {
    if (!m_library.isLoaded()) {
        logError(0, "-ConnectCB- vpn dll not loaded");
        return;
    }
    int rc = call<VpnAcknowledgeBannerFunction>("vpn_acknowledge_banner", g_channel.load(), accepted ? 1 : 0);
    if (rc != VPN_OK)
        logError(0, "-ConnectCB- vpn_acknowledge_error err : (%s) %d ", IpSecErrorToText(rc), rc);
}

AsciiVector TamselVpnClientImpl::getVpnProfiles() {
    AsciiVector profiles;
    Ascii folder = programFilesFolder();
    if (folder.length() == 0) return profiles;
    AsciiVector files = listFolder(Unicode(folder + PROFILES_PATTERN));
    for (std::int32_t i = 0; i < files.length(); ++i) {
        Ascii file = files.get(i);
        // Exactly the extension comes off: "Office.pcf" is the profile "Office".
        if (file.length() > PROFILE_EXTENSION_LENGTH)
            profiles.add(file.substring(0, -PROFILE_EXTENSION_LENGTH));
    }
    return profiles;
}

void TamselVpnClientImpl::run() {
    LUM_ASSERT_TEXT(g_channel != 0, "vpnchannel");
    logInfo(0, "Starting channel tracker thread ");
    while (g_trackerRunning) {
        int rc = call<VpnProcessEventsFunction>("vpn_process_events", g_channel.load(),
                                                VpnClientConstants::PROCESS_EVENTS_COUNT);
        if (rc != VPN_OK) logError(0, "process event error %s (%d) ", IpSecErrorToText(rc), rc);
    }
    logInfo(0, "Exiting channel tracker thread ");
}

TamselVpnClient TamselVpnClient::create(int flag) {
    if (!LUM_ASSERT_TEXT(TamselVpnClientImpl::Singleton == nullptr, "Singleton == null")) return Instance();
    auto* p = new TamselVpnClientImpl(flag);
    TamselVpnClientImpl::Singleton = p;
    return TamselVpnClient(p, Reference::TAKE_OVER);
}

TamselVpnClient TamselVpnClient::Instance() {
    RuntimeMutexLock lock(*ReferenceMutex);
    TamselVpnClientImpl* p = TamselVpnClientImpl::Singleton;
    if (!LUM_ASSERT_TEXT(p != nullptr && p->addRefUnlessDying(), "Singleton != null"))
        return TamselVpnClient();
    return TamselVpnClient(p, Reference::TAKE_OVER);
}
