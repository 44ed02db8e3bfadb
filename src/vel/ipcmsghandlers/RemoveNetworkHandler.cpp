#include "vel/ipcmsghandlers/RemoveNetworkHandler.h"

#include "vel/connapi/NetworkBodies.h"
#include "vel/exception/InvalidGroupException.h"
#include "vel/exception/InvalidNetworkException.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t RemoveNetworkHandlerImpl::handle(const SoapBodyContext& request, const SoapBodyContext& reply) {
    const GroupAndNetworkRecord names = NetworkBodies::readGroupAndNetwork(request.body());
    try {
        ConnApiEngine::activeConfiguration().removeNetwork(names.groupName, names.networkName);
    } catch (const InvalidGroupException&) {
        return ConnApiConstants::ERROR_CANNOT_CARRY_OUT;
    } catch (const InvalidNetworkException&) {
        return ConnApiConstants::ERROR_UNSUPPORTED_OPTION;
    }
    ConnApiEngine::writeUserConfiguration();
    ConnApiEngine::writeInternalConfiguration();
    NetworkBodies::writeGroupAndNetwork(reply, names.groupName, names.networkName);
    return 0;
}

std::int32_t RemoveNetworkHandlerImpl::replyCommand() {
    return ConnApiMessages::REMOVE_NETWORK_RESPONSE;
}
