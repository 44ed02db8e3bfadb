#include "vel/port/PortCredentialRequestEvents.h"

#include "runtime/lum/Log.h"
#include "vel/adapter/AdapterSubscriber.h"
#include "vel/port/PortManager.h"

namespace {

// Every subscriber of the adapter that has a credential responder for it gets the request.
template <typename Deliver>
void toResponders(const VelAdapter& adapter, Deliver deliver) {
    for (const Reference& subscriber : adapter.subscribers()) {
        CredentialResponderInterface* responder =
            static_cast<AdapterSubscriberInterface*>(subscriber.m)->credentialResponderForAdapter(adapter);
        if (responder != nullptr) deliver(responder);
    }
}

}  // namespace

PortCredentialEventImpl::PortCredentialEventImpl(const VelAdapter& adapter, PortManagerImpl* portManager,
                                                 std::int32_t generation, const Reference& request)
    : m_adapter(adapter), m_portManager(portManager), m_generation(generation), m_request(request) {}

void PortCredentialEventImpl::run() {
    const char* dropped = droppedLine();
    if (dropped != nullptr && m_portManager.get()->isStale(m_generation)) {
        logInfo(1290, dropped, m_adapter.impl()->symbolicName().text());
        return;
    }
    toResponders(m_adapter, [this](CredentialResponderInterface* responder) { deliver(responder); });
}

PortCredentialRequestCanceledImpl::PortCredentialRequestCanceledImpl(const VelAdapter& adapter,
                                                                     PortManagerImpl* portManager,
                                                                     std::int32_t generation,
                                                                     const Reference& request)
    : PortCredentialEventImpl(adapter, portManager, generation, request) {
    logDebug("Creating PortCredentialRequestCanceledEvent");
}

void PortCredentialRequestCanceledImpl::run() {
    toResponders(m_adapter, [this](CredentialResponderInterface* responder) {
        logDebug("Sending credcanceled to subscribers");
        deliver(responder);
    });
}

void PortCredentialRequestCanceledImpl::deliver(CredentialResponderInterface* responder) {
    responder->requestCredCanceled(m_request);
}

void PortCredentialRequestSessionStartImpl::deliver(CredentialResponderInterface* responder) {
    responder->requestSessionStart(m_request, m_eapMethod);
}

void PortCredentialRequestIdentityImpl::deliver(CredentialResponderInterface* responder) {
    responder->requestIdentity(m_request, m_level, m_value, m_flag, m_prompt);
}

void PortCredentialRequestMachineIdentityImpl::deliver(CredentialResponderInterface* responder) {
    responder->requestMachineIdentity(m_request, m_level, m_value, m_flag);
}

const char* PortCredentialRequestEapTypesImpl::droppedLine() const {
    return m_kind == EAP_METHODS ? "%s Eap methods dropped" : "%s User certificate dropped";
}

void PortCredentialRequestEapTypesImpl::deliver(CredentialResponderInterface* responder) {
    if (m_kind == EAP_METHODS) {
        responder->requestEapMethods(m_request, m_eapTypes);
    } else {
        responder->requestUserCertificate(m_request, m_eapTypes);
    }
}

const char* PortCredentialRequestPasswordImpl::droppedLine() const {
    switch (m_kind) {
        case PASSWORD:
            return "%s Password dropped";
        case PASSWORD_CHANGE:
            return "%s Password Change dropped";
        default:
            return "%s Password Retry dropped";
    }
}

void PortCredentialRequestPasswordImpl::deliver(CredentialResponderInterface* responder) {
    switch (m_kind) {
        case PASSWORD:
            responder->requestPassword(m_request, m_prompt, m_eapTypes);
            break;
        case PASSWORD_CHANGE:
            responder->requestPasswordChange(m_request, m_prompt);
            break;
        default:
            responder->requestPasswordRetry(m_request, m_prompt);
            break;
    }
}

PortCredentialRequestServerVerificationImpl::~PortCredentialRequestServerVerificationImpl() {
    if (m_certificate == 0) return;
    int result = qxCertDestroy(&m_certificate);
    if (result != QX_OK) logDebug("qxCertDestroy of the server's certificate failed: %d", result);
}

void PortCredentialRequestServerVerificationImpl::deliver(CredentialResponderInterface* responder) {
    responder->requestServerVerify(m_request, m_certificate, m_eapTypes, m_chainIsValid);
}

const char* PortCredentialRequestFastImpl::droppedLine() const {
    switch (m_kind) {
        case TTLS_METHOD:
            return "%s TTLS method dropped";
        case FAST_PAC:
            return "%s FAST PAC dropped";
        case FAST_PAC_TYPES:
            return "%s Pac Types dropped";
        default:
            return "%s FAST Provision modes dropped";
    }
}

void PortCredentialRequestFastImpl::deliver(CredentialResponderInterface* responder) {
    switch (m_kind) {
        case TTLS_METHOD:
            responder->requestTtlsTunnelMethod(m_request);
            break;
        case FAST_PAC:
            responder->requestEapFastPac(m_request, m_aid);
            break;
        case FAST_PAC_TYPES:
            responder->requestEapFastPacTypes(m_request, m_aid);
            break;
        default:
            responder->requestEapFastProvisionModes(m_request);
            break;
    }
}

void PortCredentialRequestEapFastPacSaveImpl::deliver(CredentialResponderInterface* responder) {
    responder->handleAuthenticationNotification(m_request, m_pac);
}
