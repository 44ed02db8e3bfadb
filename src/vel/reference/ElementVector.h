#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

// A growable list of references, the form of every subscriber list. Every operation holds
// ReferenceMutex; the list always keeps one free slot.
class ElementVectorImpl : public ReferenceImpl {
public:
    static constexpr int ADDED = 1;
    static constexpr int MIN_CAPACITY = 10;

    ElementVectorImpl() = default;
    ~ElementVectorImpl() override;

    void add(ElementInterface* p);
    // 0 when p is already in the list, else appends it and returns ADDED.
    int addIfAbsent(ElementInterface* p);
    int insertIfAbsent(ElementInterface* p, int index);
    // The element at index, without a reference of the caller's own.
    ElementInterface* get(int index);
    // 1 when the first element equal to p was removed, 0 when p is not in the list.
    int remove(ElementInterface* p);
    void removeAt(int index);
    // Empties the list under the lock, then releases every element, last first, outside it.
    void clear();
    // Empties the list under the lock, then, outside it, clears each old element's references
    // and releases it.
    void destroyAll();

    int length();
    // A copy of the list, one reference per element, taken under the lock.
    std::vector<Reference> snapshot();

private:
    void grow();
    bool indexValid(int index) const;

    int32_t m_length = 0;
    int32_t m_capacity = 0;
    ElementInterface** m_ppList = nullptr;
};

// The value class of an element vector.
class ElementVector : public Reference {
public:
    static constexpr int ADDED = ElementVectorImpl::ADDED;

    // A new empty list.
    static ElementVector create();
    ElementVector() = default;

    void add(ElementInterface* p) { impl()->add(p); }
    int addIfAbsent(ElementInterface* p) { return impl()->addIfAbsent(p); }
    int insertIfAbsent(ElementInterface* p, int index) { return impl()->insertIfAbsent(p, index); }
    ElementInterface* get(int index) { return impl()->get(index); }
    Reference getAt(int index) { return Reference(impl()->get(index), Reference::NULLABLE); }
    int remove(ElementInterface* p) { return impl()->remove(p); }
    void removeAt(int index) { impl()->removeAt(index); }
    void clear() { impl()->clear(); }
    void destroyAll() { impl()->destroyAll(); }
    int length() { return impl()->length(); }
    std::vector<Reference> snapshot() { return impl()->snapshot(); }

    // Calls f for every element of a copy of the list, outside the lock, so that f may add to or
    // remove from this list (or any other) while the walk goes on.
    void forEach(const std::function<void(ElementInterface*)>& f);

private:
    explicit ElementVector(ElementVectorImpl* p) : Reference(p, Reference::TAKE_OVER) {}
    ElementVectorImpl* impl() const {
        return static_cast<ElementVectorImpl*>(static_cast<ReferenceImpl*>(m));
    }
};
