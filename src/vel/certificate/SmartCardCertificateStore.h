#pragma once
// The store of one smart card, named by the identifier the library's card list gives. It is usable
// while the card has a registered name and has not been marked unusable (removed).
#include <atomic>

#include "vel/certificate/CertificateStore.h"

class SmartCardCertificateStoreImpl : public CertificateStoreImpl {
public:
    explicit SmartCardCertificateStoreImpl(const Ascii& cardId);

    int type() const override;
    CertificateStoreHandle open() override;
    // The card's identifier.
    Ascii url() const override { return m_cardId; }
    Ascii name() const override { return m_name; }
    bool isUsable() const override { return m_registered.load(); }
    void markUnusable() override { m_registered = false; }

private:
    Ascii m_cardId;
    Ascii m_storeUrl;  // what open() uses
    Ascii m_name;
    std::atomic<bool> m_registered{false};
};
