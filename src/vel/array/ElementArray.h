#pragma once
// An immutable snapshot of an element vector: one reference per element, taken in order under
// ReferenceMutex, so that the walk over it needs no lock and sees no later change.
#include <cstdint>

#include "vel/reference/ElementVector.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

class ElementArrayImpl : public ReferenceImpl {
public:
    explicit ElementArrayImpl(ElementVector& vector);
    ~ElementArrayImpl() override;

    std::int32_t length() const { return m_length; }
    // The element without a reference of the caller's own; null (after the assertion) outside.
    ElementInterface* get(std::int32_t index) const;

    std::int32_t m_length = 0;
    ElementInterface** m_ppList = nullptr;
};

class ElementArray : public Reference {
public:
    explicit ElementArray(ElementVector& vector);

    std::int32_t length() const { return impl()->length(); }
    ElementInterface* get(std::int32_t index) const { return impl()->get(index); }
    Reference getAt(std::int32_t index) const { return Reference(impl()->get(index), Reference::NULLABLE); }

private:
    ElementArrayImpl* impl() const { return static_cast<ElementArrayImpl*>(static_cast<ReferenceImpl*>(m)); }
};
