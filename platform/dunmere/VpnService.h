#pragma once
// The VPN service behind libdunmere: its gateways, the one tunnel, and the channels of its clients.
// A connect walks the tunnel through its states towards a gateway (asking for credentials, showing
// a banner, failing where the gateway fails); each step becomes callbacks queued for every open
// channel, run only when that channel's owner calls processEvents.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/dunmere/dunmere.h"

namespace dunmere {

// A gateway reached through the profile of the same name.
struct Gateway {
    std::string profile;
    // Empty: the gateway asks for nothing.
    std::string user;
    // The password, or the passcode of the user's soft token.
    std::string secret;
    bool token = false;
    std::string banner;
    std::uint32_t permissions = VPN_PERMISSION_AUTH | VPN_PERMISSION_STATE_CHANGE;
    // Non-zero: the attempt fails with this error once the walk reaches the state failAt.
    int error = 0;
    int failAt = VPN_STATE_WAIT_PHASE1;
    // Between two steps of the walk.
    int delayMs = 0;
};

class VpnService {
public:
    using Clock = std::function<std::chrono::milliseconds()>;

    // The process's service.
    static VpnService& instance();

    VpnService();

    // The world.
    void setGateways(std::vector<Gateway> gateways);
    // Milliseconds that decide when steps fall due; a steady clock unless set.
    void setClock(Clock clock);
    // "vpn service up|down": going down ends the tunnel and tells every channel.
    void setServiceRunning(bool running);
    bool serviceRunning();
    // "vpn drop <profile> [error]": false when no tunnel to that profile is up or on its way.
    bool drop(const std::string& profile, int error);
    // Forgets everything: channels, tunnel, initialisation; the service runs.
    void reset();

    // The entry points, argument checks included.
    int apiInit(std::uint32_t* version);
    int apiDestroy();
    int channelInit(VpnChannel* channel, std::uint32_t* permissions, const VpnCallbacks* callbacks);
    int channelDestroy(VpnChannel channel);
    // `delivered`, when given, counts the callbacks that ran.
    int processEvents(VpnChannel channel, int count, int* delivered = nullptr);
    int connect(VpnChannel channel, const char* entry, const char* user, const char* password,
                std::uint32_t flags);
    int disconnect(VpnChannel channel);
    int acknowledgeBanner(VpnChannel channel, int accepted);
    int authSetAttribute(VpnAuthHandle auth, int attribute, const char* text);
    int authRespond(VpnChannel channel, VpnAuthHandle auth, int flags);

private:
    using Millis = std::chrono::milliseconds;
    using Callback = std::function<void(const VpnCallbacks&)>;

    struct Channel {
        VpnCallbacks callbacks{};
        std::uint32_t permissions = 0;
        std::deque<Callback> due;
        // A callback of the channel runs on this thread.
        bool busy = false;
        std::thread::id busyThread;
    };

    // What the walk does next: enter a state, or stop for an answer or a failure.
    enum class Step { ENTER_STATE, ASK_CREDENTIALS, CONNECTED, FAIL };
    struct PlannedStep {
        Millis at;
        Step step;
        int state;
    };

    struct Tunnel {
        int state = VPN_STATE_IDLE;
        std::string profile;
        Gateway gateway;
        std::vector<PlannedStep> plan;
        VpnAuthHandle auth = 0;
        std::string user;
        std::string secret;
        bool bannerPending = false;
    };

    Millis now() const;
    const Gateway* findGateway(const std::string& profile) const;
    // Plans the walk from the state after `from` to the next answer or the end.
    void planFrom(int from, Millis start);
    // Applies every planned step that is due.
    void advance();
    void enterState(int state, const int* error);
    void fail(int error);
    void endTunnel(int error);
    void queue(std::uint32_t permission, Callback callback);
    Channel* findChannel(VpnChannel channel);

    std::mutex m_mutex;
    std::condition_variable m_queued;
    Clock m_clock;
    std::vector<Gateway> m_gateways;
    bool m_running = true;
    int m_initialised = 0;
    VpnChannel m_nextChannel = 1;
    VpnAuthHandle m_nextAuth = 1;
    std::map<VpnChannel, Channel> m_channels;
    Tunnel m_tunnel;
};

}  // namespace dunmere
