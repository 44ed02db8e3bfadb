#pragma once
// One network a radio sees, as the last scan reported it. Every field is set at creation and
// never changes, so an entry may be read on any thread while the scan list moves on.
#include <cstdint>

#include "vel/location/LocationCapabilities.h"
#include "vel/reference/ElementVector.h"
#include "vel/reference/Proxy.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"

class SsidImpl : public ReferenceImpl {
public:
    static constexpr std::int32_t MAX_SSID_LENGTH = 32;
    static constexpr std::int32_t BSSID_LENGTH = 6;

    SsidImpl(const Ascii& ssid, const ByteArray& bssid, std::uint8_t entryFlag, const ElementVector& modes,
             std::int32_t flags, std::int32_t channel, std::int32_t signalStrengthInDbm, std::int32_t snr,
             std::int32_t entryValue, const LocationCapabilities& locationCapabilities);

    const Ascii m_ssid;
    const ByteArray m_bssid;
    const std::uint8_t m_entryFlag;
    // Association entries, in the order the scan entry gave them; nobody changes the list.
    const ElementVector m_modes;
    const std::int32_t m_flags;
    const std::int32_t m_channel;
    const std::int32_t m_signalStrengthInDbm;
    const std::int32_t m_snr;
    const std::int32_t m_entryValue;
    const LocationCapabilities m_locationCapabilities;
};

class Ssid : public Reference {
public:
    // ssid: the bytes as scanned, at most 32; bssid: 6 bytes; entryFlag: bit 0 of the entry's
    // flags; modes: Association elements, copied; snr: the entry's further measurement word;
    // entryValue: the value the entry carries at its offset 64.
    static Ssid create(const Ascii& ssid, const ByteArray& bssid, std::uint8_t entryFlag,
                       const ElementVector& modes, std::int32_t flags, std::int32_t channel,
                       std::int32_t signalStrengthInDbm, std::int32_t snr, std::int32_t entryValue,
                       const LocationCapabilities& locationCapabilities);
    // The entry held by an element of a list; empty, after an assertion, for anything else.
    static Ssid fromElement(ElementInterface* p);

    Ssid() = default;

    // Each asserts that the handle holds an entry ("m") and gives an empty value when it does not.
    Ascii getSsid() const;
    ByteArray getBssid() const;
    std::uint8_t getEntryFlag() const;
    // A new reference to the entry's list of Association elements, to be read only.
    ElementVector getAssociationAndEncryptionModes() const;
    std::int32_t getFlags() const;
    std::int32_t getChannel() const;
    std::int32_t getSignalStrengthInDbm() const;
    std::int32_t getSnr() const;
    std::int32_t getEntryValue() const;
    LocationCapabilities getLocationCapabilities() const;

    // True when the entry is the one of this SSID and BSSID, byte for byte (lengths included).
    bool matches(const Ascii& ssid, const ByteArray& bssid) const;

    const SsidImpl* impl() const { return static_cast<const SsidImpl*>(static_cast<ReferenceImpl*>(m)); }

private:
    Ssid(SsidImpl* p, Reference::TakeOver) : Reference(p, Reference::TAKE_OVER) {}
    explicit Ssid(SsidImpl* p) : Reference(p) {}
};

// Where a caller gets a scan entry that may not exist: exists() must be asked before ssid().
class SsidProxy : public Proxy {
public:
    SsidProxy() = default;

    // Holds the entry (which must be set), releasing the one held before; the proxy must be tested
    // again before use.
    SsidProxy& operator=(const Ssid& ssid);

    // The entry; exists() must have been asked ("m_usable"). Empty when the proxy holds none.
    Ssid ssid() const;
};
