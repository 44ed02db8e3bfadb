#pragma once
// One association mode with its encryption, as a scanned network offers it or a policy allows
// it; the numbers are those of AssociationModeToText.
#include <cstdint>

#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

class AssociationImpl : public ReferenceImpl {
public:
    AssociationImpl(std::int32_t associationMode, std::int32_t encryption)
        : m_associationMode(associationMode), m_encryption(encryption) {}

    const std::int32_t m_associationMode;
    const std::int32_t m_encryption;
};

class Association : public Reference {
public:
    static Association create(std::int32_t associationMode, std::int32_t encryption);
    // The association held by an element of a list; empty, after an assertion, for anything else.
    static Association fromElement(ElementInterface* p);

    Association() = default;

    // Each asserts that the handle holds a pair and gives 0 when it does not.
    std::int32_t getAssociationMode() const;
    std::int32_t getEncryption() const;

private:
    Association(AssociationImpl* p, Reference::TakeOver) : Reference(p, Reference::TAKE_OVER) {}
    explicit Association(AssociationImpl* p) : Reference(p) {}
    const AssociationImpl* impl() const {
        return static_cast<const AssociationImpl*>(static_cast<ReferenceImpl*>(m));
    }
};
