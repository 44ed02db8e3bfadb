#include "vel/reference/ElementInterface.h"

#include "runtime/lum/Assert.h"

void ElementInterface::copyReference(ElementInterface** destination, ElementInterface* p) {
    if (!LUM_ASSERT_TEXT(destination && *destination == nullptr, "pDestination == null") || !LUM_ASSERT(p))
        return;
    p->addRef();
    *destination = p;
}

void ElementInterface::copyNullableReference(ElementInterface** destination, ElementInterface* p) {
    if (!LUM_ASSERT_TEXT(destination && *destination == nullptr, "pDestination == null")) return;
    if (p != nullptr) p->addRef();
    *destination = p;
}

void ElementInterface::addRefIfSet(ElementInterface* p) {
    if (p != nullptr) p->addRef();
}

void ElementInterface::releaseIfSet(ElementInterface* p) {
    if (p != nullptr) p->release();
}

void ElementInterface::releaseReference(ElementInterface* p) {
    if (!LUM_ASSERT(p)) return;
    p->release();
}
