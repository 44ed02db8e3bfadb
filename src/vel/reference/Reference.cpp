#include "vel/reference/Reference.h"

#include "runtime/lum/Assert.h"

Reference::Reference(ElementInterface* p) {
    if (LUM_ASSERT(p)) {
        p->addRef();
        m = p;
    }
}

Reference::Reference(ElementInterface* p, Nullable) : m(p) {
    if (m != nullptr) m->addRef();
}

Reference::Reference(ElementInterface* p, TakeOver) : m(p) {
    LUM_ASSERT(p);
}

Reference::Reference(const Reference& other) : m(other.m) {
    if (m != nullptr) m->addRef();
}

Reference& Reference::operator=(const Reference& other) {
    if (other.m != nullptr) other.m->addRef();
    ElementInterface* old = m;
    m = other.m;
    if (old != nullptr) old->release();
    return *this;
}

Reference& Reference::operator=(Reference&& other) noexcept {
    if (this != &other) {
        ElementInterface* old = m;
        m = other.m;
        other.m = nullptr;
        if (old != nullptr) old->release();
    }
    return *this;
}

Reference::~Reference() {
    if (m != nullptr) m->release();
}

void Reference::reset() {
    ElementInterface* old = m;
    m = nullptr;
    if (old != nullptr) old->release();
}
