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
    // The last release destroys the object before the lock is let go: whoever finds the object
    // under the lock (a singleton, a list) can otherwise take a reference to it while it dies.
    RuntimeMutexLock lock(referenceMutex());
    if (m_references == 1) {
        delete this;
        return;
    }
    // A count already at 0 or below belongs to an object that was over-released.
    if (!LUM_ASSERT(m_references > 1)) return;
    --m_references;
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
