#include "vel/ipcmsghandlers/ConnectToNetworkHandler.h"

#include "vel/connapi/ConnectionBodies.h"
#include "vel/exception/InvalidNetworkException.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t ConnectToNetworkHandlerImpl::handle(const SoapBodyContext& request,
                                                 const SoapBodyContext& reply) {
    const ConnectToNetworkRecord record = ConnectionBodies::readConnectToNetwork(request.body());
    Configuration configuration = ConnApiEngine::activeConfiguration();
    if (!configuration.activeGroup().exists()) return ConnApiConstants::ERROR_CANNOT_CARRY_OUT;
    try {
        if (record.connectionMode == ConfigurationImpl::MODE_AUTOMATIC) {
            configuration.selectNetwork(record.networkName);
            configuration.reconsiderAllConnections();
        } else {
            configuration.connectToNetwork(record.networkName);
        }
    } catch (const InvalidNetworkException&) {
        return ConnApiConstants::ERROR_UNSUPPORTED_OPTION;
    }
    ConnectionBodies::writeNetworkName(reply, record.networkName);
    return 0;
}

std::int32_t ConnectToNetworkHandlerImpl::replyCommand() {
    return ConnApiMessages::CONNECT_TO_NETWORK_RESPONSE;
}
