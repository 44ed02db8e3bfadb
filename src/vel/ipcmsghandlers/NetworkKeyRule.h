#pragma once
// Which association modes a user's wireless network may take with which static key, as adding
// and changing a network both check them: shared and personal modes need a key, an open mode
// takes a WEP key only with WEP encryption, enterprise modes take none.
#include <cstdint>

#include "vel/connapi/NetworkBodies.h"
#include "vel/network/Network.h"

class NetworkKeyRule {
public:
    static constexpr std::int32_t ASSOCIATION_NONE = 0;
    static constexpr std::int32_t LAST_ASSOCIATION = 9;
    static constexpr std::int32_t ENCRYPTION_WEP = 2;
    // The credential kind of a key from the profile.
    static constexpr std::int32_t CREDENTIAL_FROM_PROFILE = 1;

    // 0 when the pair is one a network may have with or without a key as given; else fault 4,
    // logged under the handler's name.
    static std::int32_t check(const char* handler, std::int32_t association, std::int32_t encryption,
                              bool hasKey);
    // Whether the pair keeps a key in the user settings.
    static bool takesKey(std::int32_t association, std::int32_t encryption);
    // The key, its WEP length and the profile as its source, into the network's user settings.
    static void store(const Network& network, const StaticKeyRecord& key);
    // Whether the network's user settings hold a key.
    static bool holdsKey(const Network& network);
};
