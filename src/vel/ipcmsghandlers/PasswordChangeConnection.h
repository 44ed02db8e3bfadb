#pragma once
// A network that takes a changed password connects again with it: in automatic mode the
// matchmaker takes it, in manual mode only the manually connected network does.
#include <functional>

#include "vel/configuration/Configuration.h"
#include "vel/network/Network.h"

class PasswordChangeConnection {
public:
    // Gives the network its new password (apply) and connects it as the mode allows; a mode the
    // configuration should not have is logged with the caller's line.
    static void connect(const Configuration& configuration, const Network& network,
                        const std::function<void()>& apply, const char* unknownModeLine);
};
