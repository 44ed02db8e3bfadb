#pragma once
// The port over the authentication library: owns the library's port and EAP handles of one
// adapter and receives the library's two callbacks for them.
#include "runtime/multithread/RuntimeMutex.h"
#include "vel/port/NvoPort.h"

class RealNvoPortImpl : public NvoPortImpl {
public:
    RealNvoPortImpl();
    ~RealNvoPortImpl() override;

    // Asserts that the port is detached ("m_qxPort == null") and drops the port manager.
    void clearReferences() override;

    std::int32_t adhoc(const QX_ADHOC& record) override;
    std::int32_t associate(const QX_ASSOCIATE& record) override;
    std::int32_t disassociate() override;
    std::int32_t radioOff() override;
    std::int32_t radioOn() override;
    bool isRadioOn() override;
    std::int32_t getEapFastAid(std::int32_t sync, std::uint8_t* buffer, std::int32_t* aidLen) override;
    std::int32_t getEapFastMode(std::int32_t sync, std::int32_t* mode) override;
    std::int32_t getEapFastPacAid(std::int32_t sync, std::uint8_t* buffer, std::int32_t* aidLen) override;
    std::int32_t getEapFastPacAidInfo(std::int32_t sync, char* buffer, std::int32_t* aidInfoLen) override;
    std::int32_t getEapFastPacIid(std::int32_t sync, char* buffer, std::int32_t* iidLen) override;
    std::int32_t getEapFastPacKey(std::int32_t sync, std::uint8_t* buffer, std::int32_t* keyLen) override;
    std::int32_t getEapFastPacLifetime(std::int32_t sync, std::int32_t* time) override;
    std::int32_t getEapFastPacOpaque(std::int32_t sync, std::uint8_t* buffer,
                                     std::int32_t* opaqueLen) override;
    std::int32_t getEapFastPacType(std::int32_t sync, std::int32_t* type) override;
    std::int32_t getEapMethod(std::int32_t sync, QX_EAP_METHOD* method, std::int32_t level) override;
    std::int32_t getIdentityPrompt(std::int32_t sync, char* buffer, std::int32_t* promptLen) override;
    std::int32_t getPasswordPrompt(std::int32_t sync, char* buffer, std::int32_t* promptLen) override;
    std::int32_t serverGetCert(std::int32_t sync, QX_HANDLE* certH) override;
    std::int32_t serverVerifyChain(std::int32_t sync, std::int32_t* chainIsValid) override;
    std::int32_t serverVerifyCa(std::int32_t sync, QX_HANDLE certificate,
                                std::int32_t* certIsInTheServerChain) override;
    std::int32_t credComplete(std::int32_t sync, std::int32_t noResponse) override;
    std::int32_t credDeferred(std::int32_t sync) override;
    std::int32_t eapCreate() override;
    std::int32_t eapDestroy() override;
    std::int32_t attach(const Ascii& adapterName) override;
    std::int32_t detach() override;
    std::int32_t rsnProbeIeVerifyEnable(std::int32_t value) override;
    std::int32_t credEapMethods(std::int32_t sync, std::int32_t count, const QX_EAP_METHOD* methods) override;
    std::int32_t credEapTtlsTunnelMethod(std::int32_t sync, std::int32_t method) override;
    std::int32_t credIdentity(std::int32_t sync, QX_HANDLE identity) override;
    std::int32_t credPassword(std::int32_t sync, QX_HANDLE password) override;
    std::int32_t credSessionStart(std::int32_t sync, std::int32_t value) override;
    std::int32_t credEapFastPac(std::int32_t sync, QX_HANDLE pac) override;
    std::int32_t credEapFastProvisionModes(std::int32_t sync, const std::int32_t* modes,
                                           std::int32_t count) override;
    std::int32_t credMachineIdentity(std::int32_t sync, QX_HANDLE identity) override;
    std::int32_t credServerVerified(std::int32_t sync, std::int32_t verified) override;
    std::int32_t credUserCert(std::int32_t sync, QX_HANDLE certificate) override;
    std::int32_t credEapFastPacTypes(std::int32_t sync, const std::int32_t* types,
                                     std::int32_t count) override;
    std::int32_t set8021xCfg(const QX_8021X_CFG& settings) override;
    std::int32_t credRsnPsk(QX_HANDLE key) override;
    std::int32_t credCertStore(const QX_HANDLE* stores, std::int32_t count) override;
    std::int32_t auth(std::int32_t type) override;
    std::int32_t ssidScan() override;
    std::int32_t getSsidList(const Ascii& adapterName, void* buffer, std::int32_t* length) override;
    std::int32_t getAssociationInfo(QX_ASSOCIATION_INFO* info) override;
    std::int32_t getLinkSpeed(std::int32_t* kbps) override;
    std::int32_t getLinkState(std::int32_t* state) override;
    std::int32_t getAttributes(const Ascii& adapterName, QX_PORT_ATTR* attributes) override;
    std::int32_t getLocation(const QX_LOCATION_QUERY& query) override;
    std::int32_t authReset() override;

    // The library's callbacks; the context is the port.
    static void eapCallback(void* context, int type, void* data);
    static void portCallback(void* context, int type, const void* data, int length);

private:
    // The result of a failed precondition: no library call is made.
    static constexpr std::int32_t PRECONDITION_FAILED = QX_ERR_INV_PARAM;

    QX_PORT m_qxPort = nullptr;
    QX_EAP m_qxEap = nullptr;
    // Orders handle teardown against callback delivery.
    RuntimeMutex m_mutex;
    std::int32_t m_radio = 1;
};
