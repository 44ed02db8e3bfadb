#pragma once
// The events that prepare a client certificate and that list the user's certificates. The network
// posts the first of each pair to the worker queue; it runs there, wearing the logged-on user's
// token where a user's store is read, and posts the second to the engine event queue, where the
// network takes the result.
#include <vector>

#include "vel/credrequest/ClientCertificateHandler.h"
#include "vel/multithread/MessageEvent.h"
#include "vel/userimpersonation/ImpersonateUserToken.h"

// The logged-on user's token on the running thread until the holder ends.
class UserImpersonation {
public:
    explicit UserImpersonation(LogonUserTokenInterface* logon) : m_logon(logon) {}
    ~UserImpersonation();
    UserImpersonation(const UserImpersonation&) = delete;
    UserImpersonation& operator=(const UserImpersonation&) = delete;

    // Once: false when there is no user's token to wear.
    bool begin();
    bool active() const { return m_active; }
    bool userLoggedOn() const;

private:
    LogonUserTokenInterface* m_logon;
    ImpersonateUserToken m_token;
    bool m_active = false;
};

class ClientCertificateCompletionRequestEventImpl : public MessageEventImpl {
public:
    ClientCertificateCompletionRequestEventImpl(ClientCertificateHandlerInterface* network,
                                                LogonUserTokenInterface* logon,
                                                const Certificate& certificate, const Ascii& pin,
                                                const CertificateStore& extraStore);
    void run() override;
    // The preparation alone, with its status.
    int complete(UserImpersonation& user);

private:
    Reference m_networkReference;
    ClientCertificateHandlerInterface* m_network;
    Reference m_logonReference;
    LogonUserTokenInterface* m_logon;
    Certificate m_certificate;
    Ascii m_pin;
    CertificateStore m_extraStore;
};

class ClientCertificateCompletedEventImpl : public MessageEventImpl {
public:
    ClientCertificateCompletedEventImpl(ClientCertificateHandlerInterface* network,
                                        const Certificate& certificate, int status)
        : m_networkReference(network), m_network(network), m_certificate(certificate), m_status(status) {}
    void run() override { m_network->clientCertificateCompleted(m_certificate, m_status); }

private:
    Reference m_networkReference;
    ClientCertificateHandlerInterface* m_network;
    Certificate m_certificate;
    int m_status;
};

class CertificateListEventImpl : public MessageEventImpl {
public:
    // source: 1 smart cards, 2 the user's store, 3 either; anything else none.
    CertificateListEventImpl(ClientCertificateHandlerInterface* network, LogonUserTokenInterface* logon,
                             int source)
        : m_networkReference(network),
          m_network(network),
          m_logonReference(logon, Reference::NULLABLE),
          m_logon(logon),
          m_source(source) {}
    void run() override;

    // The certificate source of an event's source number, and its name.
    static int certificateSource(int source);
    static const char* sourceName(int certificateSource);

private:
    Reference m_networkReference;
    ClientCertificateHandlerInterface* m_network;
    Reference m_logonReference;
    LogonUserTokenInterface* m_logon;
    int m_source;
};

class CertificateListReadyEventImpl : public MessageEventImpl {
public:
    CertificateListReadyEventImpl(ClientCertificateHandlerInterface* network,
                                  std::vector<Certificate> certificates)
        : m_networkReference(network), m_network(network), m_certificates(std::move(certificates)) {}
    void run() override { m_network->certificateListReady(m_certificates); }

private:
    Reference m_networkReference;
    ClientCertificateHandlerInterface* m_network;
    std::vector<Certificate> m_certificates;
};
