#pragma once
// The events that carry a credential request from the library's thread to the adapter's
// responders on the engine thread. A request from an earlier attachment or authentication of the
// port is dropped, except a cancel, which always goes out.
#include <cstdint>
#include <vector>

#include "vel/adapter/VelAdapter.h"
#include "vel/credmgr/Credential.h"
#include "vel/multithread/MessageEvent.h"
#include "vel/port/CredentialResponder.h"
#include "vel/port/PortManagerProxy.h"

// The events' common part.
class PortCredentialEventImpl : public MessageEventImpl {
public:
    PortCredentialEventImpl(const VelAdapter& adapter, PortManagerImpl* portManager, std::int32_t generation,
                            const Reference& request);
    void run() override;

protected:
    // The "%s ... dropped" line of the kind; null for a kind that is never dropped.
    virtual const char* droppedLine() const = 0;
    virtual void deliver(CredentialResponderInterface* responder) = 0;

    VelAdapter m_adapter;
    PortManagerProxy m_portManager;
    std::int32_t m_generation;
    Reference m_request;
};

class PortCredentialRequestCanceledImpl : public PortCredentialEventImpl {
public:
    PortCredentialRequestCanceledImpl(const VelAdapter& adapter, PortManagerImpl* portManager,
                                      std::int32_t generation, const Reference& request);
    void run() override;

protected:
    const char* droppedLine() const override { return nullptr; }
    void deliver(CredentialResponderInterface* responder) override;
};

class PortCredentialRequestSessionStartImpl : public PortCredentialEventImpl {
public:
    PortCredentialRequestSessionStartImpl(const VelAdapter& adapter, PortManagerImpl* portManager,
                                          std::int32_t generation, const Reference& request,
                                          std::int32_t eapMethod)
        : PortCredentialEventImpl(adapter, portManager, generation, request), m_eapMethod(eapMethod) {}

protected:
    const char* droppedLine() const override { return "%s Session start dropped"; }
    void deliver(CredentialResponderInterface* responder) override;

private:
    std::int32_t m_eapMethod;
};

// The identity kinds: the request's level, value and flag.
class PortCredentialIdentityEventImpl : public PortCredentialEventImpl {
public:
    PortCredentialIdentityEventImpl(const VelAdapter& adapter, PortManagerImpl* portManager,
                                    std::int32_t generation, const Reference& request, std::int32_t level,
                                    std::int32_t value, bool flag)
        : PortCredentialEventImpl(adapter, portManager, generation, request),
          m_level(level),
          m_value(value),
          m_flag(flag) {}

protected:
    std::int32_t m_level;
    std::int32_t m_value;
    bool m_flag;
};

class PortCredentialRequestIdentityImpl : public PortCredentialIdentityEventImpl {
public:
    PortCredentialRequestIdentityImpl(const VelAdapter& adapter, PortManagerImpl* portManager,
                                      std::int32_t generation, const Reference& request, std::int32_t level,
                                      std::int32_t value, bool flag, const Ascii& prompt)
        : PortCredentialIdentityEventImpl(adapter, portManager, generation, request, level, value, flag),
          m_prompt(prompt) {}

protected:
    const char* droppedLine() const override { return "%s Identity dropped"; }
    void deliver(CredentialResponderInterface* responder) override;

private:
    Ascii m_prompt;
};

class PortCredentialRequestMachineIdentityImpl : public PortCredentialIdentityEventImpl {
public:
    using PortCredentialIdentityEventImpl::PortCredentialIdentityEventImpl;

protected:
    const char* droppedLine() const override { return "%s Machine Identity Request dropped"; }
    void deliver(CredentialResponderInterface* responder) override;
};

// The kinds that carry the EAP types of the request's levels.
class PortCredentialRequestEapTypesImpl : public PortCredentialEventImpl {
public:
    enum Kind { EAP_METHODS, USER_CERTIFICATE };
    PortCredentialRequestEapTypesImpl(const VelAdapter& adapter, PortManagerImpl* portManager,
                                      std::int32_t generation, const Reference& request, Kind kind,
                                      const std::vector<std::int32_t>& eapTypes)
        : PortCredentialEventImpl(adapter, portManager, generation, request),
          m_kind(kind),
          m_eapTypes(eapTypes) {}

protected:
    const char* droppedLine() const override;
    void deliver(CredentialResponderInterface* responder) override;

private:
    Kind m_kind;
    std::vector<std::int32_t> m_eapTypes;
};

class PortCredentialRequestPasswordImpl : public PortCredentialEventImpl {
public:
    // The password request carries the EAP types too; change and retry only the prompt.
    enum Kind { PASSWORD, PASSWORD_CHANGE, PASSWORD_RETRY };
    PortCredentialRequestPasswordImpl(const VelAdapter& adapter, PortManagerImpl* portManager,
                                      std::int32_t generation, const Reference& request, Kind kind,
                                      const Ascii& prompt, const std::vector<std::int32_t>& eapTypes)
        : PortCredentialEventImpl(adapter, portManager, generation, request),
          m_kind(kind),
          m_prompt(prompt),
          m_eapTypes(eapTypes) {}

protected:
    const char* droppedLine() const override;
    void deliver(CredentialResponderInterface* responder) override;

private:
    Kind m_kind;
    Ascii m_prompt;
    std::vector<std::int32_t> m_eapTypes;
};

class PortCredentialRequestServerVerificationImpl : public PortCredentialEventImpl {
public:
    PortCredentialRequestServerVerificationImpl(const VelAdapter& adapter, PortManagerImpl* portManager,
                                                std::int32_t generation, const Reference& request,
                                                QX_HANDLE certificate,
                                                const std::vector<std::int32_t>& eapTypes,
                                                std::int32_t chainIsValid)
        : PortCredentialEventImpl(adapter, portManager, generation, request),
          m_certificate(certificate),
          m_eapTypes(eapTypes),
          m_chainIsValid(chainIsValid) {}
    // The server's certificate handle is the event's: the responders read it only while it is
    // delivered, and a dropped event never hands it out.
    ~PortCredentialRequestServerVerificationImpl() override;

protected:
    const char* droppedLine() const override { return "%s Server verification dropped"; }
    void deliver(CredentialResponderInterface* responder) override;

private:
    QX_HANDLE m_certificate;
    std::vector<std::int32_t> m_eapTypes;
    std::int32_t m_chainIsValid;
};

// The kinds that carry nothing, or the EAP-FAST AID.
class PortCredentialRequestFastImpl : public PortCredentialEventImpl {
public:
    enum Kind { TTLS_METHOD, FAST_PAC, FAST_PAC_TYPES, FAST_PROVISION_MODES };
    PortCredentialRequestFastImpl(const VelAdapter& adapter, PortManagerImpl* portManager,
                                  std::int32_t generation, const Reference& request, Kind kind,
                                  const ByteArray& aid)
        : PortCredentialEventImpl(adapter, portManager, generation, request), m_kind(kind), m_aid(aid) {}

protected:
    const char* droppedLine() const override;
    void deliver(CredentialResponderInterface* responder) override;

private:
    Kind m_kind;
    ByteArray m_aid;
};

class PortCredentialRequestEapFastPacSaveImpl : public PortCredentialEventImpl {
public:
    PortCredentialRequestEapFastPacSaveImpl(const VelAdapter& adapter, PortManagerImpl* portManager,
                                            std::int32_t generation, const Reference& request,
                                            const Credential& pac)
        : PortCredentialEventImpl(adapter, portManager, generation, request), m_pac(pac) {}

protected:
    const char* droppedLine() const override { return "%s PAC save dropped"; }
    void deliver(CredentialResponderInterface* responder) override;

private:
    Credential m_pac;
};
