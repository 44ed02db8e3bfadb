#pragma once
// What the administrator's file says of connecting at logon: the behaviour (1 attempt before the
// user logs on, 3 after), the longest wait for a connection before logon in seconds, and whether
// the WPA handshake is validated. The file's default timeouts are not kept here: they become the
// service-wide network defaults (Network::setDefaultConnectionTimeout and its sibling), which
// every accepted file sets anew, to the built-in 40 and 3 seconds where it gives none.
#include <cstdint>

#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

class ConnectionSettingsImpl : public ReferenceImpl {
public:
    ConnectionSettingsImpl() = default;
    ConnectionSettingsImpl(std::int32_t behaviorAtLogon, std::int32_t secondsToWait,
                           std::int32_t validateWpaHandshake)
        : m_behaviorAtLogon(behaviorAtLogon),
          m_secondsToWait(secondsToWait),
          m_validateWpaHandshake(validateWpaHandshake) {}

    std::int32_t m_behaviorAtLogon = 0;
    std::int32_t m_secondsToWait = 0;
    std::int32_t m_validateWpaHandshake = 1;
};

class ConnectionSettings : public Reference {
public:
    static constexpr std::int32_t BEFORE_USER_LOGON = 1;
    static constexpr std::int32_t AFTER_USER_LOGON = 3;

    ConnectionSettings() = default;
    static ConnectionSettings create() { return ConnectionSettings(new ConnectionSettingsImpl); }
    static ConnectionSettings create(std::int32_t behaviorAtLogon, std::int32_t secondsToWait,
                                     std::int32_t validateWpaHandshake) {
        return ConnectionSettings(
            new ConnectionSettingsImpl(behaviorAtLogon, secondsToWait, validateWpaHandshake));
    }

    std::int32_t behaviorAtLogon() const { return impl()->m_behaviorAtLogon; }
    std::int32_t secondsToWaitForConnection() const { return impl()->m_secondsToWait; }
    std::int32_t validateWpaHandshake() const { return impl()->m_validateWpaHandshake; }

    ConnectionSettingsImpl* impl() const {
        return static_cast<ConnectionSettingsImpl*>(static_cast<ReferenceImpl*>(m));
    }

private:
    explicit ConnectionSettings(ConnectionSettingsImpl* created) : Reference(created, Reference::TAKE_OVER) {}
};
