#pragma once
// What answers the library's credential requests for an adapter: the network that holds it. Each
// operation receives the request object, through which it answers now or later, and the data the
// port read for it. The adapter's subscribers name it (credentialResponderForAdapter).
#include <cstdint>
#include <vector>

#include "vel/credmgr/Credential.h"
#include "vel/reference/ElementInterface.h"
#include "vel/reference/Reference.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"

class CredentialResponderInterface : public ElementInterface {
public:
    // eapTypes: the EAP type of each level from 0 to the request's level.
    virtual void requestEapMethods(const Reference& request, const std::vector<std::int32_t>& eapTypes) = 0;
    virtual void requestTtlsTunnelMethod(const Reference& request) = 0;
    virtual void requestIdentity(const Reference& request, std::int32_t level, std::int32_t value, bool flag,
                                 const Ascii& prompt) = 0;
    virtual void requestPassword(const Reference& request, const Ascii& prompt,
                                 const std::vector<std::int32_t>& eapTypes) = 0;
    virtual void requestPasswordChange(const Reference& request, const Ascii& prompt) = 0;
    virtual void requestPasswordRetry(const Reference& request, const Ascii& prompt) = 0;
    virtual void requestSessionStart(const Reference& request, std::int32_t eapMethod) = 0;
    virtual void requestEapFastPac(const Reference& request, const ByteArray& aid) = 0;
    virtual void requestEapFastProvisionModes(const Reference& request) = 0;
    // A PAC the server provisioned, to be saved.
    virtual void handleAuthenticationNotification(const Reference& request, const Credential& pac) = 0;
    virtual void requestMachineIdentity(const Reference& request, std::int32_t level, std::int32_t value,
                                        bool flag) = 0;
    // certificate: the library's handle of the server's certificate, destroyed once this returns.
    virtual void requestServerVerify(const Reference& request, QX_HANDLE certificate,
                                     const std::vector<std::int32_t>& eapTypes,
                                     std::int32_t chainIsValid) = 0;
    virtual void requestUserCertificate(const Reference& request,
                                        const std::vector<std::int32_t>& eapTypes) = 0;
    virtual void requestEapFastPacTypes(const Reference& request, const ByteArray& aid) = 0;
    virtual void requestCredCanceled(const Reference& request) = 0;
    // An 802.1X network.
    virtual bool isAuthenticationNetwork() = 0;

protected:
    ~CredentialResponderInterface() = default;
};
