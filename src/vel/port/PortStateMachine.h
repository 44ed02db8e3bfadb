#pragma once
// Decodes the port notifications of the library, logs them and posts one event per notification
// to the engine's queue. It keeps no state: each notification is handled by itself. Library
// thread.
#include <cstdint>
#include <string>

class PortManagerImpl;

class PortStateMachine {
public:
    static constexpr std::int32_t INTERNAL_ERROR_UNKNOWN_PORT_EVENT = 173;
    static constexpr const char* PORT_STATE_PREFIX = "QX_PORT_STATE_";
    static constexpr const char* PORT_STATUS_PREFIX = "QX_PORT_STATUS_";

    explicit PortStateMachine(PortManagerImpl* portManager) : m_portManager(portManager) {}

    void portEvent(std::int32_t type, const void* data, std::int32_t length);

    // The text after the prefix when it starts with it, else the whole text.
    static std::string withoutPrefix(const char* text, const char* prefix);
    // The adapter event and value of a library port state and status.
    static void adapterEventOf(std::int32_t state, std::int32_t status, std::int32_t* adapterEvent,
                               std::int32_t* value);
    // Whether the library reports this state only once the previous session is over: the port
    // disconnected (authentication reset) or connecting (a new session's first state).
    static bool opensSession(std::int32_t state);

private:
    void linkMode(const void* data, std::int32_t length);
    void stateStatus(const void* data, std::int32_t length);
    void status(const void* data, std::int32_t length);
    void locationNotice(const void* data, std::int32_t length);
    void locationError(const void* data, std::int32_t length);

    PortManagerImpl* m_portManager;
};
