#include "vel/symbolicname/SymbolicNameAdapterList.h"

#include "runtime/lum/Assert.h"
#include "vel/reference/Singleton.h"

std::atomic<SymbolicNameAdapterListImpl*> SymbolicNameAdapterListImpl::Singleton{nullptr};

void AdapterListImpl::addSubscriber(AdapterListSubscriberInterface* subscriber) {
    m_subscribers.addIfAbsent(subscriber);
}

void AdapterListImpl::clearReferences() {
    m_subscribers.clear();
}

SymbolicNameAdapterImpl::SymbolicNameAdapterImpl(const Ascii& symbolicName)
    : m_symbolicName(symbolicName), m_adapter(VelAdapter::create(symbolicName)) {}

void SymbolicNameAdapterImpl::clearReferences() {
    if (!m_adapter.isNull()) m_adapter.impl()->clearReferences();
}

SymbolicNameAdapterListImpl::~SymbolicNameAdapterListImpl() {
    forgetSingleton(Singleton, this);
}

void SymbolicNameAdapterListImpl::applyNameList(const AsciiVector& names) {
    std::vector<Reference> current = m_entries.snapshot();
    ElementVector entries = ElementVector::create();
    for (std::int32_t i = 0; i < names.length(); ++i) {
        Ascii name = names.get(i);
        SymbolicNameAdapterImpl* entry = nullptr;
        for (const Reference& existing : current) {
            auto* candidate = static_cast<SymbolicNameAdapterImpl*>(static_cast<ReferenceImpl*>(existing.m));
            if (candidate->m_symbolicName == name) {
                entry = candidate;
                break;
            }
        }
        Reference made;
        if (entry == nullptr) {
            entry = new SymbolicNameAdapterImpl(name);
            made = Reference(static_cast<ReferenceImpl*>(entry), Reference::TAKE_OVER);
        }
        entry->m_present = true;
        entries.addIfAbsent(static_cast<ReferenceImpl*>(entry));
    }
    // A vanished name keeps its entry and adapter, behind the names of the latest list.
    for (const Reference& existing : current) {
        if (entries.addIfAbsent(existing.m) == ElementVector::ADDED)
            static_cast<SymbolicNameAdapterImpl*>(static_cast<ReferenceImpl*>(existing.m))->m_present = false;
    }
    m_entries = entries;

    std::vector<Reference> subscribers = m_subscribers.snapshot();
    for (const Reference& element : m_entries.snapshot()) {
        auto* entry = static_cast<SymbolicNameAdapterImpl*>(static_cast<ReferenceImpl*>(element.m));
        if (!entry->m_announced) {
            for (const Reference& subscriber : subscribers)
                static_cast<AdapterListSubscriberInterface*>(subscriber.m)->newAdapter(entry->m_adapter);
            entry->m_announced = true;
        }
        if (entry->m_present) {
            entry->m_adapter.symbolicNameBound();
        } else {
            entry->m_adapter.symbolicNameUnbound();
        }
    }
}

void SymbolicNameAdapterListImpl::clearReferences() {
    AdapterListImpl::clearReferences();
    m_entries.destroyAll();
}

std::vector<VelAdapter> SymbolicNameAdapterListImpl::adapters() {
    std::vector<VelAdapter> list;
    for (const Reference& element : m_entries.snapshot())
        list.push_back(
            static_cast<SymbolicNameAdapterImpl*>(static_cast<ReferenceImpl*>(element.m))->m_adapter);
    return list;
}

SymbolicNameAdapterList SymbolicNameAdapterList::create() {
    return SymbolicNameAdapterList(createSingleton(SymbolicNameAdapterListImpl::Singleton));
}

SymbolicNameAdapterList::SymbolicNameAdapterList()
    : SymbolicNameAdapterList(bindSingleton(SymbolicNameAdapterListImpl::Singleton)) {}

SymbolicNameAdapterList::SymbolicNameAdapterList(SymbolicNameAdapterListImpl* p) {
    if (p != nullptr) m = static_cast<ReferenceImpl*>(p);
}

void SymbolicNameAdapterList::addSubscriber(AdapterListSubscriberInterface* subscriber) const {
    if (LUM_ASSERT(m)) impl()->addSubscriber(subscriber);
}

void SymbolicNameAdapterList::applyNameList(const AsciiVector& names) const {
    if (LUM_ASSERT(m)) impl()->applyNameList(names);
}

void SymbolicNameAdapterList::clearReferences() const {
    if (LUM_ASSERT(m)) impl()->clearReferences();
}

std::vector<VelAdapter> SymbolicNameAdapterList::adapters() const {
    if (!LUM_ASSERT(m)) return {};
    return impl()->adapters();
}

void SymbolicListEventImpl::run() {
    SymbolicNameAdapterList list;
    if (!list.isNull()) list.applyNameList(m_names);
}
