#pragma once
// One credential request of the authentication library, from its callback until the network that
// answers it lets it go. It defers the library's request at once, sends every answer through the
// port manager's credential answers, remembers whether anything was sent, and completes the
// request exactly once: by complete(), or, when nobody did, with its last release.
#include <cstdint>
#include <vector>

#include "vel/adapter/VelAdapter.h"
#include "vel/credmgr/Credential.h"
#include "vel/credrequest/CredentialAnswers.h"
#include "vel/reference/Reference.h"

class CredentialRequestImpl : public ReferenceImpl {
public:
    CredentialRequestImpl(const VelAdapter& adapter, CredentialAnswersInterface* portManager, int sync,
                          int requestType, int level);
    // The last release completes a request nobody completed.
    ~CredentialRequestImpl() override;

    // Each answer does nothing (0) once the request is completed.
    int sendEapMethods(const std::vector<int>& methods);
    int sendTtlsMethod(int method);
    int sendIdentity(const Credential& identity);
    int sendPassword(const Credential& password);
    // full: no resumption of the session.
    int sendSessionStart(bool full, const CertificateStore& store);
    // Without a PAC the library hears handle 0.
    int sendEapFastPac(const Credential* pac);
    int sendProvisionModes(bool allowUnauthenticated);
    int sendMachineIdentity(const Credential& identity);
    int sendServerVerified(bool verified);
    // Sent only when the certificate has a library handle.
    int sendUserCertificate(const Certificate& certificate);
    int sendEapFastPacTypes(const int* types, int count);
    int serverVerifyCa(const Certificate& certificate);
    void complete(bool responded);

    int sync() const { return m_sync; }
    int requestType() const { return m_requestType; }
    int level() const { return m_level; }
    bool isCompleted() const { return m_completed; }
    bool isAnswered() const { return m_answered; }

private:
    // The answer's result, and the request counts as answered.
    int answered(int result);
    const char* adapterName() const { return m_adapterName.text(); }

    VelAdapter m_adapter;
    Reference m_portManagerReference;  // keeps m_portManager alive
    CredentialAnswersInterface* m_portManager;
    int m_sync;
    int m_requestType;
    int m_level;
    bool m_completed = false;
    bool m_answered;
    Ascii m_adapterName;
};

class CredentialRequest : public Reference {
public:
    CredentialRequest() = default;
    static CredentialRequest create(const VelAdapter& adapter, CredentialAnswersInterface* portManager,
                                    int sync, int requestType, int level);
    // The request a reference holds; a null handle when it holds something else.
    static CredentialRequest of(const Reference& reference);

    CredentialRequestImpl* impl() const {
        return static_cast<CredentialRequestImpl*>(static_cast<ReferenceImpl*>(m));
    }
    CredentialRequestImpl* operator->() const { return impl(); }
};
