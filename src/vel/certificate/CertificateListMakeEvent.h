#pragma once
// Building the certificate list of new stores off the engine thread: the make event enumerates
// the stores on the worker queue and makes a handle and the X.509 properties of each certificate;
// the done event hands the result back to its subscriber on the engine event queue.
#include <vector>

#include "vel/certificate/Certificate.h"
#include "vel/multithread/MessageEvent.h"

class CertificateListEventSubscriberInterface : public ElementInterface {
public:
    virtual void certificateListDone(int updateNumber, const std::vector<CertificateStore>& stores,
                                     const std::vector<Certificate>& certificates) = 0;
};

class CertificateListMakeEventImpl : public MessageEventImpl {
public:
    // subscriberNumber: how the log lines name the subscriber.
    CertificateListMakeEventImpl(CertificateListEventSubscriberInterface* subscriber, int subscriberNumber,
                                 int updateNumber, std::vector<CertificateStore> stores);

    void run() override;
    // The certificates of the stores, each hash once, with handles and properties.
    std::vector<Certificate> build() const;

private:
    Reference m_subscriber;  // keeps m_interface alive
    CertificateListEventSubscriberInterface* m_interface;
    int m_subscriberNumber;
    int m_updateNumber;
    std::vector<CertificateStore> m_stores;
};

class CertificateListDoneEventImpl : public MessageEventImpl {
public:
    CertificateListDoneEventImpl(CertificateListEventSubscriberInterface* subscriber, int updateNumber,
                                 std::vector<CertificateStore> stores, std::vector<Certificate> certificates);

    void run() override;

private:
    Reference m_subscriber;  // keeps m_interface alive
    CertificateListEventSubscriberInterface* m_interface;
    int m_updateNumber;
    std::vector<CertificateStore> m_stores;
    std::vector<Certificate> m_certificates;
};
