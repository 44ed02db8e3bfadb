#pragma once
// A certificate store as the engine knows it: the base kind (no store) and, in their own files,
// the URL, smart-card, base64 and OS stores. Its certificates are listed by the library through a
// store handle that open() gives.
#include <atomic>
#include <vector>

#include "vel/certificate/CertificateStoreHandle.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/string/Ascii.h"
#include "vel/string/AsciiVector.h"

class Certificate;

class CertificateStoreImpl : public ReferenceImpl {
public:
    virtual int type() const;
    // A store handle; empty when there is none.
    virtual CertificateStoreHandle open();
    virtual Ascii url() const;
    virtual Ascii name() const;
    virtual bool isUsable() const;
    virtual void markUnusable() {}
    virtual bool isUserStore() const { return false; }
};

class CertificateStore : public Reference {
public:
    CertificateStore() = default;
    // Takes over the creator's reference of a new store.
    explicit CertificateStore(CertificateStoreImpl* p) : Reference(p, Reference::TAKE_OVER) {}

    static CertificateStore base();
    static CertificateStore url(const Ascii& url);
    static CertificateStore smartCard(const Ascii& cardId);
    static CertificateStore base64(const AsciiVector& pemTexts);
    static CertificateStore userPersonal();
    static CertificateStore userIntermediateCa();
    static CertificateStore userRootCa();
    static CertificateStore machinePersonal();
    static CertificateStore machineIntermediateCa();
    static CertificateStore machineRootCa();
    // One of the OS store kinds 5 to 10 (another asserts and gives an unusable store).
    static CertificateStore os(int kind);

    int type() const { return impl()->type(); }
    CertificateStoreHandle open() const { return impl()->open(); }
    Ascii url() const { return impl()->url(); }
    Ascii name() const { return impl()->name(); }
    bool isUsable() const { return impl()->isUsable(); }
    void markUnusable() const { impl()->markUnusable(); }
    bool isUserStore() const { return impl()->isUserStore(); }

    CertificateStoreImpl* impl() const;
};

// The store's certificates as the library lists them; empty for an unusable store or a failure.
std::vector<Certificate> certificates(const CertificateStore& store);

// A store handle over a URL (qxCertStoreUrlCreate): empty, after its log lines, on failure.
CertificateStoreHandle openUrlStore(const Ascii& url);
