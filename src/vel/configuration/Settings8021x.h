#pragma once
// The 802.1X timers of a network, handed to its adapter on connect: seconds, and a count of
// start messages, as IEEE 802.1X names them.
#include <cstdint>

#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

class Settings8021xImpl : public ReferenceImpl {
public:
    Settings8021xImpl() = default;
    Settings8021xImpl(std::int32_t authPeriod, std::int32_t heldPeriod, std::int32_t startPeriod,
                      std::int32_t maxStart)
        : m_authPeriod(authPeriod),
          m_heldPeriod(heldPeriod),
          m_startPeriod(startPeriod),
          m_maxStart(maxStart) {}

    std::int32_t m_authPeriod = 30;
    std::int32_t m_heldPeriod = 60;
    std::int32_t m_startPeriod = 30;
    std::int32_t m_maxStart = 3;
};

class Settings8021x : public Reference {
public:
    Settings8021x() = default;
    static Settings8021x create() { return Settings8021x(new Settings8021xImpl); }
    static Settings8021x create(std::int32_t authPeriod, std::int32_t heldPeriod, std::int32_t startPeriod,
                                std::int32_t maxStart) {
        return Settings8021x(new Settings8021xImpl(authPeriod, heldPeriod, startPeriod, maxStart));
    }

    std::int32_t authPeriod() const { return impl()->m_authPeriod; }
    std::int32_t heldPeriod() const { return impl()->m_heldPeriod; }
    std::int32_t startPeriod() const { return impl()->m_startPeriod; }
    std::int32_t maxStart() const { return impl()->m_maxStart; }

    Settings8021xImpl* impl() const {
        return static_cast<Settings8021xImpl*>(static_cast<ReferenceImpl*>(m));
    }

private:
    explicit Settings8021x(Settings8021xImpl* created) : Reference(created, Reference::TAKE_OVER) {}
};
