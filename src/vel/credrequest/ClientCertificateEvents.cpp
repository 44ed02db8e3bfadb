#include "vel/credrequest/ClientCertificateEvents.h"

#include "runtime/lum/Log.h"
#include "vel/certificate/CertificateConstants.h"
#include "vel/certificate/ClientCertificates.h"
#include "vel/multithread/EventQueue.h"

using C = CertificateConstants;
using Source = ClientCertificateSource;

UserImpersonation::~UserImpersonation() {
    if (m_active) m_token.revert();
}

bool UserImpersonation::userLoggedOn() const {
    winfile::HANDLE token = nullptr;
    std::uint32_t processId = 0;
    return m_logon != nullptr && m_logon->userToken(&token, &processId);
}

bool UserImpersonation::begin() {
    if (m_active) return true;
    winfile::HANDLE token = nullptr;
    std::uint32_t processId = 0;
    if (m_logon == nullptr || !m_logon->userToken(&token, &processId)) return false;
    // A copy of the user's token of this thread's own.
    m_token.setUserToken(token, processId);
    m_token.impersonate();
    m_active = m_token.isImpersonating();
    return m_active;
}

ClientCertificateCompletionRequestEventImpl::ClientCertificateCompletionRequestEventImpl(
    ClientCertificateHandlerInterface* network, LogonUserTokenInterface* logon,
    const Certificate& certificate, const Ascii& pin, const CertificateStore& extraStore)
    : m_networkReference(network),
      m_network(network),
      m_logonReference(logon, Reference::NULLABLE),
      m_logon(logon),
      m_certificate(certificate),
      m_pin(pin),
      m_extraStore(extraStore) {}

int ClientCertificateCompletionRequestEventImpl::complete(UserImpersonation& user) {
    const Certificate& certificate = m_certificate;
    if (certificate.handle() != 0 && certificate.isPrivateKeyLoaded() && certificate.hasCompleteChain()) {
        logInfo(0, "Client certificate has already been completed");
        return C::OK;
    }
    const CertificateStore store = certificate.store();
    if (store.isUserStore()) user.begin();
    if (certificate.handle() == 0) {
        logInfo(0, "Creating client certificate handle...");
        int status = certificate.createHandle();
        bool made = status == C::OK && certificate.handle() != 0;
        logInfo(0, "Client certificate handle has%s been created", made ? "" : " not");
        if (status != C::OK) return status;
        // Nothing to build on without a handle.
        if (!made) return C::ERR_NO_HANDLE;
    }
    if (!certificate.hasX509()) {
        logInfo(0, "Populating client certificate X509 properties...");
        certificate.populateX509();
        logInfo(0, "Client certificate X509 properties have been populated");
    }
    if (!certificate.isPrivateKeyLoaded()) {
        logInfo(0, m_pin.length() == 0 ? "Loading client certificate private key..."
                                       : "Loading client certificate private key with PIN...");
        int status = certificate.loadPrivateKey(m_pin);
        logInfo(0, "Client certificate private key has%s been loaded", status == C::OK ? "" : " not");
        if (status != C::OK) return status;
    }
    if (certificate.hasCompleteChain()) return C::OK;
    if (store.type() == C::STORE_SMART_CARD && !user.active() && user.userLoggedOn()) user.begin();
    logInfo(0, "Building client certificate chain");
    std::vector<CertificateStore> stores;
    if (!m_extraStore.isNull()) stores.push_back(m_extraStore);
    if ((store.type() == C::STORE_SMART_CARD || store.type() == C::STORE_USER_PERSONAL) && user.active()) {
        stores.push_back(CertificateStore::userRootCa());
        stores.push_back(CertificateStore::userIntermediateCa());
        stores.push_back(CertificateStore::userPersonal());
    }
    stores.push_back(CertificateStore::machineRootCa());
    stores.push_back(CertificateStore::machineIntermediateCa());
    stores.push_back(CertificateStore::machinePersonal());
    int status = certificate.loadChain(stores);
    if (status != C::OK) {
        logInfo(0, "Client certificate chain has not been built");
    } else {
        logInfo(0, "%s client certificate chain has been built",
                certificate.hasCompleteChain() ? "Complete" : "Incomplete");
    }
    return status;
}

void ClientCertificateCompletionRequestEventImpl::run() {
    int status;
    {
        // The impersonation ends with the preparation.
        UserImpersonation user(m_logon);
        status = complete(user);
    }
    EventQueue::Instance().post(
        MessageEvent(new ClientCertificateCompletedEventImpl(m_network, m_certificate, status)));
}

int CertificateListEventImpl::certificateSource(int source) {
    switch (source) {
        case 1:
            return Source::SMART_CARDS;
        case 2:
            return Source::OS_USER;
        case 3:
            return Source::OS_USER_OR_SMART_CARDS;
        default:
            return Source::NONE;
    }
}

const char* CertificateListEventImpl::sourceName(int certificateSource) {
    static const char* const NAMES[] = {"None", "SmartCards", "OsUser", "OsMachine", "OsUserOrSmartCards"};
    if (certificateSource < 0 || certificateSource > 4) return "<unknown>";
    return NAMES[certificateSource];
}

void CertificateListEventImpl::run() {
    const int source = certificateSource(m_source);
    logInfo(0, "Creating certificate list from %s", sourceName(source));
    std::vector<Certificate> list;
    {
        UserImpersonation user(m_logon);
        if (source == Source::OS_USER || source == Source::OS_USER_OR_SMART_CARDS) user.begin();
        list = selectClientCertificates(collectClientCertificates(source));
    }
    EventQueue::Instance().post(MessageEvent(new CertificateListReadyEventImpl(m_network, std::move(list))));
}
