#pragma once
// The optional holder of a credential request.
#include "vel/credrequest/CredentialRequest.h"
#include "vel/reference/HandleOf.h"

class CredentialRequestProxy : public HandleProxy<CredentialRequest> {
public:
    CredentialRequestProxy() = default;
    explicit CredentialRequestProxy(const CredentialRequest& request) { assign(request); }

    // Asserts "credentialRequest.m"; usable at once.
    void assign(const CredentialRequest& request) { hold(request, "credentialRequest.m"); }
    CredentialRequest credentialRequest() const { return held(); }
};
