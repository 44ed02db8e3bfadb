#include "vel/certificate/SmartCardList.h"

#include "runtime/lum/Log.h"
#include "vel/multithread/WorkerQueue.h"
#include "vel/reference/Singleton.h"

std::atomic<SmartCardListImpl*> SmartCardListImpl::Singleton{nullptr};

namespace {

std::atomic<int> g_listNumbers{0};

}  // namespace

SmartCardListImpl::SmartCardListImpl() : m_number(++g_listNumbers) {
    m_lock.open();
}

SmartCardListImpl::~SmartCardListImpl() {
    forgetSingleton(Singleton, this);
    m_lock.close();
}

void SmartCardListImpl::update(const AsciiVector& ids) {
    RuntimeMutexLock lock(m_lock);
    ++m_updateNumber;
    logInfo(0, "Initiating smart card list update #%d (%d -> %d card(s))...", m_updateNumber,
            static_cast<int>(m_cards.size()), ids.length());
    std::vector<CertificateStore> kept;
    int removed = 0;
    for (const CertificateStore& card : m_cards) {
        bool present = false;
        for (std::int32_t i = 0; i < ids.length() && !present; ++i) present = ids.get(i) == card.url();
        if (present) {
            logInfo(0, "Smart card %s(%s) is still inserted", card.name().text(), card.url().text());
            kept.push_back(card);
        } else {
            logInfo(0, "Smart card %s(%s) removed from the list and marked as unusable", card.name().text(),
                    card.url().text());
            card.markUnusable();
            ++removed;
        }
    }
    std::vector<CertificateStore> added;
    for (std::int32_t i = 0; i < ids.length(); ++i) {
        bool known = false;
        for (const CertificateStore& card : m_cards) known = known || card.url() == ids.get(i);
        if (known) continue;
        CertificateStore store = CertificateStore::smartCard(ids.get(i));
        logInfo(0, "Found new smart card %s(%s)", store.name().text(), store.url().text());
        added.push_back(store);
    }
    if (removed == 0) {
        logInfo(0, "No smart card removed.");
    } else {
        logInfo(0, "%d smart card(s) removed and marked as unusable.", removed);
        m_cards = kept;
    }
    for (const Certificate& certificate : m_certificates) {
        if (certificate.isUsable() || certificate.handle() == 0) continue;
        logInfo(0, "Destroying handle for certificate %s on the removed smart card %s(%s)",
                certificate.hash().toHex().text(), certificate.store().name().text(),
                certificate.store().url().text());
        certificate.destroyHandle();
    }
    WorkerQueue::Instance().post(
        MessageEvent(new CertificateListMakeEventImpl(this, m_number, m_updateNumber, std::move(added))));
}

void SmartCardListImpl::certificateListDone(int updateNumber, const std::vector<CertificateStore>& stores,
                                            const std::vector<Certificate>& newCertificates) {
    RuntimeMutexLock lock(m_lock);
    logInfo(0, "...enumeration #%d of %d smart card(s) (%d certificate(s)) completed.", updateNumber,
            static_cast<int>(stores.size()), static_cast<int>(newCertificates.size()));
    if (updateNumber != m_updateNumber) {
        logInfo(0, "...however it is too late now, igrnoring it (current enumeration is #%d).",
                m_updateNumber);
        return;
    }
    for (const CertificateStore& store : stores) {
        m_cards.push_back(store);
        logInfo(0, "Smart card %s(%s) added to the list", store.name().text(), store.url().text());
    }
    std::vector<Certificate> merged = newCertificates;
    int usable = static_cast<int>(newCertificates.size());
    for (const Certificate& old : m_certificates) {
        bool found = false;
        for (const Certificate& fresh : newCertificates) {
            if (!old.equals(fresh)) continue;
            found = true;
            logInfo(0, "%s certificate %s on smart card %s(%s) has reincarnated",
                    old.isUsable() ? "Already usable (!)" : "Previously unusable", old.hash().toHex().text(),
                    old.store().name().text(), old.store().url().text());
            break;
        }
        if (found) continue;
        merged.push_back(old);
        if (old.isUsable()) ++usable;
    }
    const int count = static_cast<int>(merged.size());
    const int fresh = static_cast<int>(newCertificates.size());
    logInfo(
        0,
        "Number of certificates ever detected on smart cards: %d (%d usable (%d new, %d reincarnated), %d "
        "unusable)",
        count, usable, fresh, usable - fresh, count - usable);
    m_certificates = std::move(merged);
    logInfo(0, "%d smart card(s) added, smart card list update #%d completed.",
            static_cast<int>(stores.size()), updateNumber);
}

std::vector<Certificate> SmartCardListImpl::certificates() {
    RuntimeMutexLock lock(m_lock);
    return m_certificates;
}

void SmartCardListImpl::clearReferences() {
    std::vector<Certificate> certificates;
    {
        RuntimeMutexLock lock(m_lock);
        certificates.swap(m_certificates);
        m_cards.clear();
    }
    for (const Certificate& certificate : certificates) certificate.impl()->clearReferences();
}

SmartCardList SmartCardList::create() {
    return SmartCardList(createSingleton(SmartCardListImpl::Singleton));
}

SmartCardList::SmartCardList() : SmartCardList(bindSingleton(SmartCardListImpl::Singleton)) {}

SmartCardList::SmartCardList(SmartCardListImpl* p) {
    if (p != nullptr) m = static_cast<ReferenceImpl*>(p);
}

SmartCardList SmartCardList::existing() {
    RuntimeMutexLock lock(referenceMutex());
    SmartCardListImpl* p = SmartCardListImpl::Singleton;
    if (p == nullptr || !p->addRefUnlessDying()) return SmartCardList(nullptr);
    return SmartCardList(p);
}

CertificateProxy findCertificateByHash(const std::vector<Certificate>& certificates, const Ascii& hashText) {
    const ByteArray hash = ByteArray::fromHex(hashText);
    for (const Certificate& certificate : certificates)
        if (hash.length() > 0 && certificate.hash() == hash) return CertificateProxy(certificate);
    return CertificateProxy();
}

void SmartCardIdListEventImpl::run() {
    SmartCardList list = SmartCardList::existing();
    if (!list.isNull()) list.update(m_ids);
}
