#pragma once
// What the administrator lets the user do: which media may be used, whether a VPN may be started
// and whether a network's script may run after it connected.
#include <cstdint>

#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

class UserControlPolicyImpl : public ReferenceImpl {
public:
    std::uint8_t m_allowWireless = 1;
    std::uint8_t m_allowWired = 1;
    std::uint8_t m_allowVpn = 1;
    std::uint8_t m_allowRunScriptAfterConnect = 0;
};

class UserControlPolicy : public Reference {
public:
    UserControlPolicy() = default;
    static UserControlPolicy create() {
        UserControlPolicy policy;
        static_cast<Reference&>(policy) = Reference(new UserControlPolicyImpl, Reference::TAKE_OVER);
        return policy;
    }

    bool allowWireless() const { return impl()->m_allowWireless != 0; }
    void setAllowWireless(bool allow) const { impl()->m_allowWireless = allow; }
    bool allowWired() const { return impl()->m_allowWired != 0; }
    void setAllowWired(bool allow) const { impl()->m_allowWired = allow; }
    bool allowVpn() const { return impl()->m_allowVpn != 0; }
    void setAllowVpn(bool allow) const { impl()->m_allowVpn = allow; }
    bool allowRunScriptAfterConnect() const { return impl()->m_allowRunScriptAfterConnect != 0; }
    void setAllowRunScriptAfterConnect(bool allow) const { impl()->m_allowRunScriptAfterConnect = allow; }

    UserControlPolicyImpl* impl() const {
        return static_cast<UserControlPolicyImpl*>(static_cast<ReferenceImpl*>(m));
    }
};
