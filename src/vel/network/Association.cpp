#include "vel/network/Association.h"

#include "runtime/lum/Assert.h"

Association Association::create(std::int32_t associationMode, std::int32_t encryption, bool dynamicWep) {
    return Association(new AssociationImpl(associationMode, encryption, dynamicWep), Reference::TAKE_OVER);
}

Association Association::fromElement(ElementInterface* p) {
    auto* association = dynamic_cast<AssociationImpl*>(p);
    if (!LUM_ASSERT(association)) return Association();
    return Association(association);
}

std::int32_t Association::getAssociationMode() const {
    if (!LUM_ASSERT(m)) return 0;
    return impl()->m_associationMode;
}

std::int32_t Association::getEncryption() const {
    if (!LUM_ASSERT(m)) return 0;
    return impl()->m_encryption;
}

bool Association::isDynamicWep() const {
    if (!LUM_ASSERT(m)) return false;
    return impl()->m_dynamicWep;
}
