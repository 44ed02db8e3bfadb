#include "vel/credrequest/CredentialRequest.h"

#include <string>

#include "runtime/lum/Assert.h"
#include "runtime/lum/Log.h"
#include "vel/credmgr/CredentialConstants.h"
#include "vel/enumtostring/EnumConversions.h"
#include "vel/string/TagMacAddr.h"

namespace {

constexpr int MAC_TAG = 0;

bool answeredFromTheStart(int requestType) {
    // Notifications and saves need no answer.
    return requestType == QX_CRED_EAP_NOTIFICATION || requestType == QX_CRED_EAP_FAST_PAC_SAVE ||
           requestType == QX_CRED_EAP_SIM_ALT_IDENTITY_SAVE;
}

}  // namespace

CredentialRequestImpl::CredentialRequestImpl(const VelAdapter& adapter,
                                             CredentialAnswersInterface* portManager, int sync,
                                             int requestType, int level)
    : m_adapter(adapter),
      m_portManagerReference(portManager),
      m_portManager(portManager),
      m_sync(sync),
      m_requestType(requestType),
      m_level(level),
      m_answered(answeredFromTheStart(requestType)),
      m_adapterName(adapter.isNull() ? Ascii("") : adapter.symbolicName()) {
    // The library waits for the answer.
    if (requestType != QX_CRED_CRED_CANCELED) m_portManager->credDeferred(sync);
}

CredentialRequestImpl::~CredentialRequestImpl() {
    complete(false);
}

int CredentialRequestImpl::answered(int result) {
    m_answered = true;
    return result;
}

int CredentialRequestImpl::sendEapMethods(const std::vector<int>& methods) {
    if (m_completed) return 0;
    std::string names;
    std::vector<QX_EAP_METHOD> pairs;
    for (int method : methods) {
        if (!names.empty()) names += ' ';
        names += EnumTable::textOrNumber(EapTypeToText, method);
        pairs.push_back(QX_EAP_METHOD{0, method});
    }
    logInfo(0, "%s: EAP requested by client: %s", adapterName(), names.c_str());
    if (pairs.empty()) return 0;
    return answered(m_portManager->sendEapMethods(m_sync, pairs.data(), static_cast<int>(pairs.size())));
}

int CredentialRequestImpl::sendTtlsMethod(int method) {
    if (m_completed) return 0;
    logInfo(0, "%s: EAP-TTLS method requested by client: %s", adapterName(),
            EnumTable::textOrNumber(TtlsMethodToText, method).c_str());
    return answered(m_portManager->sendTtlsMethod(m_sync, method));
}

int CredentialRequestImpl::sendIdentity(const Credential& identity) {
    if (m_completed) return 0;
    LUM_ASSERT_TEXT(identity.type() == CredentialConstants::TYPE_IDENTITY,
                    "identity.type() == Credential::CredTypeIdentity");
    int result = answered(m_portManager->sendIdentity(m_sync, identity.volatileH()));
    logInfo(0, "%s: Identity sent", adapterName());
    return result;
}

int CredentialRequestImpl::sendPassword(const Credential& password) {
    if (m_completed) return 0;
    LUM_ASSERT_TEXT(password.type() == CredentialConstants::TYPE_PASSWORD,
                    "password.type() == Credential::CredTypePassword");
    int result = answered(m_portManager->sendPassword(m_sync, password.volatileH()));
    TagMacAddr mac(m_adapter.isNull() ? Ascii("") : m_adapter.impl()->macAddress(), MAC_TAG);
    logInfoTagged(Tags(mac), 0, m_level == 0 ? "Password sent" : "Protected password sent.");
    return result;
}

int CredentialRequestImpl::sendSessionStart(bool full, const CertificateStore& store) {
    if (m_completed) return 0;
    int result = answered(m_portManager->sendSessionStart(m_sync, full, store));
    if (!full) logInfo(0, "%s: Allowing session resumption", adapterName());
    return result;
}

int CredentialRequestImpl::sendEapFastPac(const Credential* pac) {
    if (m_completed) return 0;
    return answered(m_portManager->sendEapFastPac(m_sync, pac != nullptr ? pac->volatileH() : 0));
}

int CredentialRequestImpl::sendProvisionModes(bool allowUnauthenticated) {
    if (m_completed) return 0;
    const int modes[] = {QX_FAST_PROVISION_AUTHENTICATED, QX_FAST_PROVISION_UNAUTHENTICATED};
    int result =
        answered(m_portManager->sendEapFastProvisionModes(m_sync, modes, allowUnauthenticated ? 2 : 1));
    if (allowUnauthenticated) logInfo(0, "%s: FAST: unauthenticated provisioning supported", adapterName());
    return result;
}

int CredentialRequestImpl::sendMachineIdentity(const Credential& identity) {
    if (m_completed) return 0;
    int result = answered(m_portManager->sendMachineIdentity(m_sync, identity.volatileH()));
    logInfo(0, "Machine identity sent");
    return result;
}

int CredentialRequestImpl::sendServerVerified(bool verified) {
    if (m_completed) return 0;
    return answered(m_portManager->sendServerVerified(m_sync, verified));
}

int CredentialRequestImpl::sendUserCertificate(const Certificate& certificate) {
    if (m_completed) return 0;
    QX_HANDLE handle = certificate.handle();
    if (handle == 0) return 0;
    int result = answered(m_portManager->sendUserCert(m_sync, handle));
    logInfo(0, "Certificate sent");
    return result;
}

int CredentialRequestImpl::sendEapFastPacTypes(const int* types, int count) {
    if (m_completed) return 0;
    return answered(m_portManager->sendEapFastPacTypes(m_sync, types, count));
}

int CredentialRequestImpl::serverVerifyCa(const Certificate& certificate) {
    if (m_completed) return 0;
    return answered(m_portManager->serverVerifyCa(m_sync, certificate));
}

void CredentialRequestImpl::complete(bool responded) {
    if (m_completed || m_requestType == QX_CRED_CRED_CANCELED) return;
    m_portManager->credComplete(m_sync, responded || m_answered);
    m_completed = true;
}

CredentialRequest CredentialRequest::create(const VelAdapter& adapter,
                                            CredentialAnswersInterface* portManager, int sync,
                                            int requestType, int level) {
    CredentialRequest request;
    static_cast<Reference&>(request) = Reference(
        new CredentialRequestImpl(adapter, portManager, sync, requestType, level), Reference::TAKE_OVER);
    return request;
}

CredentialRequest CredentialRequest::of(const Reference& reference) {
    CredentialRequest request;
    auto* impl = dynamic_cast<CredentialRequestImpl*>(reference.m);
    if (impl != nullptr) static_cast<Reference&>(request) = Reference(static_cast<ReferenceImpl*>(impl));
    return request;
}
