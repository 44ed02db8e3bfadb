#include "vel/reference/Proxy.h"

#include "runtime/lum/Assert.h"

Proxy::Proxy(ElementInterface* p) : m_p(p) {
    if (m_p != nullptr) m_p->addRef();
}

Proxy::Proxy(const Proxy& other) : m_p(other.m_p), m_usable(false) {
    if (m_p != nullptr) m_p->addRef();
}

Proxy& Proxy::operator=(const Proxy& other) {
    if (other.m_p != nullptr) other.m_p->addRef();
    ElementInterface* old = m_p;
    m_p = other.m_p;
    m_usable = false;
    if (old != nullptr) old->release();
    return *this;
}

Proxy::~Proxy() {
    if (m_p != nullptr) m_p->release();
}

bool Proxy::exists() {
    m_usable = true;
    return m_p != nullptr;
}

// An untested proxy is a coding fault, but the object it holds is still valid to hand out.
ElementInterface* Proxy::element() const {
    LUM_ASSERT(m_usable);
    return m_p;
}

Reference Proxy::reference() const {
    LUM_ASSERT(m_usable);
    return Reference(m_p, Reference::NULLABLE);
}
