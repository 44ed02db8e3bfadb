#pragma once
// Which user networks the user's file can hold as they are: a network the file would write in
// another form, or not at all, comes back changed or makes the whole file unreadable at the next
// start. Adding and changing a network both refuse such a network before anything is changed.
#include <cstdint>

class SavableNetworkRule {
public:
    // What a user network would be once the request is carried out.
    struct Shape {
        bool wireless = false;
        std::int32_t association = 0;
        std::int32_t encryption = 1;
        bool hasKey = false;
        // The key is a WEP key (5 or 13 bytes), not a pre-shared key of WPA.
        bool wepKey = false;
        // EAP method (0 none) and credential type (1 password, 2 certificate, 3 token).
        std::int32_t eapMethod = 0;
        std::int32_t credentialType = 0;
    };

    // 0 when the file holds the network as it is; else fault 4, logged under the handler's name.
    static std::int32_t check(const char* handler, const Shape& shape);
    // Whether a wireless pair is one that authenticates with an EAP method (enterprise, or open
    // with dynamic WEP keys).
    static bool takesEapMethod(std::int32_t association, std::int32_t encryption);
    // Whether the pair needs an EAP method: the enterprise pairs.
    static bool needsEapMethod(std::int32_t association);
};
