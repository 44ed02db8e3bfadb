#pragma once
// The smart cards the library reports and every certificate ever found on them. Each card list
// from the library is an update, numbered: removed cards are marked unusable (their certificates
// with them, and their handles destroyed), and the certificates of new cards are enumerated on
// the worker queue; a result that comes back after a later update is ignored. Engine event-queue
// thread, but for certificates(), which the certificate-list builders read from the worker queue.
#include <atomic>
#include <vector>

#include "runtime/multithread/RuntimeMutex.h"
#include "vel/certificate/CertificateListMakeEvent.h"
#include "vel/certificate/CertificateProxy.h"
#include "vel/string/AsciiVector.h"

class SmartCardListImpl : public ReferenceImpl, public CertificateListEventSubscriberInterface {
public:
    void addRef() override { ReferenceImpl::addRef(); }
    void release() override { ReferenceImpl::release(); }
    void release2() override { ReferenceImpl::release2(); }

    SmartCardListImpl();
    ~SmartCardListImpl() override;

    void update(const AsciiVector& ids);
    void certificateListDone(int updateNumber, const std::vector<CertificateStore>& stores,
                             const std::vector<Certificate>& certificates) override;
    std::vector<Certificate> certificates();
    // Destroys the handles of the certificates and forgets cards and certificates.
    void clearReferences() override;

    static std::atomic<SmartCardListImpl*> Singleton;

private:
    mutable RuntimeMutex m_lock;
    int m_updateNumber = 0;
    int m_number;
    std::vector<CertificateStore> m_cards;
    std::vector<Certificate> m_certificates;
};

class SmartCardList : public Reference {
public:
    // Makes the singleton ("Singleton == null"); the handle holds the creator's reference.
    static SmartCardList create();
    // Binds to the singleton ("Singleton != null").
    SmartCardList();
    // The singleton, or an empty handle when there is none (without an assertion).
    static SmartCardList existing();

    void update(const AsciiVector& ids) const { impl()->update(ids); }
    std::vector<Certificate> certificates() const { return impl()->certificates(); }
    // Closes the keys the cards' certificates were opened with: the next use needs the PIN again.
    void closeKeys() const {
        for (const Certificate& certificate : certificates())
            if (certificate.isPrivateKeyLoaded()) certificate.destroyHandle();
    }
    void clearReferences() const { impl()->clearReferences(); }
    SmartCardListImpl* impl() const {
        return static_cast<SmartCardListImpl*>(static_cast<ReferenceImpl*>(m));
    }

private:
    explicit SmartCardList(SmartCardListImpl* p);
};

// The first certificate whose hash is the given hexadecimal text, else an empty holder.
CertificateProxy findCertificateByHash(const std::vector<Certificate>& certificates, const Ascii& hashText);

// The identifiers of the inserted cards, from the engine manager's callback: updates the list on
// the engine event queue.
class SmartCardIdListEventImpl : public MessageEventImpl {
public:
    explicit SmartCardIdListEventImpl(const AsciiVector& ids) : m_ids(ids) {}
    void run() override;

private:
    AsciiVector m_ids;
};
