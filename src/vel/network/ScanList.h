#pragma once
// The service's one list of the networks the radios see. Every wireless port manager replaces it
// with its adapter's latest scan, so it holds the scan of whichever adapter refreshed it last.
#include <atomic>
#include <vector>

#include "vel/network/Ssid.h"
#include "vel/reference/ElementVector.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

class ScanListImpl : public ReferenceImpl {
public:
    // Makes the singleton; there must be none ("Singleton == null").
    static ScanListImpl* Create();
    // The singleton with a new reference ("Singleton != null"), null when there is none.
    static ScanListImpl* Instance();

    ScanListImpl();
    ~ScanListImpl() override;

    void setScanList(const ElementVector& list);
    SsidProxy find(const Ascii& ssid, const ByteArray& bssid);
    void clear();
    std::vector<Ssid> entries();

    static std::atomic<ScanListImpl*> Singleton;

private:
    // Ssid elements; read and replaced only under ReferenceMutex.
    ElementVector m_list;
};

class ScanList : public Reference {
public:
    // Makes the singleton at service start-up; the handle holds the creator's reference.
    static ScanList create();

    // Binds to the existing singleton (asserted); empty when there is none.
    ScanList();

    // Replaces the whole list with the Ssid elements of list, in their order, in one step under
    // ReferenceMutex: a reader sees the old list or the new one, never a mixture.
    void setScanList(const ElementVector& list) const;
    // The entry of this SSID and BSSID (byte for byte, lengths included); of several, the last in
    // the list; an empty proxy when there is none.
    SsidProxy find(const Ascii& ssid, const ByteArray& bssid) const;
    void clear() const;
    // A copy of the entries, in list order, for a reader that walks them.
    std::vector<Ssid> entries() const;

private:
    // Takes over the reference p carries; null leaves the handle empty.
    explicit ScanList(ScanListImpl* p);
    ScanListImpl* impl() const { return static_cast<ScanListImpl*>(static_cast<ReferenceImpl*>(m)); }
};
