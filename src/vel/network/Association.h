#pragma once
// One association mode with its encryption, as a scanned network offers it or a policy allows
// it; the numbers are those of AssociationModeToText. An allowed entry also remembers whether it
// was named "open1xDynamicWep", since static and dynamic WEP share the pair (1, 2).
#include <cstdint>

#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

class AssociationImpl : public ReferenceImpl {
public:
    AssociationImpl(std::int32_t associationMode, std::int32_t encryption, bool dynamicWep)
        : m_associationMode(associationMode), m_encryption(encryption), m_dynamicWep(dynamicWep) {}

    const std::int32_t m_associationMode;
    const std::int32_t m_encryption;
    const bool m_dynamicWep;
};

class Association : public Reference {
public:
    static constexpr std::int32_t ASSOCIATION_OPEN = 1;
    static constexpr std::int32_t ENCRYPTION_WEP = 2;
    static constexpr const char* DYNAMIC_WEP_TEXT = "open1xDynamicWep";

    static Association create(std::int32_t associationMode, std::int32_t encryption, bool dynamicWep = false);
    // True for the pair that static and dynamic WEP share.
    static bool isWepPair(std::int32_t associationMode, std::int32_t encryption) {
        return associationMode == ASSOCIATION_OPEN && encryption == ENCRYPTION_WEP;
    }
    // The association held by an element of a list; empty, after an assertion, for anything else.
    static Association fromElement(ElementInterface* p);

    Association() = default;

    // Each asserts that the handle holds a pair and gives 0 when it does not.
    std::int32_t getAssociationMode() const;
    std::int32_t getEncryption() const;
    // Named "open1xDynamicWep" rather than "openStaticWep" where it was read.
    bool isDynamicWep() const;

private:
    Association(AssociationImpl* p, Reference::TakeOver) : Reference(p, Reference::TAKE_OVER) {}
    explicit Association(AssociationImpl* p) : Reference(p) {}
    const AssociationImpl* impl() const {
        return static_cast<const AssociationImpl*>(static_cast<ReferenceImpl*>(m));
    }
};
