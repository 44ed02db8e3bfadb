#pragma once
// What an associated adapter is joined to: for a radio the access point's SSID and BSSID with its
// channel, link speed (kbit/s) and signal (dBm); for a wire only the link speed, the rest empty.
#include <cstdint>

#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/ByteArray.h"
#include "vel/string/ValueProxy.h"

class AssociationInfoImpl : public ReferenceImpl {
public:
    AssociationInfoImpl(const ByteArray& ssid, const ByteArray& bssid, std::int32_t channel,
                        std::int32_t linkSpeed, std::int32_t signal)
        : m_ssid(ssid), m_bssid(bssid), m_channel(channel), m_linkSpeed(linkSpeed), m_signal(signal) {}

    const ByteArray m_ssid;
    const ByteArray m_bssid;
    const std::int32_t m_channel;
    const std::int32_t m_linkSpeed;
    const std::int32_t m_signal;
};

class AssociationInfo : public Reference {
public:
    AssociationInfo() = default;
    AssociationInfo(const ByteArray& ssid, const ByteArray& bssid, std::int32_t channel,
                    std::int32_t linkSpeed, std::int32_t signal)
        : Reference(
              static_cast<ReferenceImpl*>(new AssociationInfoImpl(ssid, bssid, channel, linkSpeed, signal)),
              Reference::TAKE_OVER) {}

    ByteArray ssid() const { return impl()->m_ssid; }
    ByteArray bssid() const { return impl()->m_bssid; }
    std::int32_t channel() const { return impl()->m_channel; }
    std::int32_t linkSpeed() const { return impl()->m_linkSpeed; }
    std::int32_t signal() const { return impl()->m_signal; }

private:
    const AssociationInfoImpl* impl() const {
        return static_cast<const AssociationInfoImpl*>(static_cast<ReferenceImpl*>(m));
    }
};

class AssociationInfoProxy : public ValueProxy<AssociationInfo> {
public:
    using ValueProxy<AssociationInfo>::ValueProxy;
    using ValueProxy<AssociationInfo>::operator=;
};
