#include "vel/reference/ElementVector.h"

#include "ostrum.h"
#include "runtime/lum/Assert.h"
#include "runtime/lum/LumMemory.h"
#include "runtime/multithread/RuntimeMutex.h"
#include "vel/exception/MemoryException.h"
#include "vel/reference/SafeInteger.h"

ElementVectorImpl::~ElementVectorImpl() {
    clear();
}

bool ElementVectorImpl::indexValid(int index) const {
    return LUM_ASSERT(0 <= index && index < m_length) && LUM_ASSERT(m_ppList && m_ppList[index]);
}

void ElementVectorImpl::grow() {
    if (m_length + 1 < m_capacity) return;
    SafeInteger size = SafeInteger(m_capacity) * SafeInteger(2);
    if (size < SafeInteger(MIN_CAPACITY)) size = SafeInteger(MIN_CAPACITY);
    SafeInteger bytes = size * SafeInteger(static_cast<int64_t>(sizeof(ElementInterface*)));
    if (!LUM_ASSERT(size.valid()) || !LUM_ASSERT(bytes.valid())) throw MemoryException(OS_ERR_ARGUMENT);
    lumRealloc(__FILE__, __LINE__, &m_ppList, bytes.value());
    m_capacity = size.value();
}

void ElementVectorImpl::add(ElementInterface* p) {
    if (!LUM_ASSERT(p)) return;
    RuntimeMutexLock lock(referenceMutex());
    grow();
    p->addRef();
    m_ppList[m_length++] = p;
}

int ElementVectorImpl::addIfAbsent(ElementInterface* p) {
    if (!LUM_ASSERT(p)) return 0;
    RuntimeMutexLock lock(referenceMutex());
    for (int i = 0; i < m_length; ++i) {
        if (m_ppList[i] == p) return 0;
    }
    grow();
    p->addRef();
    m_ppList[m_length++] = p;
    return ADDED;
}

int ElementVectorImpl::insertIfAbsent(ElementInterface* p, int index) {
    if (!LUM_ASSERT(p)) return 0;
    RuntimeMutexLock lock(referenceMutex());
    for (int i = 0; i < m_length; ++i) {
        if (m_ppList[i] == p) return 0;
    }
    if (!LUM_ASSERT(0 <= index && index <= m_length)) return 0;
    grow();
    for (int i = m_length; i > index; --i) m_ppList[i] = m_ppList[i - 1];
    p->addRef();
    m_ppList[index] = p;
    ++m_length;
    return ADDED;
}

ElementInterface* ElementVectorImpl::get(int index) {
    RuntimeMutexLock lock(referenceMutex());
    if (!indexValid(index)) return nullptr;
    return m_ppList[index];
}

int ElementVectorImpl::remove(ElementInterface* p) {
    ElementInterface* found = nullptr;
    {
        RuntimeMutexLock lock(referenceMutex());
        for (int i = 0; i < m_length; ++i) {
            if (m_ppList[i] != p) continue;
            found = m_ppList[i];
            for (int k = i + 1; k < m_length; ++k) m_ppList[k - 1] = m_ppList[k];
            m_ppList[--m_length] = nullptr;
            break;
        }
    }
    if (found == nullptr) return 0;
    found->release();
    return 1;
}

void ElementVectorImpl::removeAt(int index) {
    ElementInterface* found;
    {
        RuntimeMutexLock lock(referenceMutex());
        if (!indexValid(index)) return;
        found = m_ppList[index];
        for (int k = index + 1; k < m_length; ++k) m_ppList[k - 1] = m_ppList[k];
        m_ppList[--m_length] = nullptr;
    }
    found->release();
}

void ElementVectorImpl::clear() {
    ElementInterface** list;
    int32_t length;
    {
        RuntimeMutexLock lock(referenceMutex());
        list = m_ppList;
        length = m_length;
        m_ppList = nullptr;
        m_length = 0;
        m_capacity = 0;
    }
    // Released outside the lock, as every release is: the last one destroys, and a destructor may
    // wait for a thread that needs the lock.
    for (int32_t i = length; i-- > 0;) list[i]->release();
    if (list != nullptr) lumFree(__FILE__, __LINE__, &list);
}

void ElementVectorImpl::destroyAll() {
    std::vector<Reference> old;
    {
        // The copy keeps every element alive, so the clear under the lock destroys nothing.
        RuntimeMutexLock lock(referenceMutex());
        old = snapshot();
        clear();
    }
    for (Reference& element : old) {
        element.m->clearReferences();
        element.reset();
    }
}

int ElementVectorImpl::length() {
    RuntimeMutexLock lock(referenceMutex());
    return m_length;
}

std::vector<Reference> ElementVectorImpl::snapshot() {
    RuntimeMutexLock lock(referenceMutex());
    std::vector<Reference> copy;
    copy.reserve(static_cast<size_t>(m_length));
    for (int i = 0; i < m_length; ++i) copy.emplace_back(m_ppList[i]);
    return copy;
}

ElementVector ElementVector::create() {
    return ElementVector(new ElementVectorImpl);
}

void ElementVector::forEach(const std::function<void(ElementInterface*)>& f) {
    for (Reference& element : snapshot()) f(element.m);
}
