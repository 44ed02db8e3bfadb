#include "vel/reference/ReferenceImpl.h"

#include "runtime/lum/Assert.h"
#include "runtime/lum/LumMemory.h"
#include "runtime/multithread/RuntimeMutex.h"

void ReferenceImpl::addRef() {
    RuntimeMutexLock lock(referenceMutex());
    ++m_references;
    LUM_ASSERT(m_references > 1);
}

void ReferenceImpl::release() {
    bool last;
    {
        RuntimeMutexLock lock(referenceMutex());
        last = m_references == 1;
        if (!last) {
            // A count already at 0 or below belongs to an object that was over-released.
            if (!LUM_ASSERT(m_references > 1)) return;
            --m_references;
        } else {
            m_dying = true;
        }
    }
    // Destroyed outside the lock: destructors take locks of their own that other threads hold
    // while they count references.
    if (last) delete this;
}

bool ReferenceImpl::addRefUnlessDying() {
    RuntimeMutexLock lock(referenceMutex());
    if (m_dying) return false;
    ++m_references;
    LUM_ASSERT(m_references > 1);
    return true;
}

void ReferenceImpl::release2() {
    release();
}

ReferenceImpl::~ReferenceImpl() {
    LUM_ASSERT(m_references == 1);
}

int32_t ReferenceImpl::references() const {
    RuntimeMutexLock lock(referenceMutex());
    return m_references;
}

void* ReferenceImpl::operator new(size_t size) {
    return lumNewBlock("src/vel/reference/referenceimpl", 1, size);
}

void ReferenceImpl::operator delete(void* p) {
    lumDeleteBlock(p);
}
