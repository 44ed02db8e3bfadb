#pragma once

#include "vel/credmgr/Credential.h"
#include "vel/reference/Proxy.h"

// A credential that may be missing; exists() must be asked before it is taken.
class CredentialProxy : public Proxy {
public:
    CredentialProxy() = default;
    explicit CredentialProxy(const Credential& credential) : Proxy(credential) {}

    // Asserts that exists() was asked.
    Credential credential() const;
};
