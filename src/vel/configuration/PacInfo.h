#pragma once
// One trusted EAP-FAST PAC of a method: the PAC as the file gave it (Base64), its secret key text
// and whether it is already a stored credential text, with the PAC credential made from them.
#include <cstdint>

#include "vel/credmgr/Credential.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"

class PacInfoImpl : public ReferenceImpl {
public:
    PacInfoImpl(const Ascii& pacText, const Ascii& secretKey, bool persistent, const Credential& pac)
        : m_pacText(pacText), m_secretKey(secretKey), m_persistent(persistent), m_pac(pac) {}

    Ascii m_pacText;
    Ascii m_secretKey;
    std::uint8_t m_persistent;
    Credential m_pac;
};

class PacInfo : public Reference {
public:
    PacInfo() = default;
    // A persistent PAC is a stored credential text; any other is a PAC file read with the secret
    // key, which raises CredentialException when the file is refused.
    static PacInfo create(const Ascii& pacText, const Ascii& secretKey, bool persistent);

    Ascii pacText() const { return impl()->m_pacText; }
    Ascii secretKey() const { return impl()->m_secretKey; }
    bool isPersistent() const { return impl()->m_persistent != 0; }
    Credential pac() const { return impl()->m_pac; }

    PacInfoImpl* impl() const { return static_cast<PacInfoImpl*>(static_cast<ReferenceImpl*>(m)); }
};
