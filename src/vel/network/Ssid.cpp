#include "vel/network/Ssid.h"

#include "runtime/lum/Assert.h"

namespace {

ElementVector copyOf(const ElementVector& modes) {
    ElementVector copy = ElementVector::create();
    if (!LUM_ASSERT(modes.m)) return copy;
    for (const Reference& mode : ElementVector(modes).snapshot()) copy.add(mode.m);
    return copy;
}

// A longer SSID cannot come from a radio; it is cut rather than carried to the 32-byte records.
Ascii boundedSsid(const Ascii& ssid) {
    if (LUM_ASSERT(ssid.length() <= SsidImpl::MAX_SSID_LENGTH)) return ssid;
    return Ascii(ssid.text(), SsidImpl::MAX_SSID_LENGTH);
}

}  // namespace

SsidImpl::SsidImpl(const Ascii& ssid, const ByteArray& bssid, std::uint8_t entryFlag,
                   const ElementVector& modes, std::int32_t flags, std::int32_t channel,
                   std::int32_t signalStrengthInDbm, std::int32_t snr, std::int32_t entryValue,
                   const LocationCapabilities& locationCapabilities)
    : m_ssid(boundedSsid(ssid)),
      m_bssid(bssid),
      m_entryFlag(entryFlag),
      m_modes(copyOf(modes)),
      m_flags(flags),
      m_channel(channel),
      m_signalStrengthInDbm(signalStrengthInDbm),
      m_snr(snr),
      m_entryValue(entryValue),
      m_locationCapabilities(locationCapabilities) {
    LUM_ASSERT(bssid.length() == BSSID_LENGTH);
}

Ssid Ssid::create(const Ascii& ssid, const ByteArray& bssid, std::uint8_t entryFlag,
                  const ElementVector& modes, std::int32_t flags, std::int32_t channel,
                  std::int32_t signalStrengthInDbm, std::int32_t snr, std::int32_t entryValue,
                  const LocationCapabilities& locationCapabilities) {
    return Ssid(new SsidImpl(ssid, bssid, entryFlag, modes, flags, channel, signalStrengthInDbm, snr,
                             entryValue, locationCapabilities),
                Reference::TAKE_OVER);
}

Ssid Ssid::fromElement(ElementInterface* p) {
    auto* ssid = dynamic_cast<SsidImpl*>(p);
    if (!LUM_ASSERT(ssid)) return Ssid();
    return Ssid(ssid);
}

Ascii Ssid::getSsid() const {
    if (!LUM_ASSERT(m)) return Ascii();
    return impl()->m_ssid;
}

ByteArray Ssid::getBssid() const {
    if (!LUM_ASSERT(m)) return ByteArray();
    return impl()->m_bssid;
}

std::uint8_t Ssid::getEntryFlag() const {
    if (!LUM_ASSERT(m)) return 0;
    return impl()->m_entryFlag;
}

ElementVector Ssid::getAssociationAndEncryptionModes() const {
    if (!LUM_ASSERT(m)) return ElementVector::create();
    return impl()->m_modes;
}

std::int32_t Ssid::getFlags() const {
    if (!LUM_ASSERT(m)) return 0;
    return impl()->m_flags;
}

std::int32_t Ssid::getChannel() const {
    if (!LUM_ASSERT(m)) return 0;
    return impl()->m_channel;
}

std::int32_t Ssid::getSignalStrengthInDbm() const {
    if (!LUM_ASSERT(m)) return 0;
    return impl()->m_signalStrengthInDbm;
}

std::int32_t Ssid::getSnr() const {
    if (!LUM_ASSERT(m)) return 0;
    return impl()->m_snr;
}

std::int32_t Ssid::getEntryValue() const {
    if (!LUM_ASSERT(m)) return 0;
    return impl()->m_entryValue;
}

LocationCapabilities Ssid::getLocationCapabilities() const {
    if (!LUM_ASSERT(m)) return LocationCapabilities();
    return impl()->m_locationCapabilities;
}

bool Ssid::matches(const Ascii& ssid, const ByteArray& bssid) const {
    if (!LUM_ASSERT(m)) return false;
    return impl()->m_ssid == ssid && impl()->m_bssid == bssid;
}

SsidProxy& SsidProxy::operator=(const Ssid& ssid) {
    LUM_ASSERT(ssid.m);
    Proxy::operator=(Proxy(ssid));
    return *this;
}

Ssid SsidProxy::ssid() const {
    Reference entry = reference();
    if (entry.isNull()) return Ssid();
    return Ssid::fromElement(entry.m);
}
