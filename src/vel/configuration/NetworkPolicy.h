#pragma once
// Which association modes and EAP methods a network may use, as the administrator lists them.
#include "vel/reference/ElementVector.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

class NetworkPolicyImpl : public ReferenceImpl {
public:
    // Association entries.
    ElementVector m_allowedAssociationModes = ElementVector::create();
    // EapMethod entries.
    ElementVector m_allowedEapMethods = ElementVector::create();
};

class NetworkPolicy : public Reference {
public:
    NetworkPolicy() = default;
    static NetworkPolicy create() {
        NetworkPolicy policy;
        static_cast<Reference&>(policy) = Reference(new NetworkPolicyImpl, Reference::TAKE_OVER);
        return policy;
    }

    ElementVector allowedAssociationModes() const { return impl()->m_allowedAssociationModes; }
    ElementVector allowedEapMethods() const { return impl()->m_allowedEapMethods; }

    NetworkPolicyImpl* impl() const {
        return static_cast<NetworkPolicyImpl*>(static_cast<ReferenceImpl*>(m));
    }
};
