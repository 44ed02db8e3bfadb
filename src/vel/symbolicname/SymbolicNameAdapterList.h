#pragma once
// The adapter objects of the symbolic names the authentication library reports. An object is made
// the first time its name appears and kept for the life of the service; each new list tells every
// adapter whether its name is in it (bound) or not (unbound), and the subscribers hear of each
// adapter once. Engine event-queue thread.
#include <atomic>
#include <vector>

#include "vel/adapter/VelAdapter.h"
#include "vel/multithread/MessageEvent.h"
#include "vel/reference/ElementVector.h"
#include "vel/string/Ascii.h"
#include "vel/string/AsciiVector.h"
#include "vel/symbolicname/AdapterListSubscriber.h"

class AdapterListImpl : public ReferenceImpl {
public:
    AdapterListImpl() : m_subscribers(ElementVector::create()) {}

    void addSubscriber(AdapterListSubscriberInterface* subscriber);
    void clearReferences() override;

protected:
    ElementVector m_subscribers;
};

// One name and its adapter object.
class SymbolicNameAdapterImpl : public ReferenceImpl {
public:
    explicit SymbolicNameAdapterImpl(const Ascii& symbolicName);

    // Clears the adapter object's references.
    void clearReferences() override;

    Ascii m_symbolicName;
    VelAdapter m_adapter;
    bool m_announced = false;
    bool m_present = false;
};

class SymbolicNameAdapterListImpl : public AdapterListImpl {
public:
    SymbolicNameAdapterListImpl() : m_entries(ElementVector::create()) {}
    ~SymbolicNameAdapterListImpl() override;

    void applyNameList(const AsciiVector& names);
    // Clears the subscribers and the entries (and with them the adapters' references).
    void clearReferences() override;
    // The adapter objects, in entry order.
    std::vector<VelAdapter> adapters();

    static std::atomic<SymbolicNameAdapterListImpl*> Singleton;

private:
    // SymbolicNameAdapterImpl elements, in order of first appearance.
    ElementVector m_entries;
};

class SymbolicNameAdapterList : public Reference {
public:
    // Makes the singleton ("Singleton == null"); the handle holds the creator's reference.
    static SymbolicNameAdapterList create();
    // Binds to the singleton ("Singleton != null"); empty when there is none.
    SymbolicNameAdapterList();

    void addSubscriber(AdapterListSubscriberInterface* subscriber) const;
    void applyNameList(const AsciiVector& names) const;
    void clearReferences() const;
    std::vector<VelAdapter> adapters() const;

private:
    // Takes over the reference p carries; null leaves the handle empty.
    explicit SymbolicNameAdapterList(SymbolicNameAdapterListImpl* p);
    SymbolicNameAdapterListImpl* impl() const {
        return static_cast<SymbolicNameAdapterListImpl*>(static_cast<ReferenceImpl*>(m));
    }
};

// A name list from the library, applied on the engine event-queue thread.
class SymbolicListEventImpl : public MessageEventImpl {
public:
    explicit SymbolicListEventImpl(const AsciiVector& names) : m_names(names) {}
    void run() override;

private:
    AsciiVector m_names;
};
