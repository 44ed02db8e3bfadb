#pragma once
// One allowed EAP method of the network policy: an authentication type code.
#include <cstdint>

#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

class EapMethodImpl : public ReferenceImpl {
public:
    explicit EapMethodImpl(std::int32_t authenticationType) : m_authenticationType(authenticationType) {}

    std::int32_t m_authenticationType;
};

class EapMethod : public Reference {
public:
    EapMethod() = default;
    static EapMethod create(std::int32_t authenticationType) {
        return EapMethod(new EapMethodImpl(authenticationType));
    }

    std::int32_t authenticationType() const { return impl()->m_authenticationType; }

    EapMethodImpl* impl() const { return static_cast<EapMethodImpl*>(static_cast<ReferenceImpl*>(m)); }

private:
    explicit EapMethod(EapMethodImpl* created) : Reference(created, Reference::TAKE_OVER) {}
};
