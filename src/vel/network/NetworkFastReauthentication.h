#pragma once
// Whether a new authentication session of a network may resume the last one: the first method
// that allows fast reconnect decides, and only for the EAP type negotiated last time.
#include <cstdint>

#include "vel/reference/ElementVector.h"

class NetworkFastReauthentication {
public:
    // methods: the current connection type's, the top method first.
    static bool decide(ElementVector methods, std::int32_t lastTopEapType, bool smartCardInUse);
};
