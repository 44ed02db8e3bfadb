#include "vel/network/NetworkCertificateChoice.h"

#include <algorithm>

#include "runtime/lum/Log.h"
#include "vel/certificate/CertificateConstants.h"

namespace {

bool lists(const std::vector<std::string>& usages, const char* usage) {
    return std::find(usages.begin(), usages.end(), usage) != usages.end();
}

}  // namespace

NetworkCertificateChoice::Facts NetworkCertificateChoice::factsOf(const Certificate& certificate) {
    Facts facts;
    facts.usable = certificate.isUsable();
    facts.storeType = certificate.store().isNull() ? 0 : certificate.store().type();
    AsciiVector usages = certificate.extendedKeyUsages();
    for (std::int32_t i = 0; i < usages.length(); ++i)
        facts.extendedKeyUsages.emplace_back(usages.get(i).text());
    facts.keyUsage = certificate.keyUsage();
    return facts;
}

int NetworkCertificateChoice::score(Purpose purpose, const Facts& facts) {
    bool machine = purpose == MACHINE;
    int total = 0;
    if (facts.usable) total += machine ? 8 : 16;
    if (machine && facts.storeType == CertificateConstants::STORE_MACHINE_PERSONAL) total += 4;
    if (!machine && facts.storeType == CertificateConstants::STORE_SMART_CARD) total += 8;
    if (!machine && lists(facts.extendedKeyUsages, SMART_CARD_LOGON)) total += 4;
    if (lists(facts.extendedKeyUsages, CLIENT_AUTHENTICATION)) total += 2;
    if ((facts.keyUsage & 1) != 0) total += 1;
    return total;
}

int NetworkCertificateChoice::bestOf(Purpose purpose, const std::vector<Facts>& list) {
    int best = -1;
    int bestScore = -1;
    for (size_t i = 0; i < list.size(); ++i) {
        int value = score(purpose, list[i]);
        if (value > bestScore) {
            best = static_cast<int>(i);
            bestScore = value;
        }
    }
    return best;
}

Certificate NetworkCertificateChoice::choose(Purpose purpose, const std::vector<Certificate>& list) {
    std::vector<Facts> facts;
    for (const Certificate& certificate : list) facts.push_back(factsOf(certificate));
    int best = bestOf(purpose, facts);
    if (best < 0) {
        if (purpose == MACHINE) {
            logError(3170, "Can not find certificate suitable for a machine client authentication");
        } else {
            logError(3171, "Can not find certificate suitable for a smart card client authentication");
        }
        return Certificate();
    }
    const Certificate& chosen = list[static_cast<size_t>(best)];
    if (purpose == MACHINE) {
        logInfo(3172, "Using machine certificate %s issued to %s", chosen.hash().toHex().text(),
                chosen.issuedToName().text());
    } else {
        logInfo(3173, "Using SmartCard certificate %s(%s) located on SmartCard '%s'",
                chosen.hash().toHex().text(), chosen.certificateName().text(), chosen.store().name().text());
    }
    return chosen;
}
