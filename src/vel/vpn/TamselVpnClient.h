#pragma once
// The service's one way to the VPN library: it loads the library, opens a channel whose callbacks
// a tracker thread pumps, and connects, disconnects, answers credential requests and banners. The
// callbacks only post events; every operation runs on the event-queue thread.
#include <atomic>
#include <cstdint>

#include "vel/multithread/Thread.h"
#include "vel/reference/Reference.h"
#include "vel/string/Ascii.h"
#include "vel/string/AsciiVector.h"
#include "vel/vpn/IpSecDll.h"

// Results of the client's operations.
class VpnClientConstants {
public:
    static constexpr int DONE = 0;
    static constexpr int CALL_FAILED = 1;
    static constexpr int API_NOT_INITIALIZED = 2;
    static constexpr int LIBRARY_NOT_LOADED = 3;
    static constexpr int NO_CHANNEL = 4;
    static constexpr int AUTH_DENIED = 5;
    static constexpr int CHANNEL_INIT_FAILED = 6;
    static constexpr int SET_ATTRIBUTE_FAILED = 8;
    static constexpr int RESPOND_FAILED = 9;
    static constexpr int IPC_FAILURE = 10;
    static constexpr int SERVICE_NOT_RUNNING = 11;
    static constexpr int SERVICE_SHUTTING_DOWN = 12;

    // The tracker pumps the library's events in waits of this count (of 10 ms).
    static constexpr int PROCESS_EVENTS_COUNT = 5;
    // create's flag that initialises the library's API.
    static constexpr int INITIALIZE_API = 1;
};

class TamselVpnClientImpl : public ThreadImpl {
public:
    explicit TamselVpnClientImpl(int flag);
    ~TamselVpnClientImpl() override;

    // Closes the channel and ends the library's API.
    void clearReferences() override;

    int openChannel();
    int closeChannel();
    int connect(const Ascii& entry);
    int disconnect();
    int sendCredentials(const Ascii& user, const Ascii& secret);
    void acknowledgeBanner(bool accepted);
    // The names of the library's profiles.
    AsciiVector getVpnProfiles();
    bool isApiInitialized() const { return m_apiInitialized; }
    std::uint32_t apiVersion() const { return m_apiVersion; }

    // The channel tracker.
    void run() override;

    static std::atomic<TamselVpnClientImpl*> Singleton;

private:
    // Looks the entry point up and calls it; 1 (the library's general error) when it is missing.
    template <typename Function, typename... Args>
    int call(const char* name, Args... args);
    void releaseResources();

    std::uint32_t m_apiVersion;
    bool m_apiInitialized = false;
    IpSecDll m_library;
};

class TamselVpnClient : public Reference {
public:
    // The composition's: builds the singleton, loads the library and, with INITIALIZE_API,
    // initialises its API.
    static TamselVpnClient create(int flag);
    static TamselVpnClient Instance();

    TamselVpnClient() = default;

    int openChannel() const { return impl()->openChannel(); }
    int closeChannel() const { return impl()->closeChannel(); }
    int connect(const Ascii& entry) const { return impl()->connect(entry); }
    int disconnect() const { return impl()->disconnect(); }
    int sendCredentials(const Ascii& user, const Ascii& secret) const {
        return impl()->sendCredentials(user, secret);
    }
    void acknowledgeBanner(bool accepted) const { impl()->acknowledgeBanner(accepted); }
    AsciiVector getVpnProfiles() const { return impl()->getVpnProfiles(); }
    bool isApiInitialized() const { return impl()->isApiInitialized(); }

    TamselVpnClientImpl* impl() const {
        return static_cast<TamselVpnClientImpl*>(static_cast<ReferenceImpl*>(m));
    }

private:
    TamselVpnClient(TamselVpnClientImpl* p, Reference::TakeOver) : Reference(p, Reference::TAKE_OVER) {}
};
