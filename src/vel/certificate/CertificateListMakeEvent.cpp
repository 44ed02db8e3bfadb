#include "vel/certificate/CertificateListMakeEvent.h"

#include "runtime/lum/Log.h"
#include "vel/multithread/EventQueue.h"

CertificateListMakeEventImpl::CertificateListMakeEventImpl(
    CertificateListEventSubscriberInterface* subscriber, int subscriberNumber, int updateNumber,
    std::vector<CertificateStore> stores)
    : m_subscriber(subscriber),
      m_interface(subscriber),
      m_subscriberNumber(subscriberNumber),
      m_updateNumber(updateNumber),
      m_stores(std::move(stores)) {}

std::vector<Certificate> CertificateListMakeEventImpl::build() const {
    const int count = static_cast<int>(m_stores.size());
    const char* plural = count == 1 ? "" : "s";
    const int number = m_updateNumber;
    const int subscriber = m_subscriberNumber;
    logInfo(0, "Certificate store enumeration #%d/%d (%d store%s): started...", number, subscriber, count,
            plural);
    std::vector<Certificate> result;
    for (const CertificateStore& store : m_stores) {
        std::vector<Certificate> found = certificates(store);
        logInfo(
            0, "Certificate store enumeration #%d/%d (%d store%s): added %d certificate(s) from store %s(%s)",
            number, subscriber, count, plural, static_cast<int>(found.size()), store.name().text(),
            store.url().text());
        for (const Certificate& certificate : found) {
            bool known = false;
            for (const Certificate& taken : result) known = known || taken.hash() == certificate.hash();
            if (!known) result.push_back(certificate);
        }
    }
    int index = 0;
    for (const Certificate& certificate : result) {
        logInfo(0,
                "Certificate store enumeration #%d/%d (%d store%s): creating handle and populating X509 "
                "properties for certificate #%d (%s) located in store %s(%s)",
                number, subscriber, count, plural, index++, certificate.hash().toHex().text(),
                certificate.store().name().text(), certificate.store().url().text());
        certificate.createHandle();
        certificate.populateX509();
    }
    logInfo(0, "Certificate store enumeration #%d/%d (%d store%s): ...completed. (%d certificates).", number,
            subscriber, count, plural, static_cast<int>(result.size()));
    return result;
}

void CertificateListMakeEventImpl::run() {
    std::vector<Certificate> result = build();
    EventQueue::Instance().post(MessageEvent(
        new CertificateListDoneEventImpl(m_interface, m_updateNumber, m_stores, std::move(result))));
}

CertificateListDoneEventImpl::CertificateListDoneEventImpl(
    CertificateListEventSubscriberInterface* subscriber, int updateNumber,
    std::vector<CertificateStore> stores, std::vector<Certificate> certificates)
    : m_subscriber(subscriber),
      m_interface(subscriber),
      m_updateNumber(updateNumber),
      m_stores(std::move(stores)),
      m_certificates(std::move(certificates)) {}

void CertificateListDoneEventImpl::run() {
    m_interface->certificateListDone(m_updateNumber, m_stores, m_certificates);
}
