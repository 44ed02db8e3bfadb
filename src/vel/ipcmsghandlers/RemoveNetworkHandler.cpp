#include "vel/ipcmsghandlers/RemoveNetworkHandler.h"

#include "vel/connapi/NetworkBodies.h"
#include "vel/exception/FileIOException.h"
#include "vel/exception/InvalidGroupException.h"
#include "vel/exception/InvalidNetworkException.h"
#include "vel/ipcmsghandlers/ConnApiEngine.h"
#include "vel/ipcmsghandlers/UserChangeUndo.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

std::int32_t RemoveNetworkHandlerImpl::handle(const SoapBodyContext& request, const SoapBodyContext& reply) {
    const GroupAndNetworkRecord names = NetworkBodies::readGroupAndNetwork(request.body());
    Configuration configuration = ConnApiEngine::activeConfiguration();
    NetworkGroupProxy found = configuration.findGroup(names.groupName);
    const Network network = found.exists() ? found.networkGroup().findNetwork(names.networkName) : Network();
    const std::int32_t index = found.exists() ? found.networkGroup().indexOfNetwork(names.networkName) : -1;
    try {
        configuration.removeNetwork(names.groupName, names.networkName);
    } catch (const InvalidGroupException&) {
        return ConnApiConstants::ERROR_CANNOT_CARRY_OUT;
    } catch (const InvalidNetworkException&) {
        return ConnApiConstants::ERROR_UNSUPPORTED_OPTION;
    }
    try {
        ConnApiEngine::writeUserConfiguration();
    } catch (const FileIOException& e) {
        // The file still holds the network: so does its group, in its place.
        e.report();
        UserChangeUndo::placeNetwork(configuration, names.groupName, network, index);
        return ConnApiConstants::ERROR_INTERNAL;
    }
    ConnApiEngine::writeInternalConfiguration();
    NetworkBodies::writeGroupAndNetwork(reply, names.groupName, names.networkName);
    return 0;
}

std::int32_t RemoveNetworkHandlerImpl::replyCommand() {
    return ConnApiMessages::REMOVE_NETWORK_RESPONSE;
}
