#pragma once
// The certificates a user may present for a network that asks for one: collected from the smart
// cards, the user's personal store or the machine's, each with a library handle, then narrowed to
// the best class of usable ones.
#include <vector>

#include "vel/certificate/Certificate.h"

class ClientCertificateSource {
public:
    static constexpr int NONE = 0;
    static constexpr int SMART_CARDS = 1;  // no OS store
    static constexpr int OS_USER = 2;      // no smart cards
    static constexpr int OS_MACHINE = 3;   // the machine's personal store
    static constexpr int OS_USER_OR_SMART_CARDS = 4;
};

std::vector<Certificate> collectClientCertificates(int source);
// Client authentication certificates when there are any, else digital-signature ones, else the
// others; expired, not yet valid and handle-less certificates and OS copies of smart-card logon
// certificates are left out.
std::vector<Certificate> selectClientCertificates(const std::vector<Certificate>& certificates);
