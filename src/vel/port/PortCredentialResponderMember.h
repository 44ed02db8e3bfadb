#pragma once
// Turns each credential request of the library into a request object and one event for the
// adapter's responders, after reading what the request needs from the library (prompts, EAP
// methods, PAC fields, the server's certificate). Library thread; it answers nothing itself.
#include <cstdint>
#include <vector>

#include "platform/qxauth/qxAuth.h"
#include "vel/reference/Reference.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"

class PortManagerImpl;
class VelAdapter;

class PortCredentialResponderMember {
public:
    static constexpr std::int32_t INTERNAL_ERROR_NOT_IMPLEMENTED = 168;
    static constexpr std::int32_t INITIAL_EAP_METHOD = 4;
    static constexpr int PROMPT_BYTES = 256;

    // Makes the request object of one library request (the object that answers it).
    using RequestMaker = Reference (*)(const VelAdapter& adapter, PortManagerImpl* portManager,
                                       std::int32_t sync, std::int32_t requestType, std::int32_t level,
                                       std::int32_t value);
    // The engine's maker, set once at start-up; the previous one is returned.
    static RequestMaker setRequestMaker(RequestMaker maker);

    explicit PortCredentialResponderMember(PortManagerImpl* portManager) : m_portManager(portManager) {}

    void credentialRequest(const QX_CRED_REQUEST* qxReq);

    // "QX_CRED_IDENTITY", ..., "unknown".
    static const char* requestTypeName(std::int32_t type);

    bool eapMethodKnown() const { return m_eapMethodKnown; }
    bool unauthenticatedProvisioning() const { return m_unauthenticatedProvisioning; }
    std::int32_t eapMethod() const { return m_eapMethod; }

private:
    std::vector<std::int32_t> eapTypes(std::int32_t sync, std::int32_t level);
    Ascii prompt(std::int32_t sync, bool password);
    ByteArray eapFastAid(std::int32_t sync);
    void postPacSave(std::int32_t sync, const Reference& request, std::int32_t generation);
    void recordEapMethod(std::int32_t sync, std::int32_t type);

    PortManagerImpl* m_portManager;
    bool m_eapMethodKnown = false;
    bool m_unauthenticatedProvisioning = false;
    std::int32_t m_eapMethod = INITIAL_EAP_METHOD;
};
