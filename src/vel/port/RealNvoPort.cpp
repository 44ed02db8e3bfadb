#include "vel/port/RealNvoPort.h"

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/port/PortManager.h"

// A failed precondition is reported and the operation returns without calling the library.
#define REQUIRE(condition, text) \
    if (!LUM_ASSERT_TEXT(condition, text)) return PRECONDITION_FAILED

#define REQUIRE_PORT() REQUIRE(m_qxPort != nullptr, "m_qxPort")
#define REQUIRE_EAP() REQUIRE(m_qxEap != nullptr, "m_qxEap")

namespace {

// Library authentication modes by authentication type: 1 (no authentication needed) opens the
// port, 2 closes it, any other type runs 802.1X.
std::int32_t authModeOf(std::int32_t type) {
    if (type == 1) return QX_PORT_AUTH_OPEN;
    if (type == 2) return QX_PORT_AUTH_CLOSED;
    return QX_PORT_AUTH_8021X;
}

}  // namespace

void NvoPortImpl::clearReferences() {
    m_portManager.clear();
}

void NvoPortImpl::setPortManager(const PortManagerProxy& portManager) {
    LUM_ASSERT_TEXT(!portManager.m.isNull(), "portManager.m");
    m_portManager = portManager;
}

NvoPort::NvoPort() : Reference(new RealNvoPortImpl, Reference::TAKE_OVER) {}

RealNvoPortImpl::RealNvoPortImpl() {
    m_mutex.open();
}

RealNvoPortImpl::~RealNvoPortImpl() {
    m_mutex.close();
}

void RealNvoPortImpl::clearReferences() {
    LUM_ASSERT_TEXT(m_qxPort == nullptr, "m_qxPort == null");
    NvoPortImpl::clearReferences();
}

std::int32_t RealNvoPortImpl::adhoc(const QX_ADHOC& record) {
    REQUIRE_PORT();
    return qxPortAdhoc(m_qxPort, &record);
}

std::int32_t RealNvoPortImpl::associate(const QX_ASSOCIATE& record) {
    REQUIRE_PORT();
    if (m_radio != 1) {
        logInfo(1201, "::qxPortAssociate() - Cmd Blocked - Radio is Disabled");
        return QX_OK;
    }
    return qxPortAssociate(m_qxPort, &record);
}

std::int32_t RealNvoPortImpl::disassociate() {
    REQUIRE_PORT();
    if (m_radio != 1) {
        logInfo(1202, "::qxPortDisassociate() - Cmd Blocked - Radio is Disabled");
        return QX_OK;
    }
    return qxPortDisassociate(m_qxPort);
}

std::int32_t RealNvoPortImpl::radioOff() {
    REQUIRE_PORT();
    m_radio = 0;
    return qxPortRadioOff(m_qxPort);
}

std::int32_t RealNvoPortImpl::radioOn() {
    m_radio = 1;
    // The library has no radio-on call: a disassociation switches the radio back on, and what it
    // answers does not change that the radio is on for the engine.
    qxPortDisassociate(m_qxPort);
    return QX_OK;
}

bool RealNvoPortImpl::isRadioOn() {
    return m_radio == 1;
}

std::int32_t RealNvoPortImpl::getEapFastAid(std::int32_t sync, std::uint8_t* buffer, std::int32_t* aidLen) {
    REQUIRE_EAP();
    REQUIRE(aidLen != nullptr, "aidLen");
    return qxCredGetEapFASTAID(m_qxEap, sync, buffer, aidLen);
}

std::int32_t RealNvoPortImpl::getEapFastMode(std::int32_t sync, std::int32_t* mode) {
    REQUIRE_EAP();
    REQUIRE(mode != nullptr, "mode");
    return qxCredGetEapFASTMode(m_qxEap, sync, mode);
}

std::int32_t RealNvoPortImpl::getEapFastPacAid(std::int32_t sync, std::uint8_t* buffer,
                                               std::int32_t* aidLen) {
    REQUIRE_EAP();
    REQUIRE(aidLen != nullptr, "aidLen");
    return qxCredGetEapFASTPacAID(m_qxEap, sync, buffer, aidLen);
}

std::int32_t RealNvoPortImpl::getEapFastPacAidInfo(std::int32_t sync, char* buffer,
                                                   std::int32_t* aidInfoLen) {
    REQUIRE_EAP();
    REQUIRE(aidInfoLen != nullptr, "aidInfoLen");
    return qxCredGetEapFASTPacAIDInfo(m_qxEap, sync, buffer, aidInfoLen);
}

std::int32_t RealNvoPortImpl::getEapFastPacIid(std::int32_t sync, char* buffer, std::int32_t* iidLen) {
    REQUIRE_EAP();
    REQUIRE(iidLen != nullptr, "iidLen");
    return qxCredGetEapFASTPacIID(m_qxEap, sync, buffer, iidLen);
}

std::int32_t RealNvoPortImpl::getEapFastPacKey(std::int32_t sync, std::uint8_t* buffer,
                                               std::int32_t* keyLen) {
    REQUIRE_EAP();
    REQUIRE(keyLen != nullptr, "keyLen");
    return qxCredGetEapFASTPacKey(m_qxEap, sync, buffer, keyLen);
}

std::int32_t RealNvoPortImpl::getEapFastPacLifetime(std::int32_t sync, std::int32_t* time) {
    REQUIRE_EAP();
    REQUIRE(time != nullptr, "time");
    return qxCredGetEapFASTPacLifeTime(m_qxEap, sync, time);
}

std::int32_t RealNvoPortImpl::getEapFastPacOpaque(std::int32_t sync, std::uint8_t* buffer,
                                                  std::int32_t* opaqueLen) {
    REQUIRE_EAP();
    REQUIRE(opaqueLen != nullptr, "opaqueLen");
    return qxCredGetEapFASTPacOpaque(m_qxEap, sync, buffer, opaqueLen);
}

std::int32_t RealNvoPortImpl::getEapFastPacType(std::int32_t sync, std::int32_t* type) {
    REQUIRE_EAP();
    REQUIRE(type != nullptr, "type");
    return qxCredGetEapFASTPacType(m_qxEap, sync, type);
}

std::int32_t RealNvoPortImpl::getEapMethod(std::int32_t sync, QX_EAP_METHOD* method, std::int32_t level) {
    REQUIRE_EAP();
    REQUIRE(method != nullptr, "method");
    return qxCredGetEapMethod(m_qxEap, sync, method, level);
}

std::int32_t RealNvoPortImpl::getIdentityPrompt(std::int32_t sync, char* buffer, std::int32_t* promptLen) {
    REQUIRE_EAP();
    REQUIRE(promptLen != nullptr, "promptLen");
    return qxCredGetIdentityPrompt(m_qxEap, sync, buffer, promptLen);
}

std::int32_t RealNvoPortImpl::getPasswordPrompt(std::int32_t sync, char* buffer, std::int32_t* promptLen) {
    REQUIRE_EAP();
    REQUIRE(promptLen != nullptr, "promptLen");
    return qxCredGetPasswordPrompt(m_qxEap, sync, buffer, promptLen);
}

std::int32_t RealNvoPortImpl::serverGetCert(std::int32_t sync, QX_HANDLE* certH) {
    REQUIRE_EAP();
    REQUIRE(certH != nullptr, "certH");
    return qxCredServerGetCert(certH, m_qxEap, sync);
}

std::int32_t RealNvoPortImpl::serverVerifyChain(std::int32_t sync, std::int32_t* chainIsValid) {
    REQUIRE_EAP();
    REQUIRE(chainIsValid != nullptr, "chainIsValid");
    return qxCredServerVerifyChain(m_qxEap, sync, chainIsValid);
}

std::int32_t RealNvoPortImpl::serverVerifyCa(std::int32_t sync, QX_HANDLE certificate,
                                             std::int32_t* certIsInTheServerChain) {
    REQUIRE_EAP();
    REQUIRE(certIsInTheServerChain != nullptr, "certIsInTheServerChain");
    return qxCredServerVerifyCA(m_qxEap, sync, certificate, certIsInTheServerChain);
}

std::int32_t RealNvoPortImpl::credComplete(std::int32_t sync, std::int32_t noResponse) {
    REQUIRE_EAP();
    return qxCredComplete(m_qxEap, sync, noResponse);
}

std::int32_t RealNvoPortImpl::credDeferred(std::int32_t sync) {
    REQUIRE_EAP();
    return qxCredDeferred(m_qxEap, sync);
}

std::int32_t RealNvoPortImpl::eapCreate() {
    REQUIRE(m_qxEap == nullptr, "m_qxEap == null");
    return qxEapCreate(&m_qxEap, this, &RealNvoPortImpl::eapCallback);
}

std::int32_t RealNvoPortImpl::eapDestroy() {
    REQUIRE(m_qxEap != nullptr, "m_qxEap != null");
    QX_EAP eap = nullptr;
    {
        RuntimeMutexLock lock(m_mutex);
        eap = m_qxEap;
        m_qxEap = nullptr;
    }
    return qxEapDestroy(&eap);
}

std::int32_t RealNvoPortImpl::attach(const Ascii& adapterName) {
    REQUIRE_EAP();
    REQUIRE(m_qxPort == nullptr, "m_qxPort == null");
    return qxPortAttach(&m_qxPort, adapterName.text(), m_qxEap, this, &RealNvoPortImpl::portCallback);
}

std::int32_t RealNvoPortImpl::detach() {
    REQUIRE_PORT();
    QX_PORT port = nullptr;
    {
        // From here on the port callback finds no handle and forwards nothing.
        RuntimeMutexLock lock(m_mutex);
        port = m_qxPort;
        m_qxPort = nullptr;
    }
    return qxPortDetach(&port);
}

std::int32_t RealNvoPortImpl::rsnProbeIeVerifyEnable(std::int32_t value) {
    REQUIRE_PORT();
    // The engine's value says whether the check is to be skipped.
    return qxRsnProbeIeVerifyEnable(m_qxPort, value == 1 ? 0 : 1);
}

std::int32_t RealNvoPortImpl::credEapMethods(std::int32_t sync, std::int32_t count,
                                             const QX_EAP_METHOD* methods) {
    return qxCredEapMethods(m_qxEap, sync, methods, count);
}

std::int32_t RealNvoPortImpl::credEapTtlsTunnelMethod(std::int32_t sync, std::int32_t method) {
    return qxCredEapTTLSTunnelMethod(m_qxEap, sync, method);
}

std::int32_t RealNvoPortImpl::credIdentity(std::int32_t sync, QX_HANDLE identity) {
    return qxCredIdentity(m_qxEap, sync, identity);
}

std::int32_t RealNvoPortImpl::credPassword(std::int32_t sync, QX_HANDLE password) {
    return qxCredPassword(m_qxEap, sync, password);
}

std::int32_t RealNvoPortImpl::credSessionStart(std::int32_t sync, std::int32_t value) {
    return qxCredSessionStart(m_qxEap, sync, value);
}

std::int32_t RealNvoPortImpl::credEapFastPac(std::int32_t sync, QX_HANDLE pac) {
    return qxCredEapFASTPac(m_qxEap, sync, pac);
}

std::int32_t RealNvoPortImpl::credEapFastProvisionModes(std::int32_t sync, const std::int32_t* modes,
                                                        std::int32_t count) {
    return qxCredEapFASTProvisionModes(m_qxEap, sync, modes, count);
}

std::int32_t RealNvoPortImpl::credMachineIdentity(std::int32_t sync, QX_HANDLE identity) {
    return qxCredMachineIdentity(m_qxEap, sync, identity);
}

std::int32_t RealNvoPortImpl::credServerVerified(std::int32_t sync, std::int32_t verified) {
    return qxCredServerVerified(m_qxEap, sync, verified);
}

std::int32_t RealNvoPortImpl::credUserCert(std::int32_t sync, QX_HANDLE certificate) {
    return qxCredUserCert(m_qxEap, sync, certificate);
}

std::int32_t RealNvoPortImpl::credEapFastPacTypes(std::int32_t sync, const std::int32_t* types,
                                                  std::int32_t count) {
    return qxCredEapFASTPacTypes(m_qxEap, sync, types, count);
}

std::int32_t RealNvoPortImpl::set8021xCfg(const QX_8021X_CFG& settings) {
    REQUIRE_PORT();
    return qx8021xCfg(m_qxPort, &settings);
}

std::int32_t RealNvoPortImpl::credRsnPsk(QX_HANDLE key) {
    return qxCredRsnPsk(m_qxPort, key);
}

std::int32_t RealNvoPortImpl::credCertStore(const QX_HANDLE* stores, std::int32_t count) {
    return qxCredCertStore(m_qxEap, stores, count);
}

std::int32_t RealNvoPortImpl::auth(std::int32_t type) {
    return qxPortAuth(m_qxPort, authModeOf(type));
}

std::int32_t RealNvoPortImpl::ssidScan() {
    return qxPortSsidScan(m_qxPort);
}

std::int32_t RealNvoPortImpl::getSsidList(const Ascii& adapterName, void* buffer, std::int32_t* length) {
    return qxGetPortSsidList(adapterName.text(), buffer, length);
}

std::int32_t RealNvoPortImpl::getAssociationInfo(QX_ASSOCIATION_INFO* info) {
    return qxPortGetAssociationInfo(m_qxPort, info);
}

std::int32_t RealNvoPortImpl::getLinkSpeed(std::int32_t* kbps) {
    return qxPortGetLinkSpeed(m_qxPort, kbps);
}

std::int32_t RealNvoPortImpl::getLinkState(std::int32_t* state) {
    return qxPortGetLinkState(m_qxPort, state);
}

std::int32_t RealNvoPortImpl::getAttributes(const Ascii& adapterName, QX_PORT_ATTR* attributes) {
    return qxGetPortAttr(adapterName.text(), attributes);
}

std::int32_t RealNvoPortImpl::getLocation(const QX_LOCATION_QUERY& query) {
    return qxPortGetLocation(m_qxPort, &query);
}

std::int32_t RealNvoPortImpl::authReset() {
    return qxPortAuthReset(m_qxPort);
}

void RealNvoPortImpl::eapCallback(void* context, int type, void* data) {
    if (!LUM_ASSERT(context) || !LUM_ASSERT(data)) return;
    auto* port = static_cast<RealNvoPortImpl*>(context);
    if (!port->m_portManager.exists()) return;
    if (type == QX_EAP_CB_CRED_REQUEST) {
        auto* req = static_cast<QX_CRED_REQUEST*>(data);
        if (!LUM_ASSERT(req)) return;
        port->m_portManager.get()->credentialCallback(req);
    } else if (type == QX_EAP_CB_STATUS) {
        auto* status = static_cast<int*>(data);
        if (!LUM_ASSERT(status)) return;
        port->m_portManager.get()->eapStatusCallback(status);
    }
}

void RealNvoPortImpl::portCallback(void* context, int type, const void* data, int length) {
    if (!LUM_ASSERT(context)) return;
    auto* port = static_cast<RealNvoPortImpl*>(context);
    RuntimeMutexLock lock(port->m_mutex);
    // Detaching has begun: the notification goes nowhere.
    if (port->m_qxPort == nullptr) return;
    if (!port->m_portManager.exists()) return;
    port->m_portManager.get()->portEventCallback(type, data, length);
}
