#include "platform/dunmere/VpnService.h"

#include <thread>
#include <utility>

namespace dunmere {

namespace {

// processEvents looks at the plan again at least this often while it waits.
constexpr std::chrono::milliseconds WAIT_SLICE{10};

// The library answers vpn_api_init with this version.
constexpr std::uint32_t LIBRARY_VERSION = 0x10000;

}  // namespace

VpnService& VpnService::instance() {
    static VpnService service;
    return service;
}

VpnService::VpnService() = default;

void VpnService::setGateways(std::vector<Gateway> gateways) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_gateways = std::move(gateways);
}

void VpnService::setClock(Clock clock) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_clock = std::move(clock);
}

void VpnService::setServiceRunning(bool running) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (running == m_running) return;
    if (!running) {
        advance();
        if (m_tunnel.state != VPN_STATE_IDLE || !m_tunnel.plan.empty()) fail(VPN_ERROR_SERVICE_SHUTTING_DOWN);
        queue(0, [](const VpnCallbacks& c) {
            if (c.stop) c.stop();
        });
    }
    m_running = running;
}

bool VpnService::serviceRunning() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_running;
}

bool VpnService::drop(const std::string& profile, int error) {
    std::lock_guard<std::mutex> lock(m_mutex);
    advance();
    if (m_tunnel.state == VPN_STATE_IDLE && m_tunnel.plan.empty()) return false;
    if (m_tunnel.profile != profile) return false;
    fail(error);
    return true;
}

void VpnService::reset() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_channels.clear();
    {
        // Taken apart rather than assigned over: assigning keeps the texts' storage.
        Tunnel old = std::move(m_tunnel);
        m_tunnel = Tunnel{};
    }
    m_running = true;
    m_initialised = 0;
    m_nextChannel = 1;
    m_nextAuth = 1;
}

int VpnService::apiInit(std::uint32_t* version) {
    if (version == nullptr) return VPN_ERROR_BAD_PARAM;
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_initialised;
    *version = LIBRARY_VERSION;
    return VPN_OK;
}

int VpnService::apiDestroy() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_initialised == 0) return VPN_ERROR;
    if (--m_initialised == 0) m_channels.clear();
    return VPN_OK;
}

int VpnService::channelInit(VpnChannel* channel, std::uint32_t* permissions, const VpnCallbacks* callbacks) {
    if (channel == nullptr || permissions == nullptr || callbacks == nullptr) return VPN_ERROR_BAD_PARAM;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_initialised == 0) return VPN_ERROR;
    if (!m_running) return VPN_ERROR_SERVICE_NOT_RUNNING;
    // The service grants a client only what every one of its gateways allows.
    std::uint32_t granted = *permissions;
    for (const Gateway& gateway : m_gateways) granted &= gateway.permissions;
    VpnChannel id = m_nextChannel++;
    Channel& opened = m_channels[id];
    opened.callbacks = *callbacks;
    opened.permissions = granted;
    *channel = id;
    *permissions = granted;
    return VPN_OK;
}

int VpnService::channelDestroy(VpnChannel channel) {
    std::unique_lock<std::mutex> lock(m_mutex);
    Channel* found = findChannel(channel);
    if (found == nullptr) return VPN_ERROR_BAD_PARAM;
    // A callback still running on another thread finishes before the channel goes: none follows
    // this return. From inside its own callback the channel goes at once.
    m_queued.wait(lock, [&] {
        Channel* c = findChannel(channel);
        return c == nullptr || !c->busy || c->busyThread == std::this_thread::get_id();
    });
    m_channels.erase(channel);
    return VPN_OK;
}

int VpnService::processEvents(VpnChannel channel, int count, int* delivered) {
    if (delivered) *delivered = 0;
    auto deadline = std::chrono::steady_clock::now() + WAIT_SLICE * (count > 0 ? count : 0);
    std::unique_lock<std::mutex> lock(m_mutex);
    if (findChannel(channel) == nullptr) return VPN_ERROR_BAD_PARAM;
    for (;;) {
        advance();
        Channel* c = findChannel(channel);
        if (c == nullptr) return VPN_OK;
        if (!c->due.empty()) break;
        auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return VPN_OK;
        m_queued.wait_until(lock, std::min(deadline, now + WAIT_SLICE));
    }
    for (;;) {
        Channel* c = findChannel(channel);
        if (c == nullptr || c->due.empty()) break;
        Callback callback = std::move(c->due.front());
        c->due.pop_front();
        VpnCallbacks callbacks = c->callbacks;
        c->busy = true;
        c->busyThread = std::this_thread::get_id();
        lock.unlock();
        callback(callbacks);
        if (delivered) ++*delivered;
        lock.lock();
        if (Channel* after = findChannel(channel)) after->busy = false;
        m_queued.notify_all();
    }
    return VPN_OK;
}

int VpnService::connect(VpnChannel channel, const char* entry, const char* user, const char* password,
                        std::uint32_t flags) {
    if (entry == nullptr || user != nullptr || password != nullptr || flags != 0) return VPN_ERROR_BAD_PARAM;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (findChannel(channel) == nullptr) return VPN_ERROR_BAD_PARAM;
    if (!m_running) return VPN_ERROR_SERVICE_NOT_RUNNING;
    advance();
    if (m_tunnel.state == VPN_STATE_CONNECTED) return VPN_ERROR_ALREADY_CONNECTED;
    if (m_tunnel.state != VPN_STATE_IDLE || !m_tunnel.plan.empty()) return VPN_ERROR_ALREADY_CONNECTING;
    const Gateway* gateway = findGateway(entry);
    if (gateway == nullptr) return VPN_ERROR_NOT_A_PROFILE;
    m_tunnel = Tunnel{};
    m_tunnel.profile = entry;
    m_tunnel.gateway = *gateway;
    planFrom(VPN_STATE_IDLE, now());
    advance();
    return VPN_OK;
}

int VpnService::disconnect(VpnChannel channel) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (findChannel(channel) == nullptr) return VPN_ERROR_BAD_PARAM;
    advance();
    if (m_tunnel.state == VPN_STATE_IDLE && m_tunnel.plan.empty()) return VPN_ERROR_NOT_CONNECTED;
    endTunnel(VPN_OK);
    return VPN_OK;
}

int VpnService::acknowledgeBanner(VpnChannel channel, int accepted) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (findChannel(channel) == nullptr) return VPN_ERROR_BAD_PARAM;
    advance();
    if (!m_tunnel.bannerPending) return VPN_ERROR_BAD_PARAM;
    m_tunnel.bannerPending = false;
    if (!accepted) endTunnel(VPN_ERROR_CONNECT_ABORTED);
    return VPN_OK;
}

int VpnService::authSetAttribute(VpnAuthHandle auth, int attribute, const char* text) {
    if (text == nullptr) return VPN_ERROR_BAD_PARAM;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (auth == 0 || auth != m_tunnel.auth) return VPN_ERROR_BAD_PARAM;
    if (attribute == VPN_AUTH_ATTRIBUTE_USERNAME) {
        m_tunnel.user = text;
    } else if (attribute == VPN_AUTH_ATTRIBUTE_PASSWORD) {
        m_tunnel.secret = text;
    } else {
        return VPN_ERROR_BAD_PARAM;
    }
    return VPN_OK;
}

int VpnService::authRespond(VpnChannel channel, VpnAuthHandle auth, int flags) {
    if (flags != 0) return VPN_ERROR_BAD_PARAM;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (findChannel(channel) == nullptr || auth == 0 || auth != m_tunnel.auth) return VPN_ERROR_BAD_PARAM;
    m_tunnel.auth = 0;
    if (m_tunnel.user == m_tunnel.gateway.user && m_tunnel.secret == m_tunnel.gateway.secret) {
        planFrom(VPN_STATE_WAIT_AUTH, now());
        advance();
    } else {
        fail(VPN_ERROR_USER_AUTH_FAILED);
    }
    return VPN_OK;
}

VpnService::Millis VpnService::now() const {
    if (m_clock) return m_clock();
    return std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now().time_since_epoch());
}

const Gateway* VpnService::findGateway(const std::string& profile) const {
    for (const Gateway& gateway : m_gateways) {
        if (gateway.profile == profile) return &gateway;
    }
    return nullptr;
}

void VpnService::planFrom(int from, Millis start) {
    const Gateway& gateway = m_tunnel.gateway;
    bool asks = !gateway.user.empty() || gateway.token;
    Millis at = start;
    for (int state : {VPN_STATE_WAIT_PHASE1, VPN_STATE_WAIT_AUTH, VPN_STATE_WAIT_MODECFG,
                      VPN_STATE_WAIT_PHASE2, VPN_STATE_CONNECTED}) {
        if (state <= from || (state == VPN_STATE_WAIT_AUTH && !asks)) continue;
        at += Millis(gateway.delayMs);
        if (gateway.error != 0 && state >= gateway.failAt) {
            m_tunnel.plan.push_back({at, Step::ENTER_STATE, state});
            m_tunnel.plan.push_back({at, Step::FAIL, state});
            return;
        }
        if (state == VPN_STATE_CONNECTED) {
            m_tunnel.plan.push_back({at, Step::CONNECTED, state});
            return;
        }
        m_tunnel.plan.push_back({at, Step::ENTER_STATE, state});
        if (state == VPN_STATE_WAIT_AUTH) {
            m_tunnel.plan.push_back({at, Step::ASK_CREDENTIALS, state});
            return;
        }
    }
}

void VpnService::advance() {
    Millis current = now();
    while (!m_tunnel.plan.empty() && m_tunnel.plan.front().at <= current) {
        PlannedStep next = m_tunnel.plan.front();
        m_tunnel.plan.erase(m_tunnel.plan.begin());
        switch (next.step) {
            case Step::ENTER_STATE:
                enterState(next.state, nullptr);
                break;
            case Step::ASK_CREDENTIALS: {
                VpnAuthHandle auth = m_nextAuth++;
                std::uint32_t fields =
                    VPN_AUTH_FIELD_USERNAME |
                    (m_tunnel.gateway.token ? VPN_AUTH_FIELD_PASSCODE : VPN_AUTH_FIELD_PASSWORD);
                m_tunnel.auth = auth;
                m_tunnel.user.clear();
                m_tunnel.secret.clear();
                queue(VPN_PERMISSION_AUTH, [auth, fields](const VpnCallbacks& c) {
                    if (c.auth) c.auth(auth, fields);
                });
                break;
            }
            case Step::CONNECTED: {
                enterState(VPN_STATE_CONNECTED, nullptr);
                std::string banner = m_tunnel.gateway.banner;
                m_tunnel.bannerPending = !banner.empty();
                queue(0, [banner](const VpnCallbacks& c) {
                    int result = VPN_OK;
                    if (c.connect) c.connect(&result, banner.empty() ? nullptr : banner.c_str());
                });
                break;
            }
            case Step::FAIL:
                fail(m_tunnel.gateway.error);
                break;
        }
    }
}

void VpnService::enterState(int state, const int* error) {
    m_tunnel.state = state;
    bool hasError = error != nullptr;
    int code = hasError ? *error : 0;
    queue(VPN_PERMISSION_STATE_CHANGE, [state, hasError, code](const VpnCallbacks& c) {
        if (c.stateChange) c.stateChange(state, hasError ? &code : nullptr);
    });
}

void VpnService::fail(int error) {
    // An attempt on its way ends through the connect callback; an up tunnel only goes down.
    if (m_tunnel.state != VPN_STATE_CONNECTED) {
        queue(0, [error](const VpnCallbacks& c) {
            if (c.connect) c.connect(&error, nullptr);
        });
    }
    endTunnel(error);
}

void VpnService::endTunnel(int error) {
    m_tunnel.plan.clear();
    m_tunnel.auth = 0;
    m_tunnel.bannerPending = false;
    enterState(VPN_STATE_IDLE, error != VPN_OK ? &error : nullptr);
    queue(0, [error](const VpnCallbacks& c) {
        if (c.disconnect) c.disconnect(error);
    });
}

void VpnService::queue(std::uint32_t permission, Callback callback) {
    for (auto& [id, channel] : m_channels) {
        if (permission == 0 || (channel.permissions & permission) != 0) channel.due.push_back(callback);
    }
    m_queued.notify_all();
}

VpnService::Channel* VpnService::findChannel(VpnChannel channel) {
    auto found = m_channels.find(channel);
    return found == m_channels.end() ? nullptr : &found->second;
}

}  // namespace dunmere
