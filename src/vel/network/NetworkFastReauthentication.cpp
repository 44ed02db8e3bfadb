#include "vel/network/NetworkFastReauthentication.h"

#include "runtime/lum/Log.h"
#include "vel/configuration/AuthenticationMethod.h"

bool NetworkFastReauthentication::decide(ElementVector methods, std::int32_t lastTopEapType,
                                         bool smartCardInUse) {
    bool enabled = false;
    for (int i = 0; i < methods.length(); ++i) {
        AuthenticationMethod method = AuthenticationMethod::at(methods, i);
        if (!method.getFastReconnect() || (method.getDisableWhenSmartCard() && smartCardInUse)) {
            logInfo(3100, "Fast reauthentication disabled in profile");
            continue;
        }
        logInfo(3101, "Fast reauthentication enabled in profile");
        enabled = true;
        if (method.authenticationType() != lastTopEapType) {
            logInfo(3102, "Fast reauthentication disabled for first authentication");
            enabled = false;
        }
        break;
    }
    logInfo(3103, "%s",
            enabled ? "Fast reauthentication enabled for current session"
                    : "Fast reauthentication disabled for current session");
    return enabled;
}
