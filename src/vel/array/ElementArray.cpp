#include "vel/array/ElementArray.h"

#include "runtime/lum/Assert.h"
#include "runtime/multithread/RuntimeMutex.h"
#include "vel/reference/SafeInteger.h"

ElementArrayImpl::ElementArrayImpl(ElementVector& vector) {
    RuntimeMutexLock lock(*ReferenceMutex);
    std::int32_t length = vector.length();
    SafeInteger bytes =
        SafeInteger(length) * SafeInteger(static_cast<std::int64_t>(sizeof(ElementInterface*)));
    if (!LUM_ASSERT(bytes.valid())) return;
    m_ppList = new ElementInterface*[static_cast<std::size_t>(length)];
    try {
        for (; m_length < length; ++m_length) {
            ElementInterface* p = vector.get(m_length);
            p->addRef();
            m_ppList[m_length] = p;
        }
    } catch (...) {
        // The references already taken go back before the error moves on.
        while (m_length > 0) m_ppList[--m_length]->release();
        delete[] m_ppList;
        m_ppList = nullptr;
        throw;
    }
}

ElementArrayImpl::~ElementArrayImpl() {
    while (m_length > 0) m_ppList[--m_length]->release();
    delete[] m_ppList;
}

ElementInterface* ElementArrayImpl::get(std::int32_t index) const {
    if (!LUM_ASSERT_TEXT(0 <= index && index < m_length, "0 <= index && index < m->m_length")) return nullptr;
    if (!LUM_ASSERT_TEXT(m_ppList && m_ppList[index], "m->m_ppList && m->m_ppList[index]")) return nullptr;
    return m_ppList[index];
}

ElementArray::ElementArray(ElementVector& vector)
    : Reference(new ElementArrayImpl(vector), Reference::TAKE_OVER) {}
