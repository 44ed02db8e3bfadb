#include "vel/ipcmsghandlers/PasswordChangeConnection.h"

#include "runtime/lum/Log.h"
#include "vel/exception/InvalidNetworkException.h"

namespace {

void connectIn(const Configuration& configuration, const Network& network, const std::function<void()>& apply,
               const char* unknownModeLine) {
    switch (configuration.connectionMode()) {
        case ConfigurationImpl::MODE_AUTOMATIC:
            logInfo(0, "Connecting to passworChangeNetwork in auto mode");
            apply();
            configuration.selectNetwork(network.name());
            configuration.reconsiderAllConnections();
            return;
        case ConfigurationImpl::MODE_MANUAL: {
            NetworkProxy manual = configuration.manualNetwork();
            if (manual.exists() && manual.network().name() == network.name()) {
                logInfo(0, "Connecting to passworChangeNetwork in manual mode");
                apply();
                configuration.connectToNetwork(network.name());
            } else {
                logInfo(0, "Ignoring sso password change response in manual mode");
            }
            return;
        }
        default:
            logInfo(0, "%s", unknownModeLine);
            return;
    }
}

}  // namespace

void PasswordChangeConnection::connect(const Configuration& configuration, const Network& network,
                                       const std::function<void()>& apply, const char* unknownModeLine) {
    try {
        connectIn(configuration, network, apply, unknownModeLine);
    } catch (const InvalidNetworkException& e) {
        // A network outside the active group keeps its new password for when its group runs.
        e.report();
    }
}
