#pragma once
// A handle of the given class holding a new reference to p, or an empty one for null: how the
// elements of an ElementVector, kept without their handle class, are taken out.
#include "runtime/lum/Assert.h"
#include "vel/reference/Proxy.h"
#include "vel/reference/Reference.h"

template <class Handle>
Handle handleOf(ElementInterface* p) {
    Handle handle;
    static_cast<Reference&>(handle) = Reference(p, Reference::NULLABLE);
    return handle;
}

// An optional holder of one handle class. Setting a handle makes the holder usable at once; a
// copy must be tested with exists() before its handle is taken out.
template <class Handle>
class HandleProxy : public Proxy {
public:
    HandleProxy() = default;
    explicit HandleProxy(const Handle& handle) : Proxy(handle) {}

    void clear() { Proxy::operator=(Proxy()); }

protected:
    // Asserts that the holder was tested; an empty handle when it holds none.
    Handle held() const {
        LUM_ASSERT(m_usable);
        return handleOf<Handle>(m_p);
    }
    // The handle must be set (the text names it in the assertion).
    void hold(const Handle& handle, const char* setAssertion) {
        LUM_ASSERT_TEXT(handle.m, setAssertion);
        Proxy::operator=(Proxy(handle));
        m_usable = true;
    }
};
