#pragma once
// The one way from the engine into the authentication library's port and EAP instance of an
// adapter: an operation per library call, each making exactly that call and returning the
// library's result unread. The only policies here are the radio block on (dis)association, the
// inverted probe-element flag and the authentication mode of a type.
#include <cstdint>

#include "platform/qxauth/qxAuth.h"
#include "vel/port/PortManagerProxy.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"

class NvoPortImpl : public ReferenceImpl {
public:
    // Drops the port manager.
    void clearReferences() override;
    // Replaces the port manager (which must exist: "portManager.m").
    void setPortManager(const PortManagerProxy& portManager);

    virtual std::int32_t adhoc(const QX_ADHOC& record) = 0;
    virtual std::int32_t associate(const QX_ASSOCIATE& record) = 0;
    virtual std::int32_t disassociate() = 0;
    virtual std::int32_t radioOff() = 0;
    virtual std::int32_t radioOn() = 0;
    virtual bool isRadioOn() = 0;
    virtual std::int32_t getEapFastAid(std::int32_t sync, std::uint8_t* buffer, std::int32_t* aidLen) = 0;
    virtual std::int32_t getEapFastMode(std::int32_t sync, std::int32_t* mode) = 0;
    virtual std::int32_t getEapFastPacAid(std::int32_t sync, std::uint8_t* buffer, std::int32_t* aidLen) = 0;
    virtual std::int32_t getEapFastPacAidInfo(std::int32_t sync, char* buffer, std::int32_t* aidInfoLen) = 0;
    virtual std::int32_t getEapFastPacIid(std::int32_t sync, char* buffer, std::int32_t* iidLen) = 0;
    virtual std::int32_t getEapFastPacKey(std::int32_t sync, std::uint8_t* buffer, std::int32_t* keyLen) = 0;
    virtual std::int32_t getEapFastPacLifetime(std::int32_t sync, std::int32_t* time) = 0;
    virtual std::int32_t getEapFastPacOpaque(std::int32_t sync, std::uint8_t* buffer,
                                             std::int32_t* opaqueLen) = 0;
    virtual std::int32_t getEapFastPacType(std::int32_t sync, std::int32_t* type) = 0;
    virtual std::int32_t getEapMethod(std::int32_t sync, QX_EAP_METHOD* method, std::int32_t level) = 0;
    virtual std::int32_t getIdentityPrompt(std::int32_t sync, char* buffer, std::int32_t* promptLen) = 0;
    virtual std::int32_t getPasswordPrompt(std::int32_t sync, char* buffer, std::int32_t* promptLen) = 0;
    virtual std::int32_t serverGetCert(std::int32_t sync, QX_HANDLE* certH) = 0;
    virtual std::int32_t serverVerifyChain(std::int32_t sync, std::int32_t* chainIsValid) = 0;
    virtual std::int32_t serverVerifyCa(std::int32_t sync, QX_HANDLE certificate,
                                        std::int32_t* certIsInTheServerChain) = 0;
    virtual std::int32_t credComplete(std::int32_t sync, std::int32_t noResponse) = 0;
    virtual std::int32_t credDeferred(std::int32_t sync) = 0;
    virtual std::int32_t eapCreate() = 0;
    virtual std::int32_t eapDestroy() = 0;
    virtual std::int32_t attach(const Ascii& adapterName) = 0;
    virtual std::int32_t detach() = 0;
    virtual std::int32_t rsnProbeIeVerifyEnable(std::int32_t value) = 0;
    virtual std::int32_t credEapMethods(std::int32_t sync, std::int32_t count,
                                        const QX_EAP_METHOD* methods) = 0;
    virtual std::int32_t credEapTtlsTunnelMethod(std::int32_t sync, std::int32_t method) = 0;
    virtual std::int32_t credIdentity(std::int32_t sync, QX_HANDLE identity) = 0;
    virtual std::int32_t credPassword(std::int32_t sync, QX_HANDLE password) = 0;
    virtual std::int32_t credSessionStart(std::int32_t sync, std::int32_t value) = 0;
    virtual std::int32_t credEapFastPac(std::int32_t sync, QX_HANDLE pac) = 0;
    virtual std::int32_t credEapFastProvisionModes(std::int32_t sync, const std::int32_t* modes,
                                                   std::int32_t count) = 0;
    virtual std::int32_t credMachineIdentity(std::int32_t sync, QX_HANDLE identity) = 0;
    virtual std::int32_t credServerVerified(std::int32_t sync, std::int32_t verified) = 0;
    virtual std::int32_t credUserCert(std::int32_t sync, QX_HANDLE certificate) = 0;
    virtual std::int32_t credEapFastPacTypes(std::int32_t sync, const std::int32_t* types,
                                             std::int32_t count) = 0;
    virtual std::int32_t set8021xCfg(const QX_8021X_CFG& settings) = 0;
    virtual std::int32_t credRsnPsk(QX_HANDLE key) = 0;
    virtual std::int32_t credCertStore(const QX_HANDLE* stores, std::int32_t count) = 0;
    virtual std::int32_t auth(std::int32_t type) = 0;
    virtual std::int32_t ssidScan() = 0;
    virtual std::int32_t getSsidList(const Ascii& adapterName, void* buffer, std::int32_t* length) = 0;
    virtual std::int32_t getAssociationInfo(QX_ASSOCIATION_INFO* info) = 0;
    virtual std::int32_t getLinkSpeed(std::int32_t* kbps) = 0;
    virtual std::int32_t getLinkState(std::int32_t* state) = 0;
    virtual std::int32_t getAttributes(const Ascii& adapterName, QX_PORT_ATTR* attributes) = 0;
    virtual std::int32_t getLocation(const QX_LOCATION_QUERY& query) = 0;
    virtual std::int32_t authReset() = 0;

protected:
    PortManagerProxy m_portManager;
};

// The port of one port manager: makes its one production implementation and forwards to it.
class NvoPort : public Reference {
public:
    // A new RealNvoPortImpl.
    NvoPort();
    // Takes over an implementation of the caller's (tests record calls with one).
    explicit NvoPort(NvoPortImpl* p) : Reference(p, Reference::TAKE_OVER) {}

    NvoPortImpl* operator->() const { return impl(); }
    NvoPortImpl* impl() const { return static_cast<NvoPortImpl*>(static_cast<ReferenceImpl*>(m)); }
    void setPortManager(const PortManagerProxy& portManager) const { impl()->setPortManager(portManager); }
};
