#pragma once

#include <cstddef>
#include <cstdint>

#include "vel/reference/ElementInterface.h"

// The reference-counted base of every engine object. The count starts at 1 (the creator's
// reference) and changes only under ReferenceMutex; the last release deletes the object.
class ReferenceImpl : public ElementInterface {
public:
    ReferenceImpl() = default;
    ReferenceImpl(const ReferenceImpl&) = delete;
    ReferenceImpl& operator=(const ReferenceImpl&) = delete;

    void addRef() override;
    void release() override;
    void release2() override;
    void clearReferences() override {}
    virtual ~ReferenceImpl();

    // The count as last seen; only a hint outside ReferenceMutex.
    int32_t references() const;

    // A reference for whoever finds the object through a pointer that its destructor clears (a
    // singleton): false once the last reference is gone and the object is being destroyed, as the
    // pointer may still be set then. Call with ReferenceMutex held across the lookup.
    bool addRefUnlessDying();

    // Objects come from checked memory while the run-time is ready.
    static void* operator new(size_t size);
    static void operator delete(void* p);

private:
    int32_t m_references = 1;
    bool m_dying = false;
};

// For a class that derives from ReferenceImpl and from interfaces: one count for all of them.
#define REFERENCE_IMPL_FORWARDS           \
    void addRef() override {              \
        ReferenceImpl::addRef();          \
    }                                     \
    void release() override {             \
        ReferenceImpl::release();         \
    }                                     \
    void release2() override {            \
        ReferenceImpl::release2();        \
    }                                     \
    void clearReferences() override {     \
        ReferenceImpl::clearReferences(); \
    }
