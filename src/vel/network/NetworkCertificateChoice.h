#pragma once
// Which of the user certificate list a network uses for a machine or a smart-card logon: every
// certificate gets a score from what holds of it, the highest wins and the earlier one stays on a
// tie.
#include <cstdint>
#include <string>
#include <vector>

#include "vel/certificate/Certificate.h"

class NetworkCertificateChoice {
public:
    enum Purpose { MACHINE, SMART_CARD };

    static constexpr const char* CLIENT_AUTHENTICATION = "1.3.6.1.5.5.7.3.2";
    static constexpr const char* SMART_CARD_LOGON = "1.3.6.1.4.1.311.20.2.2";

    // What a score is made of.
    struct Facts {
        bool usable = false;
        std::int32_t storeType = 0;
        std::vector<std::string> extendedKeyUsages;
        std::int32_t keyUsage = 0;
    };

    static Facts factsOf(const Certificate& certificate);
    static int score(Purpose purpose, const Facts& facts);
    // The index of the best score; -1 for an empty list.
    static int bestOf(Purpose purpose, const std::vector<Facts>& list);
    // The best certificate with its line; a null certificate and an error line for an empty list.
    static Certificate choose(Purpose purpose, const std::vector<Certificate>& list);
};
