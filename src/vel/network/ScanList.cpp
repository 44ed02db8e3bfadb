#include "vel/network/ScanList.h"

#include "runtime/lum/Assert.h"
#include "runtime/multithread/RuntimeMutex.h"

std::atomic<ScanListImpl*> ScanListImpl::Singleton{nullptr};

ScanListImpl* ScanListImpl::Create() {
    if (!LUM_ASSERT_TEXT(Singleton == nullptr, "Singleton == null")) return Instance();
    auto* p = new ScanListImpl;
    Singleton = p;
    return p;
}

ScanListImpl* ScanListImpl::Instance() {
    RuntimeMutexLock lock(referenceMutex());
    ScanListImpl* p = Singleton;
    if (!LUM_ASSERT_TEXT(p != nullptr && p->addRefUnlessDying(), "Singleton != null")) return nullptr;
    return p;
}

ScanListImpl::ScanListImpl() : m_list(ElementVector::create()) {}

ScanListImpl::~ScanListImpl() {
    LUM_ASSERT_TEXT(this == Singleton, "this == Singleton");
    Singleton = nullptr;
}

void ScanListImpl::setScanList(const ElementVector& list) {
    if (!LUM_ASSERT(list.m)) return;
    std::vector<Reference> replaced;
    {
        RuntimeMutexLock lock(referenceMutex());
        // Old entries are let go after the lock: no destructor runs under the lock that every
        // reference count waits on.
        replaced = m_list.snapshot();
        m_list.clear();
        for (const Reference& entry : ElementVector(list).snapshot()) m_list.add(entry.m);
    }
}

SsidProxy ScanListImpl::find(const Ascii& ssid, const ByteArray& bssid) {
    SsidProxy found;
    RuntimeMutexLock lock(referenceMutex());
    // The last match wins.
    for (int i = m_list.length() - 1; i >= 0; --i) {
        Ssid entry = Ssid::fromElement(m_list.get(i));
        if (entry.isNull() || !entry.matches(ssid, bssid)) continue;
        found = entry;
        break;
    }
    return found;
}

void ScanListImpl::clear() {
    std::vector<Reference> replaced;
    {
        RuntimeMutexLock lock(referenceMutex());
        replaced = m_list.snapshot();
        m_list.clear();
    }
}

std::vector<Ssid> ScanListImpl::entries() {
    std::vector<Ssid> copy;
    for (const Reference& entry : m_list.snapshot()) {
        Ssid ssid = Ssid::fromElement(entry.m);
        if (!ssid.isNull()) copy.push_back(ssid);
    }
    return copy;
}

ScanList ScanList::create() {
    return ScanList(ScanListImpl::Create());
}

ScanList::ScanList() : ScanList(ScanListImpl::Instance()) {}

ScanList::ScanList(ScanListImpl* p) {
    if (p != nullptr) Reference::operator=(Reference(p, Reference::TAKE_OVER));
}

void ScanList::setScanList(const ElementVector& list) const {
    if (LUM_ASSERT(m)) impl()->setScanList(list);
}

SsidProxy ScanList::find(const Ascii& ssid, const ByteArray& bssid) const {
    if (!LUM_ASSERT(m)) return SsidProxy();
    return impl()->find(ssid, bssid);
}

void ScanList::clear() const {
    if (LUM_ASSERT(m)) impl()->clear();
}

std::vector<Ssid> ScanList::entries() const {
    if (!LUM_ASSERT(m)) return {};
    return impl()->entries();
}
