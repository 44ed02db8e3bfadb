#include "vel/certificate/ClientCertificates.h"

#include "runtime/lum/Log.h"
#include "vel/certificate/CertificateConstants.h"
#include "vel/certificate/SmartCardList.h"

using C = CertificateConstants;

namespace {

bool contains(const AsciiVector& list, const char* text) {
    for (std::int32_t i = 0; i < list.length(); ++i)
        if (list.get(i) == text) return true;
    return false;
}

// Inside its validity period; a certificate whose times could not be read is not.
bool valid(const Certificate& certificate, const Time& now) {
    Time from = certificate.validFrom();
    Time to = certificate.expiryDate();
    return from.isDefined() && to.isDefined() && from <= now && now <= to;
}

}  // namespace

std::vector<Certificate> collectClientCertificates(int source) {
    std::vector<Certificate> taken;
    if (source == ClientCertificateSource::NONE) return taken;
    if (source == ClientCertificateSource::OS_MACHINE) {
        taken = certificates(CertificateStore::machinePersonal());
    } else {
        std::vector<Certificate> onCards;
        SmartCardList list = SmartCardList::existing();
        if (!list.isNull()) onCards = list.certificates();
        if (source != ClientCertificateSource::SMART_CARDS) {
            // The user's personal store: the user's own certificates, where copies of the card
            // certificates also appear.
            for (const Certificate& certificate : certificates(CertificateStore::userPersonal())) {
                bool copy = false;
                for (const Certificate& card : onCards) copy = copy || card.hash() == certificate.hash();
                if (copy) {
                    logInfo(0, "Ignoring OS store copy of the smart card certificate: %s",
                            certificate.hash().toHex().text());
                    continue;
                }
                taken.push_back(certificate);
            }
        }
        if (source != ClientCertificateSource::OS_USER) {
            for (const Certificate& card : onCards)
                if (card.isUsable()) taken.push_back(card);
        }
    }
    for (const Certificate& certificate : taken) {
        if (certificate.handle() != 0) continue;
        logInfo(0, "Creating handle for certificate %s", certificate.hash().toHex().text());
        certificate.createHandle();
        if (!certificate.hasX509()) certificate.populateX509();
    }
    return taken;
}

std::vector<Certificate> selectClientCertificates(const std::vector<Certificate>& certificates) {
    std::vector<Certificate> clientAuthentication;
    std::vector<Certificate> digitalSignature;
    std::vector<Certificate> other;
    const Time now = Time::now();
    for (const Certificate& certificate : certificates) {
        const Ascii hash = certificate.hash().toHex();
        if (certificate.handle() == 0) {
            logInfo(0, "Ignoring user certificate %s without a handle", hash.text());
            continue;
        }
        const Ascii name = certificate.certificateName();
        if (!valid(certificate, now)) {
            logInfo(0, "Ignoring user certificate that is expired or not valid yet: %s (%s)", hash.text(),
                    name.text());
            continue;
        }
        const AsciiVector usages = certificate.extendedKeyUsages();
        if (contains(usages, C::EKU_SMART_CARD_LOGON) && certificate.store().type() != C::STORE_SMART_CARD) {
            logInfo(0, "Ignoring OS store copy of the smart card certificate: %s (%s)", hash.text(),
                    name.text());
            continue;
        }
        if (contains(usages, C::EKU_CLIENT_AUTH)) {
            logInfo(0, "Found valid client authentication certificate: %s (%s)", hash.text(), name.text());
            clientAuthentication.push_back(certificate);
        } else if (clientAuthentication.empty()) {
            if ((certificate.keyUsage() & C::KEY_USAGE_DIGITAL_SIGNATURE) != 0) {
                logInfo(0, "Found valid digital signature certificate: %s (%s)", hash.text(), name.text());
                digitalSignature.push_back(certificate);
            } else if (digitalSignature.empty()) {
                logInfo(0, "Found valid user certificate without proper key usage: %s (%s)", hash.text(),
                        name.text());
                other.push_back(certificate);
            }
        }
    }
    if (!clientAuthentication.empty()) return clientAuthentication;
    if (!digitalSignature.empty()) return digitalSignature;
    return other;
}
